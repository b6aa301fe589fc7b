#include "view/BoardMarks.h"

#include "objects/GameObject.h"
#include "view/BlockComponent.h"
#include "view/Palette.h"

#include <SFML/Graphics/RenderTarget.hpp>

#include <algorithm>
#include <cmath>

namespace orv_gd
{
namespace
{
/// Squares per side of the finish's checker.
constexpr int CheckerSquares = 4;

void quad(sf::VertexArray& vertices, sf::Vector2f a, sf::Vector2f b, sf::Vector2f c, sf::Vector2f d,
          sf::Color color)
{
    for (const sf::Vector2f& p : {a, b, c, a, c, d})
    {
        vertices.append(sf::Vertex(p, color));
    }
}

void box(sf::VertexArray& vertices, float left, float top, float right, float bottom, sf::Color color)
{
    quad(vertices, {left, top}, {right, top}, {right, bottom}, {left, bottom}, color);
}

bool sameHue(sf::Color a, sf::Color b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b;
}
} // namespace

void BoardMarks::drawFloor(sf::RenderTarget& target, const GridRenderer::CellTable& cells)
{
    m_marks.clear();
    for (const std::vector<std::shared_ptr<BlockComponent>>& column : cells)
    {
        for (const std::shared_ptr<BlockComponent>& block : column)
        {
            if (block && block->getType() == BlockType::Finish)
            {
                checker({block->getShape().getPosition(), block->getShape().getSize()});
            }
        }
    }
    if (m_marks.getVertexCount() > 0)
    {
        target.draw(m_marks);
    }
}

void BoardMarks::draw(sf::RenderTarget& target, const GridRenderer::CellTable& cells,
                      const std::vector<std::shared_ptr<BlockComponent>>& ghost)
{
    m_marks.clear();
    for (const std::vector<std::shared_ptr<BlockComponent>>& column : cells)
    {
        for (const std::shared_ptr<BlockComponent>& block : column)
        {
            if (!block)
            {
                continue;
            }
            const sf::FloatRect cell(block->getShape().getPosition(), block->getShape().getSize());
            if (block->getType() == BlockType::Dynamic && block->getGameObject().getId() == "Runner")
            {
                ring(cell);
            }
            else if (block->getType() == BlockType::Dynamic)
            {
                // Opaque whatever the block's fade: the mark says "amber block" to its last moment.
                diamond(cell, sf::Color(block->getColor().r, block->getColor().g, block->getColor().b));
            }
        }
    }
    for (const std::shared_ptr<BlockComponent>& block : ghost)
    {
        if (block && block->isGhost() && sameHue(block->getColor(), PaletteRed))
        {
            cross({block->getShape().getPosition(), block->getShape().getSize()});
        }
    }
    if (m_marks.getVertexCount() > 0)
    {
        target.draw(m_marks);
    }
}

void BoardMarks::checker(const sf::FloatRect& cell)
{
    // Every other square darkened: the finish reads as a chequered band in any colour vision.
    const float side = cell.width / static_cast<float>(CheckerSquares);
    const sf::Color shade(PaletteDark.r, PaletteDark.g, PaletteDark.b, 150);
    for (int i = 0; i < CheckerSquares; ++i)
    {
        for (int j = (i % 2); j < CheckerSquares; j += 2)
        {
            const float left = cell.left + static_cast<float>(i) * side;
            const float top = cell.top + static_cast<float>(j) * side;
            box(m_marks, left, top, left + side, top + side, shade);
        }
    }
}

void BoardMarks::diamond(const sf::FloatRect& cell, sf::Color fill)
{
    // A dark-rimmed diamond in the middle: the rim shows on the fresh block, the fill once it fades.
    const sf::Vector2f middle(cell.left + cell.width / 2.0f, cell.top + cell.height / 2.0f);
    const float outer = cell.width * 0.24f;
    const float inner = outer - std::max(2.0f, cell.width / 20.0f);
    const auto shape = [&](float r, sf::Color color)
    {
        quad(m_marks, middle + sf::Vector2f(0.0f, -r), middle + sf::Vector2f(r, 0.0f),
             middle + sf::Vector2f(0.0f, r), middle + sf::Vector2f(-r, 0.0f), color);
    };
    shape(outer, PaletteDark);
    shape(inner, fill);
}

void BoardMarks::ring(const sf::FloatRect& cell)
{
    // A dark square ring inside the Runner's block.
    const float inset = cell.width * 0.14f;
    const float t = std::max(2.0f, std::round(cell.width / 10.0f));
    const float left = cell.left + inset;
    const float top = cell.top + inset;
    const float right = cell.left + cell.width - inset;
    const float bottom = cell.top + cell.height - inset;
    box(m_marks, left, top, right, top + t, PaletteDark);
    box(m_marks, left, bottom - t, right, bottom, PaletteDark);
    box(m_marks, left, top + t, left + t, bottom - t, PaletteDark);
    box(m_marks, right - t, top + t, right, bottom - t, PaletteDark);
}

void BoardMarks::cross(const sf::FloatRect& cell)
{
    // Two light bars from corner to corner, kept clear of the ghost's own rim.
    const float inset = cell.width * 0.18f;
    const float half = std::max(1.5f, cell.width / 22.0f);
    const sf::Vector2f a(cell.left + inset, cell.top + inset);
    const sf::Vector2f b(cell.left + cell.width - inset, cell.top + cell.height - inset);
    const sf::Vector2f c(cell.left + cell.width - inset, cell.top + inset);
    const sf::Vector2f d(cell.left + inset, cell.top + cell.height - inset);
    const sf::Color light = PaletteWhite;
    const auto bar = [&](sf::Vector2f from, sf::Vector2f to)
    {
        const sf::Vector2f along = to - from;
        const float length = std::sqrt(along.x * along.x + along.y * along.y);
        const sf::Vector2f side(-along.y / length * half, along.x / length * half);
        quad(m_marks, from + side, to + side, to - side, from - side, light);
    };
    bar(a, b);
    bar(c, d);
}

void BoardMarks::drawDashes(sf::RenderTarget& target, const sf::FloatRect& area, float thickness)
{
    if (area.width <= 0.0f || area.height <= 0.0f)
    {
        return;
    }
    // Dashes a third of a cell long on the inner edge of the outline: a pattern, not only a hue.
    sf::VertexArray dashes(sf::Triangles);
    const float dash = std::max(6.0f, area.height / 9.0f);
    const sf::Color light(PaletteWhite.r, PaletteWhite.g, PaletteWhite.b, 200);
    const float right = area.left + area.width;
    const float bottom = area.top + area.height;
    for (float x = area.left; x < right; x += 2.0f * dash)
    {
        const float end = std::min(x + dash, right);
        box(dashes, x, area.top, end, area.top + thickness, light);
        box(dashes, x, bottom - thickness, end, bottom, light);
    }
    for (float y = area.top; y < bottom; y += 2.0f * dash)
    {
        const float end = std::min(y + dash, bottom);
        box(dashes, area.left, y, area.left + thickness, end, light);
        box(dashes, right - thickness, y, right, end, light);
    }
    target.draw(dashes);
}
} // namespace orv_gd
