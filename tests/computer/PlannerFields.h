#pragma once

#include "computer/FieldSnapshot.h"

#include <string>
#include <vector>

namespace orv_gd::test
{
/// A field drawn row by row: '.' empty, '#' white, 'a' amber, 'F' finish, 'R' the Runner (on an
/// empty cell), 's' a safe-zone cell (empty).
inline FieldSnapshot fieldOf(const std::vector<std::string>& rows, int jumpForce = 0, int xMovement = 4)
{
    FieldSnapshot field(static_cast<int>(rows.front().size()), static_cast<int>(rows.size()));
    for (int y = 0; y < field.getHeight(); ++y)
    {
        for (int x = 0; x < field.getWidth(); ++x)
        {
            const char c = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            const sf::Vector2i cell{x, y};
            field.set(cell, c == '#'   ? CellKind::Static
                            : c == 'a' ? CellKind::Dynamic
                            : c == 'F' ? CellKind::Finish
                                       : CellKind::Empty);
            if (c == 'R')
            {
                field.runner.cell = cell;
            }
            if (c == 's' || c == 'R')
            {
                field.safeZone.push_back(cell);
            }
        }
    }
    field.runner.jumpForce = jumpForce;
    field.runner.xMovement = xMovement;
    return field;
}
} // namespace orv_gd::test
