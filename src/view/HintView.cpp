#include "view/HintView.h"

#include "view/Palette.h"
#include "view/WindowSpace.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace orv_gd
{
namespace
{
void box(sf::VertexArray& vertices, float left, float top, float right, float bottom, sf::Color color)
{
    const sf::Vector2f corners[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    for (int i : {0, 1, 2, 0, 2, 3})
    {
        vertices.append(sf::Vertex(corners[i], color));
    }
}

/// The outline of a cell, `inset` in from its edge and `thickness` wide: its inside stays as it is.
void outline(sf::VertexArray& vertices, rules::Cell cell, float edge, float inset, float thickness,
             sf::Color color)
{
    const float left = static_cast<float>(cell.x) * edge + inset;
    const float top = static_cast<float>(cell.y) * edge + inset;
    const float right = left + edge - 2.0f * inset;
    const float bottom = top + edge - 2.0f * inset;
    box(vertices, left, top, right, top + thickness, color);
    box(vertices, left, bottom - thickness, right, bottom, color);
    box(vertices, left, top + thickness, left + thickness, bottom - thickness, color);
    box(vertices, right - thickness, top + thickness, right, bottom - thickness, color);
}
} // namespace

HintView::~HintView()
{
    reset();
}

bool HintView::request(const rules::Match& match, CellRange view)
{
    if (m_working.valid())
    {
        return false;
    }
    m_shown.reset();
    m_blocksLeft = match.blocksLeft;
    // The planners work on a copy: the match goes on meanwhile.
    m_working =
        std::async(std::launch::async, [copy = match, view] { return HintPlanner::plan(copy, view); });
    return true;
}

void HintView::update(const rules::Match& match)
{
    if (m_working.valid() && m_working.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
    {
        m_shown = m_working.get();
    }
    if (m_shown && (m_shown->turnNumber != match.turnNumber ||
                    (m_shown->role == rules::Role::Builder && match.blocksLeft != m_blocksLeft)))
    {
        m_shown.reset();
    }
}

void HintView::reset()
{
    if (m_working.valid())
    {
        m_working.wait();
        m_working = {};
    }
    m_shown.reset();
}

void HintView::draw(float cellEdge)
{
    m_outlines.setPrimitiveType(sf::Triangles);
    m_outlines.clear();
    if (!m_shown || !m_shown->found)
    {
        return;
    }
    const float thin = std::max(2.0f, std::round(cellEdge / 24.0f));
    const sf::Color light(PaletteWhite.r, PaletteWhite.g, PaletteWhite.b, 230);
    const sf::Color dark(PaletteDark.r, PaletteDark.g, PaletteDark.b, 230);
    const auto mark = [&](rules::Cell cell, float inset, float thickness)
    {
        // A light line on a dark one: it shows over white platforms and the dark map alike.
        outline(m_outlines, cell, cellEdge, inset, thickness + 2.0f, dark);
        outline(m_outlines, cell, cellEdge, inset + 1.0f, thickness, light);
    };
    if (m_shown->role == rules::Role::Runner)
    {
        // Each cell the Runner passes, smaller than the cell; where the turn ends, the whole cell.
        for (std::size_t i = 1; i < m_shown->path.size(); ++i)
        {
            const bool last = i + 1 == m_shown->path.size();
            mark(m_shown->path[i], last ? 2.0f : cellEdge * 0.3f, last ? 2.0f * thin : thin);
        }
    }
    else
    {
        for (const rules::Cell& cell : m_shown->cells)
        {
            mark(cell, 2.0f, 2.0f * thin);
        }
    }
    m_window.draw(m_outlines);
}

std::string HintView::line() const
{
    if (isWorking())
    {
        return std::string(KeyLine) + ": thinking";
    }
    if (!m_shown)
    {
        return KeyLine;
    }
    if (!m_shown->found)
    {
        return std::string(KeyLine) + ": nothing to advise";
    }
    if (m_shown->role == rules::Role::Runner)
    {
        const int steps = static_cast<int>(m_shown->keys.size());
        return std::string(KeyLine) + ": this path, " + std::to_string(steps) +
               (steps == 1 ? " key" : " keys");
    }
    const int q = m_shown->quarterTurns;
    const std::string turn = q == 0   ? "as it is"
                             : q == 1 ? "turned right"
                             : q == 3 ? "turned left"
                                      : "turned twice";
    return std::string(KeyLine) + ": drop it " + turn + " at " + std::to_string(m_shown->cursor.x) + "," +
           std::to_string(m_shown->cursor.y);
}

void HintView::drawLine(const sf::Font* font)
{
    if (!font)
    {
        return;
    }
    const sf::Vector2f size(m_window.getSize());
    m_text.setFont(*font);
    m_text.setString(line());
    m_text.setCharacterSize(static_cast<unsigned>(std::max(14.0f, size.y * 0.026f)));
    m_text.setFillColor(PaletteWhite);
    m_text.setOutlineColor(PaletteDark);
    m_text.setOutlineThickness(2.0f);
    const sf::FloatRect bounds = m_text.getLocalBounds();
    m_text.setOrigin(std::round(bounds.left + bounds.width), std::round(bounds.top));
    m_text.setPosition(std::round(size.x * 0.985f), std::round(size.y * 0.02f));
    const WindowSpace windowSpace(m_window);
    m_window.draw(m_text);
}
} // namespace orv_gd
