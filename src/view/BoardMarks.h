#pragma once

#include "view/GridRenderer.h"

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <memory>
#include <vector>

namespace sf
{
class RenderTarget;
}

namespace orv_gd
{
class BlockComponent;

/// Marks drawn over the cells so that no kind of cell is told apart by its hue alone: a checker on
/// the finish, a diamond on the Builder's placed blocks that stays while they fade, a ring inside
/// the Runner, a cross on a ghost cell the rules refuse, and dashes along the safe zone's outline.
/// The platforms stay plain. One batched draw per frame.
class BoardMarks
{
public:
    /// The finish's checker, drawn with the floor: the lights and the Runner go over it.
    void drawFloor(sf::RenderTarget& target, const GridRenderer::CellTable& cells);
    /// Marks the other cells of the grid's table and the Builder's ghost cells as they are drawn now.
    void draw(sf::RenderTarget& target, const GridRenderer::CellTable& cells,
              const std::vector<std::shared_ptr<BlockComponent>>& ghost);
    /// Light dashes along the inside of the safe zone's outline, `thickness` wide.
    void drawDashes(sf::RenderTarget& target, const sf::FloatRect& area, float thickness);

    /// The marks of the last draw or drawFloor, as one triangle list.
    const sf::VertexArray& getMarks() const { return m_marks; }

private:
    void checker(const sf::FloatRect& cell);
    void diamond(const sf::FloatRect& cell, sf::Color fill);
    void ring(const sf::FloatRect& cell);
    void cross(const sf::FloatRect& cell);

    sf::VertexArray m_marks{sf::Triangles};
};
} // namespace orv_gd
