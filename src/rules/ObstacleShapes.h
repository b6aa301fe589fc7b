#pragma once

#include "rules/Cell.h"

#include <vector>

namespace orv_gd::rules
{
/// The catalogue of obstacle shapes the Builder is dealt and their rotation. A shape is a list of
/// cell offsets (x to the right, y downwards) from the anchor cell under the Builder's cursor.
class ObstacleShapes
{
public:
    using Shape = std::vector<Cell>;

    /// The eight shapes in catalogue order: single cell, bars of 3 and 4, T, the two L forms,
    /// the square and the S/Z form.
    static const std::vector<Shape>& catalogue();

    /// Turns every offset (x, y) into (-y, x) per quarter turn: clockwise on a screen with y
    /// downwards. 1 rotates right, 3 rotates left; negative counts turn the other way. Offsets are
    /// never re-centred, so the anchor (0, 0) stays put.
    static Shape rotateShape(const Shape& shape, int quarterTurns);
};
} // namespace orv_gd::rules
