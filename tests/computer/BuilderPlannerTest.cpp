#include "computer/BuilderPlanner.h"
#include "computer/FairStart.h"

#include "PlannerFields.h"
#include "rules/ObstacleShapes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orv_gd
{
using rules::Cell;
using rules::CellKind;
using Shape = BuilderPlanner::Shape;

namespace
{
/// The match in the Builder's turn, the block dealt hanging at the cursor.
rules::Match dealt(rules::Match match, const Shape& shape, CellKind kind)
{
    match.turn = rules::Role::Builder;
    match.ghost = {true, shape, kind, {match.runner.cell.x + 4, match.runner.cell.y}};
    return match;
}

const std::vector<std::string> Corridor{"............", "sss.........", "sRs........F",
                                        "############", "############", "############"};
const CellRange WholeCorridor{{0, 0}, {11, 5}};
} // namespace

TEST(BuilderPlannerTest, DropsTheBlockWhereItClosesTheOnlyWay)
{
    rules::Match field = test::fieldOf(Corridor);
    const BuilderPlanner planner;
    const RunnerPlanner runner;
    const int before = runner.turnsToFinish(field.field, field.runner.cell, 0, 2, RunnerPlanner::Horizon);
    bool found = false;
    // A white bar of three standing upright closes the way: with no force the Runner cannot jump it.
    // Not in the Runner's first three turns, though.
    const Shape bar{{0, -1}, {0, 1}, {0, 0}};
    const BuilderPlanner::Drop fair =
        planner.chooseDrop(dealt(field, bar, CellKind::Static), WholeCorridor, found);
    EXPECT_FALSE(
        found &&
        FairStart::shutIn(BuilderPlanner::withDrop(field.field, bar, CellKind::Static, fair), field.runner));
    field.turnsLeft -= FairStart::GraceTurns;
    const BuilderPlanner::Drop drop =
        planner.chooseDrop(dealt(field, bar, CellKind::Static), WholeCorridor, found);
    ASSERT_TRUE(found);
    EXPECT_GT(drop.runnerTurns, before);
    const rules::Field after = BuilderPlanner::withDrop(field.field, bar, CellKind::Static, drop);
    EXPECT_GE(runner.turnsToFinish(after, field.runner.cell, 0, 2, RunnerPlanner::Horizon), drop.runnerTurns);
    EXPECT_EQ(drop.quarterTurns % 2, 0) << "upright";
    EXPECT_EQ(drop.cursor.y, 1);
}

TEST(BuilderPlannerTest, AGreenCellGoesOutOfTheRunnersReachOrNowhere)
{
    // A single green cell is a finish for the Runner: it goes where the Runner cannot step onto
    // it in its next two turns, were every amber block gone by then; a wall of white keeps it out.
    const auto greenAfter = [](const char* wall, CellRange view, bool& found)
    {
        std::vector<std::string> rows = Corridor;
        for (int y = 0; y < 3; ++y)
        {
            rows[static_cast<std::size_t>(y)][5] = *wall;
        }
        const rules::Match match = dealt(test::fieldOf(rows), {{0, 0}}, CellKind::Finish);
        return BuilderPlanner().chooseDrop(match, view, found);
    };
    const CellRange nearHalf{{0, 0}, {8, 2}}; // the air of the corridor
    bool found = false;
    const BuilderPlanner::Drop behindWhite = greenAfter("#", nearHalf, found);
    EXPECT_TRUE(found);
    EXPECT_GT(behindWhite.cursor.x, 5);
    EXPECT_GT(behindWhite.runnerTurns, BuilderPlanner::GreenReachTurns);
    // Behind amber it is only as far as the Runner's second turn.
    const BuilderPlanner::Drop behindAmber = greenAfter("a", nearHalf, found);
    EXPECT_TRUE(found);
    EXPECT_EQ(behindAmber.runnerTurns, 2);
    EXPECT_GE(behindAmber.cursor.x, 6);
    // Sunk in the floor it is safe; with only the air in sight, all of it within one turn's walk,
    // the block is not dropped at all.
    EXPECT_GE(greenAfter(".", {{0, 0}, {4, 5}}, found).cursor.y, 3);
    greenAfter(".", {{0, 0}, {4, 2}}, found);
    EXPECT_FALSE(found);
}

TEST(BuilderPlannerTest, OffersOnlyDropsTheRulesAllow)
{
    const rules::Match field = test::fieldOf(Corridor);
    const CellRange view{{0, 0}, {10, 4}};
    const Shape ell{{-1, 0}, {1, 0}, {0, 0}, {1, 1}};
    const std::vector<BuilderPlanner::Drop> drops = BuilderPlanner::candidates(field, ell, view);
    ASSERT_FALSE(drops.empty());
    for (const BuilderPlanner::Drop& drop : drops)
    {
        for (const Cell& offset : rules::ObstacleShapes::rotateShape(ell, drop.quarterTurns))
        {
            const Cell cell = drop.cursor + offset;
            EXPECT_TRUE(field.field.isInside(cell));
            EXPECT_LT(cell.x, field.field.getWidth() - 3) << "not in the finish columns";
            EXPECT_LE(cell.y, 4) << "in sight";
            EXPECT_FALSE(field.onSafeZone(cell)) << "not on the safe zone";
        }
    }
    // The four turns of a single cell are one drop per cell: 9 columns by 5 rows, less the safe
    // zone's nine cells.
    EXPECT_EQ(BuilderPlanner::candidates(field, {{0, 0}}, view).size(), 9u * 5u - 9u);
    std::mt19937 random(7);
    bool found = false;
    const BuilderPlanner::Drop any =
        BuilderPlanner::chooseRandomDrop(dealt(field, ell, CellKind::Dynamic), view, random, found);
    EXPECT_TRUE(found);
    EXPECT_NE(std::find_if(drops.begin(), drops.end(),
                           [&](const BuilderPlanner::Drop& d)
                           { return d.cursor == any.cursor && d.quarterTurns == any.quarterTurns; }),
              drops.end());
}

TEST(BuilderPlannerTest, TheNearCursorDropStaysNearTheCursorAndNeverSealsTheStart)
{
    // The start (0, 4) opens only through a corridor one cell high; the Runner is far off, the
    // cursor hangs in the corridor. A block in the corridor would shut the start in for good.
    rules::Match match = test::fieldOf({
        "...................F",
        "...................F",
        "...................F",
        "#######............F",
        "..............R....F",
        "####################",
        "####################",
        "####################",
        "####################",
        "####################",
    });
    ASSERT_EQ(rules::Match::startCell(match.field.getHeight()), (Cell{0, 4}));
    match = dealt(match, {{0, 0}}, CellKind::Dynamic);
    match.ghost.cursor = {3, 4};
    const CellRange view{{0, 0}, {19, 9}};
    const BuilderPlanner planner;
    int inCorridorReach = 0;
    for (unsigned seed = 1; seed <= 60; ++seed)
    {
        std::mt19937 random(seed);
        bool found = false;
        const BuilderPlanner::Drop drop = planner.chooseNearCursorDrop(match, view, random, found);
        ASSERT_TRUE(found) << seed;
        EXPECT_LE(std::abs(drop.cursor.x - 3) + std::abs(drop.cursor.y - 4), 3)
            << "near the cursor, seed " << seed;
        const bool inCorridor = drop.cursor.y == 4 && drop.cursor.x >= 1 && drop.cursor.x <= 6;
        EXPECT_FALSE(inCorridor) << "sealed the start, seed " << seed;
        inCorridorReach += drop.cursor.y == 4 ? 1 : 0;
    }
    EXPECT_GT(inCorridorReach, 0) << "the start cell itself is fine: a reset then goes up column 0";
}
} // namespace orv_gd
