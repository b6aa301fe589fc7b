#include "view/MatchBanner.h"
#include "view/WindowSpace.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <cmath>

namespace orv_gd
{
void MatchBanner::place(const sf::Font& font, const std::string& line, sf::Color outline)
{
    const sf::Vector2f size(m_window.getSize());
    m_text.setFont(font);
    m_text.setString(sf::String::fromUtf8(line.begin(), line.end()));
    m_text.setCharacterSize(static_cast<unsigned>(std::max(14.0f, size.y * 0.035f)));
    m_text.setFillColor(sf::Color(250, 250, 250));
    const sf::FloatRect bounds = m_text.getLocalBounds();
    m_text.setOrigin(std::round(bounds.left + bounds.width / 2.0f), std::round(bounds.top));
    m_text.setPosition(std::round(size.x / 2.0f), std::round(size.y * 0.03f));
    const float pad = 0.4f * static_cast<float>(m_text.getCharacterSize());
    const sf::FloatRect placed = m_text.getGlobalBounds();
    m_box.setPosition(std::round(placed.left - pad), std::round(placed.top - pad * 0.6f));
    m_box.setSize({std::round(placed.width + 2.0f * pad), std::round(placed.height + 1.2f * pad)});
    m_box.setFillColor(sf::Color(20, 20, 28, 210));
    m_box.setOutlineColor(outline);
    m_box.setOutlineThickness(std::max(2.0f, size.y * 0.003f));
}

void MatchBanner::draw()
{
    const WindowSpace windowSpace(m_window);
    m_window.draw(m_box);
    m_window.draw(m_text);
}
} // namespace orv_gd
