#pragma once

#include "computer/ActionPace.h"
#include "computer/RunnerPlanner.h"

#include <cstddef>

namespace orv_gd
{
class InputManager;
class MatchSource;

/// Plays the Runner's role for the computer: plans each turn over the match as the rules hold it
/// and presses the Runner's actions through the input manager, one every ActionPace::Interval
/// seconds. After each key it compares where the Runner stands with where the plan said it would,
/// and plans afresh when they differ (and counts it: the planner plays by the game's own rules, so
/// it should never happen).
class ComputerRunner
{
public:
    ComputerRunner(const MatchSource& match, InputManager& input);

    void update(float dt);
    /// How often the Runner did not end where the planner expected.
    int getSurprises() const { return m_surprises; }

private:
    const MatchSource& m_match;
    InputManager& m_input;
    RunnerPlanner m_planner;
    RunnerPlanner::TurnPlan m_plan;
    std::size_t m_next = 0;
    ActionPace m_pace;
    int m_surprises = 0;
};
} // namespace orv_gd
