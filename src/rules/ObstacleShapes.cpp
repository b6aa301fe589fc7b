#include "rules/ObstacleShapes.h"

namespace orv_gd::rules
{
const std::vector<ObstacleShapes::Shape>& ObstacleShapes::catalogue()
{
    static const std::vector<Shape> shapes{
        {{0, 0}},
        {{0, -1}, {0, 1}, {0, 0}},
        {{0, -1}, {0, 1}, {0, 0}, {0, 2}},
        {{0, -1}, {0, 1}, {0, 0}, {1, 0}},
        {{-1, 0}, {1, 0}, {0, 0}, {1, 1}},
        {{-1, 0}, {1, 0}, {0, 0}, {-1, 1}},
        {{-1, 0}, {0, 0}, {0, -1}, {-1, -1}},
        {{0, 0}, {1, 0}, {1, 1}, {0, -1}},
    };
    return shapes;
}

ObstacleShapes::Shape ObstacleShapes::rotateShape(const Shape& shape, int quarterTurns)
{
    const int turns = ((quarterTurns % 4) + 4) % 4;
    Shape rotated = shape;
    for (int turn = 0; turn < turns; ++turn)
    {
        for (Cell& offset : rotated)
        {
            offset = Cell{-offset.y, offset.x};
        }
    }
    return rotated;
}
} // namespace orv_gd::rules
