#include "match/ObstacleShapes.h"

#include <gtest/gtest.h>

namespace orv_gd
{
namespace
{
using Shape = ObstacleShapes::Shape;

TEST(ObstacleShapesTest, CatalogueHoldsTheEightShapesInOrder)
{
    const std::vector<Shape>& shapes = ObstacleShapes::catalogue();
    ASSERT_EQ(shapes.size(), 8u);
    EXPECT_EQ(shapes[0], (Shape{{0, 0}}));
    EXPECT_EQ(shapes[1], (Shape{{0, -1}, {0, 1}, {0, 0}}));
    EXPECT_EQ(shapes[2], (Shape{{0, -1}, {0, 1}, {0, 0}, {0, 2}}));
    EXPECT_EQ(shapes[3], (Shape{{0, -1}, {0, 1}, {0, 0}, {1, 0}}));
    EXPECT_EQ(shapes[4], (Shape{{-1, 0}, {1, 0}, {0, 0}, {1, 1}}));
    EXPECT_EQ(shapes[5], (Shape{{-1, 0}, {1, 0}, {0, 0}, {-1, 1}}));
    EXPECT_EQ(shapes[6], (Shape{{-1, 0}, {0, 0}, {0, -1}, {-1, -1}}));
    EXPECT_EQ(shapes[7], (Shape{{0, 0}, {1, 0}, {1, 1}, {0, -1}}));
}

TEST(ObstacleShapesTest, QuarterTurnIsClockwiseAboutTheAnchorWithoutRecentring)
{
    EXPECT_EQ(ObstacleShapes::rotateShape(ObstacleShapes::catalogue()[6], 1),
              (Shape{{0, -1}, {0, 0}, {1, 0}, {1, -1}}));
    EXPECT_EQ(ObstacleShapes::rotateShape({{1, 0}, {0, 1}}, 1), (Shape{{0, 1}, {-1, 0}}));
    for (const Shape& shape : ObstacleShapes::catalogue())
    {
        EXPECT_EQ(ObstacleShapes::rotateShape(shape, 4), shape);
        EXPECT_EQ(ObstacleShapes::rotateShape(ObstacleShapes::rotateShape(shape, 1), 3), shape);
        EXPECT_EQ(ObstacleShapes::rotateShape(shape, -1), ObstacleShapes::rotateShape(shape, 3));
    }
}
} // namespace
} // namespace orv_gd
