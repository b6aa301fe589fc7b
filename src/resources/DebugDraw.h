#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Drawable.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/System/Vector2.hpp>

#include <memory>
#include <string>
#include <vector>

namespace sf
{
class RenderWindow;
}

namespace orv_gd
{
/// Process-wide diagnostic overlay: shapes queued during a frame are drawn over the screen at
/// its end and then dropped. The game switches it on and off (F1, "debugdraw").
class DebugDraw
{
public:
    static DebugDraw& getInstance();

    void draw(sf::RenderWindow& window);

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    void drawArrow(const sf::Vector2f& origin, const sf::Vector2f& direction, const sf::Color& color,
                   float thickness);
    void drawLine(const sf::Vector2f& start, const sf::Vector2f& end, const sf::Color& color,
                  float thickness);
    void drawCircle(const sf::Vector2f& center, float radius, const sf::Color& outlineColor,
                    const sf::Color& fillColor);
    void drawRectangle(const sf::Vector2f& position, const sf::Vector2f& size, const sf::Color& outlineColor,
                       const sf::Color& fillColor);
    void drawText(const std::string& text, const sf::Vector2f& position, const sf::Color& color);

    const std::vector<std::shared_ptr<sf::Drawable>>& getShapes() const { return m_shapes; }

private:
    DebugDraw();

    bool m_enabled = true;
    std::vector<std::shared_ptr<sf::Drawable>> m_shapes;
    sf::Font m_font;
};
} // namespace orv_gd
