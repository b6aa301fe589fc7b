#include "rules/Field.h"

namespace orv_gd::rules
{
Field::Field(int width, int height)
    : m_width(width > 0 && height > 0 ? width : 0), m_height(width > 0 && height > 0 ? height : 0),
      m_kinds(static_cast<std::size_t>(m_width * m_height), CellKind::Empty),
      m_covered(m_kinds.size(), CellKind::Empty), m_life(m_kinds.size(), 0)
{
}

void Field::set(Cell cell, CellKind kind)
{
    if (isInside(cell))
    {
        m_kinds[index(cell)] = kind;
        m_covered[index(cell)] = CellKind::Empty;
        m_life[index(cell)] = 0;
    }
}

void Field::drop(Cell cell, CellKind kind, int lifeMs)
{
    if (!isInside(cell))
    {
        return;
    }
    const std::size_t i = index(cell);
    // A Builder cell that is itself fading never comes back: what lies under it does.
    const CellKind beneath = m_life[i] > 0 ? m_covered[i] : m_kinds[i];
    m_covered[i] = beneath == CellKind::Static || beneath == CellKind::Finish ? beneath : CellKind::Empty;
    m_kinds[i] = kind;
    m_life[i] = lifeMs;
}

void Field::expire(Cell cell)
{
    if (!isInside(cell))
    {
        return;
    }
    const std::size_t i = index(cell);
    m_kinds[i] = m_covered[i];
    m_covered[i] = CellKind::Empty;
    m_life[i] = 0;
}

void Field::age(int ms, std::vector<Cell>& expired)
{
    for (int x = 0; x < m_width; ++x)
    {
        for (int y = 0; y < m_height; ++y)
        {
            int& life = m_life[index({x, y})];
            if (life <= 0)
            {
                continue;
            }
            life -= ms;
            if (life <= 0)
            {
                expire({x, y});
                expired.push_back({x, y});
            }
        }
    }
}

void Field::fall(Cell cell)
{
    const Cell below{cell.x, cell.y + 1};
    if (!isInside(cell) || !isInside(below))
    {
        return;
    }
    const std::size_t from = index(cell);
    const std::size_t to = index(below);
    m_kinds[to] = m_kinds[from];
    m_life[to] = m_life[from];
    m_covered[to] = CellKind::Empty;
    m_kinds[from] = m_covered[from];
    m_covered[from] = CellKind::Empty;
    m_life[from] = 0;
}
} // namespace orv_gd::rules
