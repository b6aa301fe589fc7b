#include "computer/BuilderPlanner.h"

#include "PlannerFields.h"
#include "match/ObstacleShapes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orv_gd
{
using Cell = sf::Vector2i;
using Shape = BuilderPlanner::Shape;

namespace
{
const std::vector<std::string> Corridor{
    "############", "sss.........", "sRs........F", "############", "############", "############",
};
} // namespace

TEST(BuilderPlannerTest, DropsTheBlockWhereItClosesTheOnlyWay)
{
    FieldSnapshot field = test::fieldOf({
        "............",
        "sss.........",
        "sRs........F",
        "############",
        "############",
        "############",
    });
    const BuilderPlanner planner;
    const RunnerPlanner runner;
    const int before = runner.turnsToFinish(field, field.runner.cell, 0, RunnerPlanner::Horizon);
    bool found = false;
    // A bar of three standing upright closes the way: with no force the Runner cannot jump it.
    const BuilderPlanner::Drop drop =
        planner.chooseDrop(field, {{0, -1}, {0, 1}, {0, 0}}, CellKind::Static, found);
    ASSERT_TRUE(found);
    EXPECT_GT(drop.runnerTurns, before);
    const FieldSnapshot after =
        BuilderPlanner::withDrop(field, {{0, -1}, {0, 1}, {0, 0}}, CellKind::Static, drop);
    EXPECT_GE(runner.turnsToFinish(after, field.runner.cell, 0, RunnerPlanner::Horizon), drop.runnerTurns);
    EXPECT_EQ(drop.quarterTurns % 2, 0) << "upright";
    EXPECT_EQ(drop.cursor.y, 1);

    // A finish cell the Builder is dealt goes where it shortens nothing.
    const BuilderPlanner::Drop finish = planner.chooseDrop(field, {{0, 0}}, CellKind::Finish, found);
    EXPECT_EQ(finish.runnerTurns, before);
}

TEST(BuilderPlannerTest, OffersOnlyDropsTheRulesAllow)
{
    FieldSnapshot field = test::fieldOf(Corridor);
    field.viewMin = {0, 0};
    field.viewMax = {10, 4};
    const Shape bar{{-1, 0}, {1, 0}, {0, 0}, {1, 1}};
    const std::vector<BuilderPlanner::Drop> drops = BuilderPlanner::candidates(field, bar);
    ASSERT_FALSE(drops.empty());
    for (const BuilderPlanner::Drop& drop : drops)
    {
        for (const Cell& offset : ObstacleShapes::rotateShape(bar, drop.quarterTurns))
        {
            const Cell cell = drop.cursor + offset;
            EXPECT_TRUE(field.isInside(cell));
            EXPECT_LT(cell.x, field.getWidth() - 3) << "not in the finish columns";
            EXPECT_LE(cell.y, 4) << "in sight";
            EXPECT_EQ(std::count(field.safeZone.begin(), field.safeZone.end(), cell), 0)
                << "not on the safe zone";
        }
    }
    // The four turns of a single cell are one drop per cell.
    EXPECT_EQ(BuilderPlanner::candidates(field, {{0, 0}}).size(), 9u * 5u - 6u);
    std::mt19937 random(7);
    bool found = false;
    const BuilderPlanner::Drop any = BuilderPlanner::chooseRandomDrop(field, bar, random, found);
    EXPECT_TRUE(found);
    EXPECT_NE(std::find_if(drops.begin(), drops.end(),
                           [&](const BuilderPlanner::Drop& d)
                           { return d.cursor == any.cursor && d.quarterTurns == any.quarterTurns; }),
              drops.end());
}
} // namespace orv_gd
