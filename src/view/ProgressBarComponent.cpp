#include "view/ProgressBarComponent.h"

#include "objects/GameObject.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <cmath>

namespace orv_gd
{
ProgressBarComponent::ProgressBarComponent(GameObject& gameObject, sf::RenderWindow& renderWindow,
                                           sf::Vector2f size, float value, float emptyValue, float fullValue,
                                           sf::Color backgroundColor, sf::Color barColor)
    : IRenderComponent(gameObject, renderWindow), m_size(size), m_value(value), m_fullValue(fullValue),
      m_emptyValue(emptyValue), m_backgroundColor(backgroundColor), m_barColor(barColor)
{
}

bool ProgressBarComponent::init()
{
    m_background.setSize(m_size);
    m_background.setFillColor(m_backgroundColor);
    m_background.setOrigin(m_size.x / 2.0f, m_size.y / 2.0f);
    // A grey rim keeps the bar's whole length in sight on the HUD's dark panel, whatever its
    // background colour.
    m_background.setOutlineColor(PaletteGrey);
    m_background.setOutlineThickness(std::max(1.0f, std::round(m_size.y / 10.0f)));

    // Not clamped yet: the first update clamps it before the bar is ever drawn.
    const float unclamped = (m_value - m_emptyValue) / (m_fullValue - m_emptyValue);
    m_foreground.setSize({m_size.x * unclamped, m_size.y});
    m_foreground.setFillColor(m_barColor);
    m_foreground.setOrigin(m_size.x / 2.0f, m_size.y / 2.0f);
    return true;
}

void ProgressBarComponent::setSize(sf::Vector2f size)
{
    m_size = size;
    m_background.setSize(m_size);
    m_background.setOrigin(m_size.x / 2.0f, m_size.y / 2.0f);
    m_foreground.setOrigin(m_size.x / 2.0f, m_size.y / 2.0f);
}

void ProgressBarComponent::update(float /*deltaTime*/)
{
    const sf::Vector2f position = m_gameObject.getPosition();
    m_background.setPosition(position);
    m_foreground.setPosition(position);
    m_background.setFillColor(m_backgroundColor);
    m_foreground.setFillColor(m_barColor);
    m_foreground.setSize({m_size.x * ratio(), m_size.y});
}

void ProgressBarComponent::draw()
{
    m_renderWindow.draw(*getTriangles());
}

const sf::VertexArray* ProgressBarComponent::getTriangles()
{
    m_triangles.clear();
    m_triangles.add(m_background);
    m_triangles.add(m_foreground);
    return &m_triangles.getVertices();
}

float ProgressBarComponent::ratio() const
{
    const float raw = (m_value - m_emptyValue) / (m_fullValue - m_emptyValue);
    return std::max(std::min(raw, 1.0f), 0.0f);
}
} // namespace orv_gd
