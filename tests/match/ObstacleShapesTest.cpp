#include "match/ObstacleShapes.h"

#include <gtest/gtest.h>

namespace orv_gd::test
{
using Shape = ObstacleShapes::Shape;

TEST(ObstacleShapesTest, EightShapesTurningClockwiseAboutTheAnchor)
{
    const std::vector<Shape>& shapes = ObstacleShapes::catalogue();
    ASSERT_EQ(shapes.size(), 8u);
    // The square turns about its anchor cell: one quarter turn moves it, it is never recentred.
    EXPECT_EQ(shapes[6], (Shape{{-1, 0}, {0, 0}, {0, -1}, {-1, -1}}));
    EXPECT_EQ(ObstacleShapes::rotateShape(shapes[6], 1), (Shape{{0, -1}, {0, 0}, {1, 0}, {1, -1}}));
    for (const Shape& shape : shapes)
    {
        EXPECT_EQ(ObstacleShapes::rotateShape(shape, 4), shape);
        EXPECT_EQ(ObstacleShapes::rotateShape(shape, -1), ObstacleShapes::rotateShape(shape, 3));
    }
}
} // namespace orv_gd::test
