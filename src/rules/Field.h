#pragma once

#include "rules/Cell.h"

#include <cstdint>
#include <vector>

namespace orv_gd::rules
{
/// What stands in one cell. The Runner is not a cell kind: the match carries it beside the field.
enum class CellKind : std::uint8_t
{
    Empty,
    Static,  ///< white: the level's platforms and the Builder's white blocks
    Dynamic, ///< the Builder's amber blocks: fall one cell per gravity pass, fade
    Finish   ///< green: the finish line and the Builder's single green cells; stepping on one wins
};

/// The grid of a match as plain data: each cell's kind, the level cell a Builder cell covers, and
/// the lifetime left to the Builder's fading cells, in milliseconds of Builder time.
class Field
{
public:
    Field(int width = 0, int height = 0);

    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }
    bool isInside(Cell cell) const
    {
        return cell.x >= 0 && cell.y >= 0 && cell.x < m_width && cell.y < m_height;
    }
    /// Cells outside the map read as Static: nothing enters them.
    CellKind at(Cell cell) const { return isInside(cell) ? m_kinds[index(cell)] : CellKind::Static; }
    /// Inside the map and empty.
    bool isFree(Cell cell) const { return at(cell) == CellKind::Empty; }
    /// A white or green cell: only a green block may be dropped onto it.
    bool isSolid(Cell cell) const
    {
        const CellKind kind = at(cell);
        return kind == CellKind::Static || kind == CellKind::Finish;
    }

    /// Sets a cell for good: it covers nothing and never fades.
    void set(Cell cell, CellKind kind);
    /// What the cell shows again once its Builder cell is gone (Empty for a level cell).
    CellKind coveredAt(Cell cell) const { return isInside(cell) ? m_covered[index(cell)] : CellKind::Empty; }
    /// Milliseconds of Builder time the cell has left; 0 for a cell that never fades.
    int lifeAt(Cell cell) const { return isInside(cell) ? m_life[index(cell)] : 0; }

    /// A Builder cell dropped here: a green one keeps the white or green level cell beneath it and
    /// gives it back when it fades; any other replaces what was there. `lifeMs` 0 never fades.
    void drop(Cell cell, CellKind kind, int lifeMs);
    /// The cell's fading ends now: what it covered comes back.
    void expire(Cell cell);
    /// Takes `ms` from every fading cell's life; the cells whose life ran out are appended to
    /// `expired` (column by column, top down) and given back to what they covered.
    void age(int ms, std::vector<Cell>& expired);
    /// Moves an amber cell, with its life, into the empty cell below.
    void fall(Cell cell);

    friend bool operator==(const Field& a, const Field& b)
    {
        return a.m_width == b.m_width && a.m_height == b.m_height && a.m_kinds == b.m_kinds &&
               a.m_covered == b.m_covered && a.m_life == b.m_life;
    }
    friend bool operator!=(const Field& a, const Field& b) { return !(a == b); }

private:
    std::size_t index(Cell cell) const { return static_cast<std::size_t>(cell.x * m_height + cell.y); }

    int m_width;
    int m_height;
    // Column-major, like the grid's table.
    std::vector<CellKind> m_kinds;
    std::vector<CellKind> m_covered;
    std::vector<int> m_life;
};
} // namespace orv_gd::rules
