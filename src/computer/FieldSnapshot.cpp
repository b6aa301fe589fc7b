#include "computer/FieldSnapshot.h"

namespace orv_gd
{
FieldSnapshot::FieldSnapshot(int width, int height)
    : viewMax{width - 1, height - 1}, m_width(width), m_height(height),
      m_cells(static_cast<std::size_t>(width > 0 && height > 0 ? width * height : 0), CellKind::Empty)
{
}

void FieldSnapshot::set(sf::Vector2i cell, CellKind kind)
{
    if (isInside(cell))
    {
        m_cells[static_cast<std::size_t>(cell.x * m_height + cell.y)] = kind;
    }
}

sf::Vector2i FieldSnapshot::applyGravity(sf::Vector2i runner)
{
    for (int x = 0; x < m_width; ++x)
    {
        for (int y = m_height - 2; y >= 0; --y)
        {
            const sf::Vector2i cell{x, y};
            const sf::Vector2i below{x, y + 1};
            // The Runner falls like an amber block, and a block above it follows into its cell.
            if (at(below) != CellKind::Empty || below == runner)
            {
                continue;
            }
            if (cell == runner)
            {
                runner = below;
            }
            else if (at(cell) == CellKind::Dynamic)
            {
                set(below, CellKind::Dynamic);
                set(cell, CellKind::Empty);
            }
        }
    }
    return runner;
}

sf::Vector2i FieldSnapshot::resetCell() const
{
    const sf::Vector2i start{0, m_height - 6};
    for (int row = start.y; row >= 0; --row)
    {
        if (isFree({0, row}))
        {
            return {0, row};
        }
    }
    return start;
}
} // namespace orv_gd
