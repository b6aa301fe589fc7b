#include "view/MatchOverview.h"

#include "rules/Match.h"
#include "view/Palette.h"
#include "view/WindowSpace.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <cmath>

namespace orv_gd
{
namespace
{
/// The same nearly opaque dark as the HUD's panels below.
const sf::Color PanelColor{0, 0, 0, 225};
/// The level's empty cells: a shade lighter than the panel, so the level's outline reads.
const sf::Color EmptyColor{45, 45, 45, 255};
const sf::Color SafeZoneColor{PaletteBlue.r, PaletteBlue.g, PaletteBlue.b, 90};

sf::Color colorOf(rules::CellKind kind)
{
    switch (kind)
    {
    case rules::CellKind::Static:
        return PaletteWhite;
    case rules::CellKind::Dynamic:
        return PaletteAmber;
    case rules::CellKind::Finish:
        return PaletteGreen;
    default:
        return EmptyColor;
    }
}
} // namespace

MatchOverview::MatchOverview(sf::RenderWindow& window) : m_window(window) {}

void MatchOverview::setFont(const sf::Font* font)
{
    m_font = font;
    if (m_font)
    {
        m_distance.setFont(*m_font);
    }
    m_dirty = true;
}

void MatchOverview::layout()
{
    m_dirty = true;
}

int MatchOverview::columnsToFinish(const rules::Match& match)
{
    const int firstGreen = match.field.getWidth() - rules::Match::FinishColumns;
    return std::max(0, firstGreen - match.runner.cell.x);
}

std::string MatchOverview::distanceText(int columns)
{
    if (columns <= 0)
    {
        return "at the finish";
    }
    return std::to_string(columns) + (columns == 1 ? " column" : " columns") + " to the finish";
}

void MatchOverview::update(const rules::Match& match)
{
    const rules::Field& field = match.field;
    const sf::Vector2i mapSize(field.getWidth(), field.getHeight());
    bool changed = m_dirty || mapSize != m_mapSize || match.runner.cell != m_runner;
    m_kinds.resize(static_cast<std::size_t>(mapSize.x * mapSize.y), rules::CellKind::Empty);
    // Only the kinds show: the blocks' ageing lives alone never rebuild the picture.
    auto kind = m_kinds.begin();
    for (int x = 0; x < mapSize.x; ++x)
    {
        for (int y = 0; y < mapSize.y; ++y, ++kind)
        {
            const rules::CellKind now = field.at({x, y});
            changed = changed || *kind != now;
            *kind = now;
        }
    }
    if (!changed)
    {
        return;
    }
    m_mapSize = mapSize;
    m_runner = match.runner.cell;
    const std::string words = distanceText(columnsToFinish(match));
    if (words != m_distanceWords)
    {
        m_distanceWords = words;
        m_distance.setString(m_distanceWords);
    }
    rebuild(match);
}

sf::FloatRect MatchOverview::cellRect(rules::Cell cell) const
{
    return {m_origin.x + static_cast<float>(cell.x) * m_cell,
            m_origin.y + static_cast<float>(cell.y) * m_cell, m_cell, m_cell};
}

void MatchOverview::rebuild(const rules::Match& match)
{
    m_dirty = false;
    ++m_builds;
    const sf::Vector2f size(m_window.getSize());
    const rules::Field& field = match.field;
    const float width = static_cast<float>(std::max(1, field.getWidth()));
    const float height = static_cast<float>(std::max(1, field.getHeight()));
    // Whole pixels a cell, as many as fit in an eighth of the window's height and most of its width.
    m_cell = std::max(1.0f, std::floor(std::min(0.62f * size.x / width, 0.125f * size.y / height)));
    m_pad = std::max(3.0f, std::round(0.005f * size.y));
    const unsigned textSize =
        static_cast<unsigned>(std::max(10.0f, std::min(0.024f * size.y, 0.013f * size.x)));
    m_distance.setCharacterSize(textSize);
    m_distance.setFillColor(PaletteWhite);
    const float textWidth = m_font ? m_distance.getLocalBounds().width : 0.0f;
    const float mapWidth = width * m_cell;
    const float mapHeight = height * m_cell;
    const float panelWidth = mapWidth + 2.0f * m_pad + (textWidth > 0.0f ? textWidth + 2.0f * m_pad : 0.0f);
    m_bounds = {std::round((size.x - panelWidth) / 2.0f), m_pad, std::round(panelWidth),
                mapHeight + 2.0f * m_pad};
    m_origin = {m_bounds.left + m_pad, m_bounds.top + m_pad};
    const sf::FloatRect textBounds = m_distance.getLocalBounds();
    m_distance.setPosition(std::round(m_origin.x + mapWidth + 2.0f * m_pad - textBounds.left),
                           std::round(m_origin.y + (mapHeight - textBounds.height) / 2.0f - textBounds.top));

    m_picture.clear();
    m_picture.addQuad(m_bounds, PanelColor);
    m_picture.addQuad({m_origin.x, m_origin.y, mapWidth, mapHeight}, EmptyColor);
    // A row's run of cells of one kind is one quad: the renderer sets up every triangle on its own,
    // and hundreds of tiny ones cost more than the pixels they cover. The quads are opaque and
    // meet on whole pixels, so the picture is the same as one quad per cell.
    for (int y = 0; y < field.getHeight(); ++y)
    {
        for (int x = 0; x < field.getWidth();)
        {
            const rules::CellKind kind = field.at({x, y});
            int end = x + 1;
            while (end < field.getWidth() && field.at({end, y}) == kind)
            {
                ++end;
            }
            if (kind != rules::CellKind::Empty)
            {
                const sf::FloatRect first = cellRect({x, y});
                m_picture.addQuad({first.left, first.top, static_cast<float>(end - x) * m_cell, m_cell},
                                  colorOf(kind));
            }
            x = end;
        }
    }
    // The safe zone as a blue haze over its cells, the Runner inside a white ring that stands out
    // on every colour of the strip.
    const sf::FloatRect runner = cellRect(m_runner);
    const sf::FloatRect zone(runner.left - m_cell, runner.top - m_cell, 3.0f * m_cell, 3.0f * m_cell);
    const sf::FloatRect map(m_origin.x, m_origin.y, mapWidth, mapHeight);
    sf::FloatRect shown;
    if (zone.intersects(map, shown))
    {
        m_picture.addQuad(shown, SafeZoneColor);
    }
    const float ring = std::max(1.0f, std::round(m_cell / 4.0f));
    m_picture.addRing(runner, ring, PaletteWhite);
    m_picture.addQuad(runner, PaletteBlue);
}

void MatchOverview::draw()
{
    const WindowSpace windowSpace(m_window);
    m_picture.draw(m_window);
    if (m_font && !m_distanceWords.empty())
    {
        m_window.draw(m_distance);
    }
}
} // namespace orv_gd
