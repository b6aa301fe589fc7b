#include "view/WindowSpace.h"

#include <SFML/Graphics/RenderTarget.hpp>

namespace orv_gd
{
WindowSpace::WindowSpace(sf::RenderTarget& target) : m_target(target), m_camera(target.getView())
{
    const sf::Vector2f size(target.getSize());
    target.setView(sf::View(sf::FloatRect(0.0f, 0.0f, size.x, size.y)));
}

WindowSpace::~WindowSpace()
{
    m_target.setView(m_camera);
}
} // namespace orv_gd
