#pragma once

#include "computer/ActionPace.h"
#include "computer/ComputerLevel.h"
#include "computer/RunnerPlanner.h"

#include <cstddef>
#include <random>

namespace orv_gd
{
class InputManager;
class MatchSource;

/// Plays the Runner's role for the computer at a level: thinks for a while at the start of each
/// turn (the level's runnerThinkMs), plans the turn over the match as the rules hold it and
/// presses the Runner's actions through the input manager, one every ActionPace::Interval seconds.
/// After each key it compares where the Runner stands with where the plan said it would, and
/// plans afresh when they differ (and counts it: the planner plays by the game's own rules, so it
/// should never happen). `seed` starts its generator (thinking times, detours).
class ComputerRunner
{
public:
    ComputerRunner(const MatchSource& match, InputManager& input,
                   const ComputerLevel& level = ComputerLevel::of(Difficulty::Hard), unsigned seed = 1);

    void update(float dt);
    /// How often the Runner did not end where the planner expected.
    int getSurprises() const { return m_surprises; }
    /// The thinking time of the turn under way, in milliseconds of the turn; -1 between turns.
    int getThinkMs() const { return m_thinkMs; }

private:
    const MatchSource& m_match;
    InputManager& m_input;
    const ComputerLevel& m_level;
    RunnerPlanner m_planner;
    std::mt19937 m_random;
    RunnerPlanner::TurnPlan m_plan;
    std::size_t m_next = 0;
    ActionPace m_pace;
    int m_thinkMs = -1;
    int m_surprises = 0;
};
} // namespace orv_gd
