#include "view/BuilderGuides.h"

#include "view/BlockComponent.h"
#include "view/Palette.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>

namespace orv_gd
{
namespace
{
// Faint: the rule shows, the blocks under it still read first.
constexpr sf::Uint8 SafeZoneAlpha = 120;
constexpr sf::Uint8 FinishAlpha = 110;

sf::Color faint(sf::Color color, sf::Uint8 alpha)
{
    color.a = alpha;
    return color;
}
} // namespace

BuilderGuides::BuilderGuides(sf::RenderWindow& window) : m_window(window)
{
    m_safeZone.setFillColor(sf::Color::Transparent);
    m_finish.setFillColor(sf::Color::Transparent);
}

void BuilderGuides::update(const std::vector<std::shared_ptr<BlockComponent>>& safeZone, sf::Vector2i mapSize,
                           int finishColumns, float cellEdge)
{
    // Drawn inside the area, so the outline never reaches into a cell where a block may drop.
    const float thickness = -std::max(2.0f, cellEdge / 24.0f);
    // The palette's colours, which the match sets when it starts.
    m_safeZone.setOutlineColor(faint(PaletteBlue, SafeZoneAlpha));
    m_finish.setOutlineColor(faint(PaletteGreen, FinishAlpha));
    m_safeZone.setOutlineThickness(thickness);
    m_finish.setOutlineThickness(thickness);
    m_finish.setPosition(static_cast<float>(mapSize.x - finishColumns) * cellEdge, 0.0f);
    m_finish.setSize(
        {static_cast<float>(finishColumns) * cellEdge, static_cast<float>(mapSize.y) * cellEdge});

    if (safeZone.empty())
    {
        m_safeZone.setSize({0.0f, 0.0f});
        return;
    }
    sf::Vector2f low = safeZone.front()->getDrawPosition();
    sf::Vector2f high = low;
    for (const std::shared_ptr<BlockComponent>& cell : safeZone)
    {
        const sf::Vector2f at = cell->getDrawPosition();
        low = {std::min(low.x, at.x), std::min(low.y, at.y)};
        high = {std::max(high.x, at.x), std::max(high.y, at.y)};
    }
    m_safeZone.setPosition(low * cellEdge);
    m_safeZone.setSize((high - low + sf::Vector2f(1.0f, 1.0f)) * cellEdge);
}

void BuilderGuides::draw()
{
    // One draw for both outlines; their see-through fills change no pixel and are left out.
    m_batch.clear();
    m_batch.add(m_finish);
    if (m_safeZone.getSize().x > 0.0f)
    {
        m_batch.add(m_safeZone);
    }
    m_batch.draw(m_window);
}
} // namespace orv_gd
