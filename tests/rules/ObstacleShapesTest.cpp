#include "rules/ObstacleShapes.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace orv_gd::rules
{
using Shape = ObstacleShapes::Shape;

TEST(ObstacleShapesTest, EightDistinctConnectedShapesRoundTheAnchorTurningClockwiseWithoutRecentring)
{
    using Cells = std::set<std::pair<int, int>>;
    // The cells of a shape turned; `moved`, with its least cell at (0, 0).
    const auto cells = [](const Shape& shape, int turns, bool moved)
    {
        Cells set, at;
        for (const Cell c : ObstacleShapes::rotateShape(shape, turns))
        {
            set.insert({c.x, c.y});
        }
        for (const auto& [x, y] : set)
        {
            at.insert({x - set.begin()->first, y - set.begin()->second});
        }
        return moved ? at : set;
    };
    std::map<Cells, std::size_t> owners; // each shape in each of its turns, wherever it stands
    std::vector<std::size_t> sizes;
    for (const Shape& shape : ObstacleShapes::catalogue())
    {
        SCOPED_TRACE("shape " + std::to_string(sizes.size() + 1));
        Cells reached{{0, 0}}; // grown from the anchor through neighbours: the anchor is a cell, all joined
        for (std::size_t round = 0; round < shape.size(); ++round)
        {
            for (const Cell c : shape)
            {
                for (const auto& [x, y] : Cells(reached))
                {
                    reached.insert(std::abs(c.x - x) + std::abs(c.y - y) == 1 ? std::pair{c.x, c.y}
                                                                              : std::pair{x, y});
                }
            }
        }
        EXPECT_EQ(reached, cells(shape, 0, false));
        for (int turns = 0; turns < 4; ++turns)
        {
            EXPECT_EQ(owners.emplace(cells(shape, turns, true), sizes.size()).first->second, sizes.size());
            EXPECT_EQ(ObstacleShapes::rotateShape(ObstacleShapes::rotateShape(shape, turns), 4 - turns),
                      shape);
            EXPECT_EQ(ObstacleShapes::rotateShape(shape, turns - 4),
                      ObstacleShapes::rotateShape(shape, turns));
        }
        sizes.push_back(shape.size());
    }
    EXPECT_EQ(sizes, (std::vector<std::size_t>{1, 3, 4, 4, 4, 4, 4, 4}));
    // A quarter turn takes (x, y) to (-y, x), clockwise on the screen; offsets are not recentred,
    // so the square moves one column to the right of the anchor.
    EXPECT_EQ(ObstacleShapes::rotateShape({{1, 2}, {0, 0}, {-3, 0}}, 1), (Shape{{-2, 1}, {0, 0}, {0, -3}}));
    EXPECT_EQ(cells(ObstacleShapes::catalogue()[6], 1, false), (Cells{{0, -1}, {0, 0}, {1, -1}, {1, 0}}));
}
} // namespace orv_gd::rules
