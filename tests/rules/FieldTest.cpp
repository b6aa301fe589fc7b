#include "RulesTestSupport.h"

#include <gtest/gtest.h>

namespace orv_gd::rules
{
using test::fieldOf;
using Cells = std::vector<Cell>;

TEST(FieldTest, AGreenBuilderCellCoversWhiteOrGreenAndGivesItBackWhenItFades)
{
    Field field = fieldOf({"#g.", "..."});
    for (const Cell cell : {Cell{0, 0}, Cell{1, 0}, Cell{2, 0}})
    {
        field.drop(cell, CellKind::Finish, 7000);
    }
    EXPECT_EQ(test::rowsOf(field), (std::vector<std::string>{"ggg", "..."}));
    EXPECT_EQ(field.coveredAt({0, 0}), CellKind::Static);
    // A second green cell over the first keeps the level cell beneath, not the fading one.
    field.drop({0, 0}, CellKind::Finish, 7000);
    field.drop({2, 0}, CellKind::Finish, 7000);
    EXPECT_EQ(field.coveredAt({0, 0}), CellKind::Static);
    EXPECT_EQ(field.coveredAt({2, 0}), CellKind::Empty);
    field.expire({0, 0});
    std::vector<Cell> expired;
    field.age(7000, expired);
    EXPECT_EQ(expired, (Cells{{1, 0}, {2, 0}}));
    EXPECT_EQ(test::rowsOf(field), (std::vector<std::string>{"#g.", "..."}));
    EXPECT_EQ(field.lifeAt({1, 0}), 0);
}

TEST(FieldTest, AmberOverAmberReplacesItAndOnlyAgeingShortensALife)
{
    Field field(3, 3);
    field.drop({1, 0}, CellKind::Dynamic, 7000);
    field.drop({0, 2}, CellKind::Dynamic, 5000);
    field.drop({0, 1}, CellKind::Dynamic, 5000);
    field.drop({2, 2}, CellKind::Static, 0); // white never fades
    std::vector<Cell> expired;
    field.age(3000, expired);
    EXPECT_EQ(field.lifeAt({1, 0}), 4000);
    field.drop({1, 0}, CellKind::Dynamic, 7000);
    EXPECT_EQ(field.lifeAt({1, 0}), 7000);
    EXPECT_EQ(field.coveredAt({1, 0}), CellKind::Empty) << "the old amber cell is gone for good";
    field.age(500, expired);
    field.fall({1, 0}); // a fall takes the life along and leaves nothing behind
    EXPECT_EQ(field.lifeAt({1, 1}), 6500);
    EXPECT_TRUE(field.isFree({1, 0}) && field.lifeAt({1, 0}) == 0);
    field.age(1499, expired);
    EXPECT_TRUE(expired.empty());
    field.age(1, expired);
    EXPECT_EQ(expired, (Cells{{0, 1}, {0, 2}})) << "column by column, top down";
    field.age(100000, expired);
    EXPECT_EQ(expired.back(), (Cell{1, 1}));
    EXPECT_EQ(test::rowsOf(field), (std::vector<std::string>{"...", "...", "..#"}));
}

TEST(FieldTest, OutsideTheMapReadsAsWhiteAndIsLeftAlone)
{
    Field field(2, 2);
    for (const Cell cell : {Cell{-1, 0}, Cell{2, 0}, Cell{0, -1}, Cell{0, 2}})
    {
        EXPECT_EQ(field.at(cell), CellKind::Static);
        EXPECT_FALSE(field.isFree(cell));
        field.drop(cell, CellKind::Dynamic, 7000);
    }
    field.drop({1, 1}, CellKind::Dynamic, 7000);
    field.fall({1, 1}); // nothing below the bottom row
    EXPECT_EQ(test::rowsOf(field), (std::vector<std::string>{"..", ".a"}));
}
} // namespace orv_gd::rules
