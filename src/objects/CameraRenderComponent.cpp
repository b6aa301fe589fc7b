#include "objects/CameraRenderComponent.h"

#include "objects/GameObject.h"

#include <SFML/Graphics/RenderWindow.hpp>

namespace orv_gd
{
CameraRenderComponent::CameraRenderComponent(GameObject& gameObject, sf::RenderWindow& renderWindow,
                                             sf::View view)
    : IRenderComponent(gameObject, renderWindow), m_view(std::move(view))
{
}

void CameraRenderComponent::update(float /*deltaTime*/)
{
    // Only the centre moves; size, rotation and viewport stay as created.
    m_view.setCenter(m_gameObject.getPosition());
    m_renderWindow.setView(m_view);
}
} // namespace orv_gd
