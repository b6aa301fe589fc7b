#include "match/ObstacleShapes.h"

#include <gtest/gtest.h>

#include <vector>

namespace orv_gd
{
namespace
{
using Shape = ObstacleShapes::Shape;

TEST(ObstacleShapesTest, CatalogueHoldsTheEightShapesInOrder)
{
    const std::vector<Shape>& shapes = ObstacleShapes::catalogue();
    ASSERT_EQ(shapes.size(), 8u);
    const std::vector<std::size_t> sizes{1, 3, 4, 4, 4, 4, 4, 4};
    for (std::size_t i = 0; i < shapes.size(); ++i)
    {
        EXPECT_EQ(shapes[i].size(), sizes[i]) << "shape " << i;
    }
    EXPECT_EQ(shapes[0], (Shape{{0, 0}}));
    EXPECT_EQ(shapes[2], (Shape{{0, -1}, {0, 1}, {0, 0}, {0, 2}}));
    EXPECT_EQ(shapes[4], (Shape{{-1, 0}, {1, 0}, {0, 0}, {1, 1}}));
    EXPECT_EQ(shapes[5], (Shape{{-1, 0}, {1, 0}, {0, 0}, {-1, 1}}));
    EXPECT_EQ(shapes[6], (Shape{{-1, 0}, {0, 0}, {0, -1}, {-1, -1}}));
    EXPECT_EQ(shapes[7], (Shape{{0, 0}, {1, 0}, {1, 1}, {0, -1}}));
}

TEST(ObstacleShapesTest, SquareTurnedOnceMovesRightOfTheAnchor)
{
    const Shape square = ObstacleShapes::catalogue()[6];
    EXPECT_EQ(ObstacleShapes::rotateShape(square, 1), (Shape{{0, -1}, {0, 0}, {1, 0}, {1, -1}}));
}

TEST(ObstacleShapesTest, QuarterTurnIsClockwiseOnScreen)
{
    // Right of the anchor turns to below it, below turns to the left.
    EXPECT_EQ(ObstacleShapes::rotateShape({{1, 0}, {0, 1}}, 1), (Shape{{0, 1}, {-1, 0}}));
    EXPECT_EQ(ObstacleShapes::rotateShape({{1, 0}}, 3), (Shape{{0, -1}}));
}

TEST(ObstacleShapesTest, TurnsComposeAndFourTurnsRestoreEveryShape)
{
    for (const Shape& shape : ObstacleShapes::catalogue())
    {
        EXPECT_EQ(ObstacleShapes::rotateShape(shape, 4), shape);
        EXPECT_EQ(ObstacleShapes::rotateShape(shape, 0), shape);
        EXPECT_EQ(ObstacleShapes::rotateShape(ObstacleShapes::rotateShape(shape, 1), 3), shape);
        EXPECT_EQ(ObstacleShapes::rotateShape(shape, -1), ObstacleShapes::rotateShape(shape, 3));
        // The anchor never moves and the order of the cells is kept.
        const Shape turned = ObstacleShapes::rotateShape(shape, 2);
        ASSERT_EQ(turned.size(), shape.size());
        for (std::size_t i = 0; i < shape.size(); ++i)
        {
            EXPECT_EQ(turned[i], sf::Vector2i(-shape[i].x, -shape[i].y));
        }
    }
}
} // namespace
} // namespace orv_gd
