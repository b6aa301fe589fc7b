#pragma once

#include "computer/ActionPace.h"
#include "computer/BuilderPlanner.h"
#include "computer/ComputerLevel.h"
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

/// Plays the Builder's role for the computer at a level: for each block it is dealt it picks a
/// drop, thinks, then rotates, steers the cursor and drops through the Builder's actions, one every
/// ActionPace::Interval seconds. Each turn it draws how long the turn is to take (the level's
/// builderTurnMs) and thinks so long that the first drop comes about halfway and the second at
/// its end, so its amber blocks fade as fast as a person's.
class ComputerBuilder
{
public:
    /// Planned: the drop that holds the Runner back most. NearCursor: a beginner's drop near the
    /// cursor (BuilderPlanner::chooseNearCursorDrop). Random: any allowed drop.
    enum class Style
    {
        Planned,
        NearCursor,
        Random
    };

    /// `seed` starts its generator (the turn times and any random choice of drop).
    ComputerBuilder(const MatchSource& match, InputManager& input,
                    const ComputerLevel& level = ComputerLevel::of(Difficulty::Hard), unsigned seed = 1);

    void update(float dt);
    void setStyle(Style style, unsigned seed = 1);
    /// Blocks this player has tried to drop.
    int getDrops() const { return m_drops; }
    /// The Builder time the turn under way is to take, in milliseconds; -1 between turns.
    int getTurnPlanMs() const { return m_turnPlanMs; }

private:
    /// Chooses where the block just dealt goes.
    void plan(const rules::Match& match);
    /// The next key towards the chosen drop, or none when there is nothing to do.
    const char* nextAction(const rules::Match& match);

    const MatchSource& m_match;
    InputManager& m_input;
    const ComputerLevel& m_level;
    BuilderPlanner m_planner;
    Style m_style = Style::Planned;
    int m_turnPlanMs = -1;
    /// No key before this many milliseconds of the turn: the thinking over the block.
    int m_thinkUntilMs = 0;
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
