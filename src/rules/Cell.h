#pragma once

namespace orv_gd::rules
{
/// A cell of the match's grid, or an offset between two cells: x to the right, y downwards.
struct Cell
{
    int x = 0;
    int y = 0;

    friend constexpr bool operator==(Cell a, Cell b) { return a.x == b.x && a.y == b.y; }
    friend constexpr bool operator!=(Cell a, Cell b) { return !(a == b); }
    friend constexpr Cell operator+(Cell a, Cell b) { return {a.x + b.x, a.y + b.y}; }
    friend constexpr Cell operator-(Cell a, Cell b) { return {a.x - b.x, a.y - b.y}; }
};
} // namespace orv_gd::rules
