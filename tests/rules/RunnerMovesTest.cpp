#include "rules/RunnerMoves.h"

#include "RulesTestSupport.h"

#include <gtest/gtest.h>

namespace orv_gd::rules
{
using test::fieldOf;
using Move = RunnerMoves::Move;
using Outcome = RunnerMoves::Outcome;
using Rows = std::vector<std::string>;

namespace
{
RunnerState at(Cell cell, int force, int moves)
{
    return {cell, force, moves};
}
} // namespace

TEST(RunnerMovesTest, AStepCostsAMoveAndEarnsForceUpToTheCapAJumpCostsAForce)
{
    const Field field = fieldOf({"......", "......", "......", "######", "......"});
    const RunnerState start = at({1, 2}, 6, 4);
    RunnerMoves::Result r = RunnerMoves::move(field, start, Move::Right);
    EXPECT_EQ(r.outcome, Outcome::Moved);
    EXPECT_EQ(r.state, at({2, 2}, 7, 3));
    EXPECT_TRUE(r.target == (Cell{2, 2}) && r.stepped == (Cell{2, 2}) && !r.blocked && !r.walledIn);
    EXPECT_EQ(RunnerMoves::move(field, r.state, Move::Right).state, at({3, 2}, 7, 2)) << "capped at 7";
    EXPECT_EQ(RunnerMoves::move(field, start, Move::Left).state, at({0, 2}, 7, 3));
    r = RunnerMoves::move(field, start, Move::Up);
    EXPECT_EQ(r.outcome, Outcome::Moved);
    EXPECT_EQ(r.state, at({1, 1}, 5, 4)) << "a jump does not fall back";

    // Without the budget nothing happens.
    for (const auto& [state, move] : {std::pair{at({1, 2}, 3, 0), Move::Left},
                                      {at({1, 2}, 3, 0), Move::Right},
                                      {at({1, 2}, 0, 4), Move::Up}})
    {
        r = RunnerMoves::move(field, state, move);
        EXPECT_EQ(r.outcome, Outcome::Refused);
        EXPECT_EQ(r.state, state);
    }
    EXPECT_EQ(RunnerMoves::move(field, at({1, 2}, 3, 0), Move::Up).state, at({1, 1}, 2, 0));
}

TEST(RunnerMovesTest, AStepOverAGapFallsOneRowAndGreenIsEnteredAsAStep)
{
    const Field field = fieldOf({"g.....", "##....", "......", "....g.", "......", "......"});
    RunnerMoves::Result r = RunnerMoves::move(field, at({1, 0}, 0, 1), Move::Right);
    EXPECT_EQ(r.outcome, Outcome::Moved);
    EXPECT_EQ(r.stepped, (Cell{2, 0}));
    EXPECT_EQ(r.state, at({2, 1}, 1, 0)) << "one row, however deep the gap";

    r = RunnerMoves::move(field, at({1, 0}, 7, 1), Move::Left);
    EXPECT_EQ(r.outcome, Outcome::Finished);
    EXPECT_EQ(r.state, at({0, 0}, 7, 0));
    r = RunnerMoves::move(field, at({4, 4}, 2, 0), Move::Up);
    EXPECT_EQ(r.outcome, Outcome::Finished);
    EXPECT_EQ(r.state, at({4, 3}, 1, 0));
    r = RunnerMoves::move(field, at({3, 3}, 0, 2), Move::Right);
    EXPECT_EQ(r.outcome, Outcome::Finished);
    EXPECT_EQ(r.state, at({4, 3}, 1, 1)) << "no fall from green";
}

TEST(RunnerMovesTest, ATakenCellInMidAirDropsOneRowForAMoveAndAForcePastTheCap)
{
    const Field field = fieldOf({"......", ".#....", "......", "######", "......"});
    for (const Move move : {Move::Left, Move::Right}) // the map's edge, then a wall
    {
        const RunnerMoves::Result r = RunnerMoves::move(field, at({0, 1}, 7, 4), move);
        EXPECT_EQ(r.outcome, Outcome::Bumped);
        EXPECT_EQ(r.state, at({0, 2}, 8, 3));
        EXPECT_TRUE(r.blocked);
        EXPECT_EQ(r.target, (Cell{move == Move::Left ? -1 : 1, 1}));
    }
    EXPECT_EQ(RunnerMoves::move(field, at({0, 0}, 2, 0), Move::Up).state, at({0, 1}, 3, 0))
        << "the moves never drop below 0";

    // With the cell below taken as well, nothing moves and nothing is paid.
    const RunnerMoves::Result r = RunnerMoves::move(field, at({0, 2}, 2, 3), Move::Left);
    EXPECT_EQ(r.outcome, Outcome::Blocked);
    EXPECT_EQ(r.state, at({0, 2}, 2, 3));
    EXPECT_TRUE(r.blocked && !r.walledIn);
}

TEST(RunnerMovesTest, AStepIntoTheBottomRowOrABumpOverItsEdgeFalls)
{
    const Field field = fieldOf({".....", ".....", ".....", ".#...", "#.#.."});
    EXPECT_EQ(RunnerMoves::move(field, at({0, 1}, 0, 4), Move::Right).state, at({1, 2}, 1, 3))
        << "a fall may end above the bottom row";
    for (const Move move : {Move::Left, Move::Right, Move::Up})
    {
        const RunnerMoves::Result r = RunnerMoves::move(field, at({1, 4}, 1, 4), move);
        EXPECT_EQ(r.outcome, Outcome::Fell);
        EXPECT_EQ(r.state, at({1, 4}, 1, 4));
        EXPECT_FALSE(r.walledIn) << "a fall resets, walled in or not";
    }
    EXPECT_EQ(RunnerMoves::move(field, at({3, 4}, 0, 4), Move::Right).outcome, Outcome::Fell);
    EXPECT_EQ(RunnerMoves::move(field, at({3, 3}, 0, 4), Move::Right).state, at({4, 4}, 1, 3))
        << "while a fall may end in the bottom row";
}

TEST(RunnerMovesTest, NoFreeNeighbourIsATrapAndAMoveThatEndsInOneSaysSo)
{
    const Field pocket = fieldOf({".#.", "#.#", ".#."});
    EXPECT_TRUE(RunnerMoves::isTrapped(pocket, {1, 1}));
    for (const Move move : {Move::Right, Move::Up})
    {
        const RunnerMoves::Result r = RunnerMoves::move(pocket, at({1, 1}, 1, 1), move);
        EXPECT_EQ(r.outcome, Outcome::Blocked);
        EXPECT_TRUE(r.walledIn);
    }
    for (const Cell open : {Cell{0, 1}, Cell{2, 1}, Cell{1, 0}, Cell{1, 2}})
    {
        Field field = pocket;
        field.set(open, CellKind::Empty);
        EXPECT_FALSE(RunnerMoves::isTrapped(field, {1, 1})) << open.x << ", " << open.y;
    }
    EXPECT_TRUE(RunnerMoves::isTrapped(fieldOf({".#", "#."}), {0, 0})) << "the map's edge walls in";
    EXPECT_TRUE(RunnerMoves::isTrapped(fieldOf({".a", "g."}), {0, 0}));
}

TEST(RunnerMovesTest, AResetGoesToTheStartOrTheNearestFreeCellAboveItElseStays)
{
    Field field(3, 8); // the start cell is (0, 2)
    const Cell runner{2, 5};
    EXPECT_EQ(RunnerMoves::resetCell(field, runner), (Cell{0, 2}));
    field.set({0, 2}, CellKind::Static);
    EXPECT_EQ(RunnerMoves::resetCell(field, runner), (Cell{0, 1})) << "not the free cell below";
    field.drop({0, 1}, CellKind::Dynamic, 7000);
    EXPECT_EQ(RunnerMoves::resetCell(field, runner), (Cell{0, 0}));
    field.drop({0, 0}, CellKind::Finish, 7000);
    EXPECT_EQ(RunnerMoves::resetCell(field, runner), runner);
}

TEST(RunnerMovesTest, GravityMovesAmberAndTheRunnerOneCellAStackFallingTogether)
{
    Field field = fieldOf({"..#..", "aa...", "a.ga.", "....a", "....#", "#..a."});
    std::vector<std::pair<Cell, Cell>> falls;
    EXPECT_EQ(RunnerMoves::gravity(field, {1, 2}, &falls), (Cell{1, 3}));
    EXPECT_EQ(test::rowsOf(field), (Rows{"..#..", ".....", "aag..", "a..aa", "....#", "#..a."}));
    using Fall = std::pair<Cell, Cell>;
    EXPECT_EQ(falls,
              (std::vector<Fall>{
                  {{0, 2}, {0, 3}}, {{0, 1}, {0, 2}}, {{1, 2}, {1, 3}}, {{1, 1}, {1, 2}}, {{3, 2}, {3, 3}}}));

    // A block resting on the Runner stays on it.
    Field resting = fieldOf({".a.", "...", "###"});
    falls.clear();
    EXPECT_EQ(RunnerMoves::gravity(resting, {1, 1}, &falls), (Cell{1, 1}));
    EXPECT_TRUE(falls.empty());
    EXPECT_EQ(test::rowsOf(resting), (Rows{".a.", "...", "###"}));
}
} // namespace orv_gd::rules
