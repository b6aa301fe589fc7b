#pragma once

#include <SFML/System/Vector2.hpp>

#include <cstdint>
#include <vector>

namespace orv_gd
{
/// What stands in one cell as the planners see it. The Runner itself is not a cell kind: it is
/// carried beside the field, so that its old cell reads as free the moment it leaves it.
enum class CellKind : std::uint8_t
{
    Empty,
    Static,  ///< white platforms and white Builder blocks
    Dynamic, ///< the Builder's amber blocks: fall one cell per gravity pass
    Finish   ///< green cells: stepping on one wins
};

/// Where the Runner stands and what it may still spend.
struct RunnerState
{
    sf::Vector2i cell{0, 0};
    int jumpForce = 0;
    int xMovement = 0;

    bool operator==(const RunnerState& other) const
    {
        return cell == other.cell && jumpForce == other.jumpForce && xMovement == other.xMovement;
    }
    bool operator!=(const RunnerState& other) const { return !(*this == other); }
};

/// A plain copy of the match for the computer players: the kind of every cell, the Runner's cell
/// and budget, its resets and turns left, and for the Builder the safe zone and the cells in sight.
/// No window and no blocks: planners copy and change it freely.
class FieldSnapshot
{
public:
    FieldSnapshot(int width = 0, int height = 0);

    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }
    bool isInside(sf::Vector2i cell) const
    {
        return cell.x >= 0 && cell.y >= 0 && cell.x < m_width && cell.y < m_height;
    }
    /// Cells outside the map read as Static: nothing enters them.
    CellKind at(sf::Vector2i cell) const
    {
        return isInside(cell) ? m_cells[static_cast<std::size_t>(cell.x * m_height + cell.y)]
                              : CellKind::Static;
    }
    void set(sf::Vector2i cell, CellKind kind);
    /// Inside the map and empty: the Runner may step in.
    bool isFree(sf::Vector2i cell) const { return at(cell) == CellKind::Empty; }

    /// One gravity pass, as the grid runs it after every Runner turn: column by column, rows from
    /// the second lowest upwards, each amber block with an empty cell below falls one cell, so a
    /// stack above a gap falls together. The Runner falls with it; its new cell is returned.
    sf::Vector2i applyGravity(sf::Vector2i runner);

    /// Where a reset puts the Runner: column 0, six rows above the bottom edge, or the nearest
    /// free cell above it when that is covered.
    sf::Vector2i resetCell() const;

    RunnerState runner;
    int resetsLeft = 2;
    int turnsLeft = 50;
    /// Cells of the Runner's safe zone: the Builder may not drop onto them.
    std::vector<sf::Vector2i> safeZone;
    /// The cells the Builder's cursor can reach, inclusive (its view of the map).
    sf::Vector2i viewMin{0, 0};
    sf::Vector2i viewMax{-1, -1};

private:
    int m_width;
    int m_height;
    std::vector<CellKind> m_cells; // column-major, like the grid's table
};
} // namespace orv_gd
