#pragma once

#include "computer/ActionPace.h"
#include "computer/RunnerPlanner.h"

#include <cstddef>

namespace orv_gd
{
class InputManager;
class MainState;

/// Plays the Runner's role for the computer: plans each turn over a snapshot of the match and
/// presses the Runner's actions through the input manager, one every ActionPace::Interval seconds.
/// After each key it compares where the Runner stands with where the plan said it would, and
/// plans afresh when they differ (and counts it: the planner's rules should never disagree).
class ComputerRunner
{
public:
    ComputerRunner(MainState& match, InputManager& input);

    void update(float dt);
    /// How often the Runner did not end where the planner expected.
    int getSurprises() const { return m_surprises; }

private:
    MainState& m_match;
    InputManager& m_input;
    RunnerPlanner m_planner;
    RunnerPlanner::TurnPlan m_plan;
    std::size_t m_next = 0;
    ActionPace m_pace;
    int m_surprises = 0;
};
} // namespace orv_gd
