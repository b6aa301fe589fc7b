#include "rules/ObstacleShapes.h"

#include <gtest/gtest.h>

namespace orv_gd::rules
{
using Shape = ObstacleShapes::Shape;

TEST(ObstacleShapesTest, EightShapesTurningClockwiseAboutTheAnchor)
{
    // Each shape as stored (x right, y down, the anchor at 0,0), turned once and twice: a quarter
    // turn takes (x, y) to (-y, x), clockwise on the screen, and never recentres (the square moves).
    const Shape expected[][3] = {
        {{{0, 0}}, {{0, 0}}, {{0, 0}}},
        {{{0, -1}, {0, 1}, {0, 0}}, {{1, 0}, {-1, 0}, {0, 0}}, {{0, 1}, {0, -1}, {0, 0}}},
        {{{0, -1}, {0, 1}, {0, 0}, {0, 2}},
         {{1, 0}, {-1, 0}, {0, 0}, {-2, 0}},
         {{0, 1}, {0, -1}, {0, 0}, {0, -2}}},
        {{{0, -1}, {0, 1}, {0, 0}, {1, 0}},
         {{1, 0}, {-1, 0}, {0, 0}, {0, 1}},
         {{0, 1}, {0, -1}, {0, 0}, {-1, 0}}},
        {{{-1, 0}, {1, 0}, {0, 0}, {1, 1}},
         {{0, -1}, {0, 1}, {0, 0}, {-1, 1}},
         {{1, 0}, {-1, 0}, {0, 0}, {-1, -1}}},
        {{{-1, 0}, {1, 0}, {0, 0}, {-1, 1}},
         {{0, -1}, {0, 1}, {0, 0}, {-1, -1}},
         {{1, 0}, {-1, 0}, {0, 0}, {1, -1}}},
        {{{-1, 0}, {0, 0}, {0, -1}, {-1, -1}},
         {{0, -1}, {0, 0}, {1, 0}, {1, -1}},
         {{1, 0}, {0, 0}, {0, 1}, {1, 1}}},
        {{{0, 0}, {1, 0}, {1, 1}, {0, -1}},
         {{0, 0}, {0, 1}, {-1, 1}, {1, 0}},
         {{0, 0}, {-1, 0}, {-1, -1}, {0, 1}}},
    };
    const std::vector<Shape>& shapes = ObstacleShapes::catalogue();
    ASSERT_EQ(shapes.size(), 8u);
    for (std::size_t i = 0; i < shapes.size(); ++i)
    {
        SCOPED_TRACE("shape " + std::to_string(i + 1));
        EXPECT_EQ(shapes[i], expected[i][0]);
        EXPECT_EQ(ObstacleShapes::rotateShape(shapes[i], 1), expected[i][1]);
        EXPECT_EQ(ObstacleShapes::rotateShape(shapes[i], 2), expected[i][2]);
        EXPECT_EQ(ObstacleShapes::rotateShape(shapes[i], 4), shapes[i]);
        EXPECT_EQ(ObstacleShapes::rotateShape(shapes[i], -1), ObstacleShapes::rotateShape(expected[i][2], 1));
    }
}
} // namespace orv_gd::rules
