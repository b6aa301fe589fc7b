#pragma once

#include "computer/ActionPace.h"
#include "computer/BuilderPlanner.h"
#include "rules/Cell.h"

#include <random>

namespace orv_gd
{
class InputManager;
class MatchSource;

namespace rules
{
struct Match;
}

/// Plays the Builder's role for the computer: for each block it is dealt it picks a drop, then
/// rotates, steers the cursor and drops through the Builder's actions, one every ActionPace::Interval
/// seconds, so the turn runs as a person's would.
class ComputerBuilder
{
public:
    /// Planned: the drop that holds the Runner back most. Random: any allowed drop.
    enum class Style
    {
        Planned,
        Random
    };

    ComputerBuilder(const MatchSource& match, InputManager& input);

    void update(float dt);
    void setStyle(Style style, unsigned seed = 1);
    /// Blocks this player has tried to drop.
    int getDrops() const { return m_drops; }

private:
    /// Chooses where the block just dealt goes.
    void plan(const rules::Match& match);
    /// The next key towards the chosen drop, or none when there is nothing to do.
    const char* nextAction(const rules::Match& match);

    const MatchSource& m_match;
    InputManager& m_input;
    BuilderPlanner m_planner;
    Style m_style = Style::Planned;
    std::mt19937 m_random{1};
    /// The block planned for, known by the blocks left in the turn when it was dealt; -1: none.
    int m_plannedBlock = -1;
    bool m_found = false;
    int m_rotationsLeft = 0;
    rules::Cell m_target{0, 0};
    rules::Cell m_lastCursor{-1, -1};
    bool m_lastWasHorizontal = false;
    int m_stuck = 0;
    int m_placeTries = 0;
    ActionPace m_pace;
    int m_drops = 0;
};
} // namespace orv_gd
