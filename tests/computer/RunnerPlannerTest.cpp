#include "computer/RunnerPlanner.h"

#include "PlannerFields.h"

#include <gtest/gtest.h>

namespace orv_gd
{
using Cell = sf::Vector2i;
using Action = RunnerAction;
using Outcome = RunnerPlanner::Outcome;

namespace
{
/// The state after pressing the keys in order, by the planner's rules.
RunnerPlanner::Step pressAll(const FieldSnapshot& field, std::vector<Action> keys)
{
    RunnerPlanner::Step step{field.runner, Outcome::Nothing};
    for (Action key : keys)
    {
        step = RunnerPlanner::press(field, step.state, key);
    }
    return step;
}

/// Where the plan leaves the Runner once all its keys are pressed.
RunnerState endOf(const FieldSnapshot& field, const RunnerPlanner::TurnPlan& plan)
{
    RunnerState state = field.runner;
    for (Action key : plan.actions)
    {
        state = RunnerPlanner::press(field, state, key).state;
    }
    return state;
}
} // namespace

TEST(RunnerPlannerTest, StepsJumpsFallsAndBumpsFollowTheRunnersRules)
{
    const FieldSnapshot field = test::fieldOf({
        "........",
        "........",
        "R...#...",
        "###.#...",
        "###.....",
        "###.....",
    });
    // A step over a gap falls one row only, however deep the gap.
    RunnerPlanner::Step step = pressAll(field, {Action::Right, Action::Right, Action::Right});
    EXPECT_EQ(step.state, (RunnerState{{3, 3}, 3, 1}));
    // Into the wall in mid-air: one row down for one move and one more jump force.
    step = RunnerPlanner::press(field, step.state, Action::Right);
    EXPECT_EQ(step.state, (RunnerState{{3, 4}, 4, 0}));
    EXPECT_EQ(step.outcome, Outcome::Moved);
    // No moves left: only jumps, each costing one force and never falling back.
    EXPECT_EQ(RunnerPlanner::press(field, step.state, Action::Left).outcome, Outcome::Nothing);
    step = pressAll(field, {Action::Right, Action::Right, Action::Right, Action::Right, Action::Up});
    EXPECT_EQ(step.state, (RunnerState{{3, 3}, 3, 0}));
    // No jump before the Runner has walked.
    EXPECT_EQ(RunnerPlanner::press(field, field.runner, Action::Up).outcome, Outcome::Nothing);
    // Walking raises the force to seven at most; a bump raises it beyond.
    FieldSnapshot strong = field;
    strong.runner.jumpForce = 7;
    EXPECT_EQ(pressAll(strong, {Action::Right}).state.jumpForce, 7);
    EXPECT_EQ(pressAll(strong, {Action::Right, Action::Right, Action::Right, Action::Right}).state,
              (RunnerState{{3, 4}, 8, 0}));
    // A fall may end in the bottom row; a step from there sends the Runner back.
    FieldSnapshot low = test::fieldOf({"....", "#R..", "##.."}, 0, 4);
    EXPECT_EQ(RunnerPlanner::press(low, low.runner, Action::Right).state.cell, Cell(2, 2));
    EXPECT_EQ(pressAll(low, {Action::Right, Action::Right}).outcome, Outcome::Reset);
    EXPECT_EQ(pressAll(low, {Action::Right, Action::Left}).outcome, Outcome::Reset) << "into white";
}

TEST(RunnerPlannerTest, GravityDropsTheRunnerAndAmberStacksOneCellPerTurn)
{
    FieldSnapshot field = test::fieldOf({
        "..a.",
        "R.a.",
        "....",
        "##..",
    });
    EXPECT_EQ(field.applyGravity({0, 0}), Cell(0, 1)) << "standing on nothing";
    EXPECT_EQ(field.at({2, 0}), CellKind::Empty);
    EXPECT_EQ(field.at({2, 2}), CellKind::Dynamic) << "the stack falls together, one cell";
    EXPECT_EQ(field.at({2, 3}), CellKind::Empty);
    EXPECT_EQ(field.applyGravity({0, 2}), Cell(0, 2)) << "standing on white";
    EXPECT_EQ(field.applyGravity({3, 3}), Cell(3, 3)) << "the bottom row holds";
}

TEST(RunnerPlannerTest, FallsIntoAGapWhenTheWayOnLiesBelow)
{
    const FieldSnapshot field = test::fieldOf({
        "R.....",
        "###...",
        "###...",
        "###..F",
        "###.##",
        "######",
    });
    const RunnerPlanner planner;
    const RunnerPlanner::TurnPlan plan = planner.planTurn(field);
    EXPECT_EQ(plan.turnsToFinish, 2);
    EXPECT_EQ(plan.actions.back(), Action::End);
    EXPECT_EQ(planner.turnsToFinish(field, field.runner.cell, 0, 10), 2);
}

TEST(RunnerPlannerTest, JumpsAWallWhenTheForceSuffices)
{
    const FieldSnapshot field = test::fieldOf(
        {
            ".....F",
            ".....F",
            ".R.#.F",
            "######",
        },
        1, 4);
    const RunnerPlanner planner;
    const RunnerPlanner::TurnPlan plan = planner.planTurn(field);
    EXPECT_EQ(plan.turnsToFinish, 1);
    EXPECT_EQ(plan.actions,
              (std::vector<Action>{Action::Right, Action::Up, Action::Right, Action::Right, Action::Right}));
    EXPECT_EQ(endOf(field, plan).cell, Cell(5, 2));
}

TEST(RunnerPlannerTest, AJumpTheBudgetCannotPayWaitsForTheNextTurn)
{
    // Three rows up to the ledge; the Runner has no force and earns one per step.
    const FieldSnapshot field = test::fieldOf({
        "....F",
        "..##F",
        "..##F",
        "R.##F",
        "#####",
        "#####",
    });
    const RunnerPlanner planner;
    const RunnerPlanner::TurnPlan plan = planner.planTurn(field);
    EXPECT_EQ(plan.turnsToFinish, 2);
    for (std::size_t i = 0; i + 1 < plan.actions.size(); ++i)
    {
        EXPECT_NE(plan.actions[i], Action::Reset);
    }
    EXPECT_GE(endOf(field, plan).jumpForce, 1) << "the force carries over";
}

TEST(RunnerPlannerTest, ATrapWithNoWayOutCallsForAReset)
{
    // In a pit in the bottom row with no force: a step resets, a jump has nothing to pay with.
    FieldSnapshot field = test::fieldOf({
        "......",
        ".....F",
        "######",
        "#.####",
        "#.####",
        "#.####",
        "#R####",
    });
    const RunnerPlanner planner;
    RunnerPlanner::TurnPlan plan = planner.planTurn(field);
    ASSERT_EQ(plan.actions.size(), 1u);
    EXPECT_EQ(plan.actions.front(), Action::Reset);
    // Without a reset to spare it keeps the last one and waits.
    field.resetsLeft = 0;
    plan = planner.planTurn(field);
    EXPECT_NE(plan.actions.front(), Action::Reset);
}
} // namespace orv_gd
