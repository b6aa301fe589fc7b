#include "resources/DebugDraw.h"

#include "resources/AssetManager.h"

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/ConvexShape.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/System/Err.hpp>

#include <cmath>
#include <initializer_list>

namespace orv_gd
{
namespace
{
float lengthOf(const sf::Vector2f& vector)
{
    return std::sqrt(vector.x * vector.x + vector.y * vector.y);
}

std::shared_ptr<sf::ConvexShape> makeShape(std::initializer_list<sf::Vector2f> points, const sf::Color& color)
{
    auto shape = std::make_shared<sf::ConvexShape>(points.size());
    std::size_t index = 0;
    for (const sf::Vector2f& point : points)
    {
        shape->setPoint(index++, point);
    }
    shape->setFillColor(color);
    return shape;
}

/// The band of the given thickness from start to end, where unitDirection points from start to end.
std::shared_ptr<sf::ConvexShape> makeBand(const sf::Vector2f& start, const sf::Vector2f& end,
                                          const sf::Vector2f& unitDirection, float thickness,
                                          const sf::Color& color)
{
    const sf::Vector2f halfWidth = sf::Vector2f(unitDirection.y, -unitDirection.x) * thickness * 0.5f;
    return makeShape({start - halfWidth, start + halfWidth, end + halfWidth, end - halfWidth}, color);
}
} // namespace

DebugDraw& DebugDraw::getInstance()
{
    static DebugDraw instance;
    return instance;
}

DebugDraw::DebugDraw()
{
    // The overlay keeps a font of its own so it works even before the asset catalogue loads.
    if (!m_font.loadFromFile(AssetManager::GetAssetPath("consolab.ttf")))
    {
        sf::err() << "Could not load font\n";
    }
}

void DebugDraw::draw(sf::RenderWindow& window)
{
    if (m_enabled)
    {
        for (const auto& shape : m_shapes)
        {
            window.draw(*shape);
        }
    }
    // Shapes queued while the overlay is off must not pile up for the next frame.
    m_shapes.clear();
}

void DebugDraw::drawArrow(const sf::Vector2f& origin, const sf::Vector2f& direction, const sf::Color& color,
                          float thickness)
{
    if (!m_enabled)
    {
        return;
    }
    const float length = lengthOf(direction);
    if (length < 1.0f)
    {
        return;
    }
    const sf::Vector2f unitDirection = direction / length;
    const sf::Vector2f right(unitDirection.y, -unitDirection.x);
    // Long arrows get a head of fixed length; short ones split evenly between shaft and head.
    const float shaftLength = length > 10.0f ? length - 5.0f : length * 0.5f;
    const sf::Vector2f shaftEnd = origin + unitDirection * shaftLength;
    const sf::Vector2f tip = origin + direction;
    m_shapes.push_back(makeBand(origin, shaftEnd, unitDirection, thickness, color));
    m_shapes.push_back(makeShape({shaftEnd - right * 5.0f, shaftEnd + right * 5.0f, tip}, color));
}

void DebugDraw::drawLine(const sf::Vector2f& start, const sf::Vector2f& end, const sf::Color& color,
                         float thickness)
{
    if (!m_enabled)
    {
        return;
    }
    const sf::Vector2f delta = end - start;
    const float length = lengthOf(delta);
    if (length < 1.0f)
    {
        return;
    }
    m_shapes.push_back(makeBand(start, end, delta / length, thickness, color));
}

void DebugDraw::drawCircle(const sf::Vector2f& center, float radius, const sf::Color& outlineColor,
                           const sf::Color& fillColor)
{
    if (!m_enabled)
    {
        return;
    }
    auto circle = std::make_shared<sf::CircleShape>(radius);
    circle->setOutlineThickness(1.0f);
    circle->setOutlineColor(outlineColor);
    circle->setFillColor(fillColor);
    circle->setOrigin(radius, radius);
    circle->setPosition(center);
    m_shapes.push_back(circle);
}

void DebugDraw::drawRectangle(const sf::Vector2f& position, const sf::Vector2f& size,
                              const sf::Color& outlineColor, const sf::Color& fillColor)
{
    if (!m_enabled)
    {
        return;
    }
    auto rectangle = std::make_shared<sf::RectangleShape>(size);
    rectangle->setOutlineThickness(1.0f);
    rectangle->setOutlineColor(outlineColor);
    rectangle->setFillColor(fillColor);
    rectangle->setOrigin(size * 0.5f);
    rectangle->setPosition(position);
    m_shapes.push_back(rectangle);
}

void DebugDraw::drawText(const std::string& text, const sf::Vector2f& position, const sf::Color& color)
{
    auto label = std::make_shared<sf::Text>(sf::String(text), m_font, 14);
    label->setFillColor(color);
    label->setPosition(position);
    const sf::FloatRect bounds = label->getLocalBounds();
    label->setOrigin(bounds.width * 0.5f, bounds.height * 0.5f + bounds.top);
    m_shapes.push_back(label);
}
} // namespace orv_gd
