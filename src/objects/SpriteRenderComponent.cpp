#include "objects/SpriteRenderComponent.h"

#include "objects/EventBus.h"
#include "objects/GameObject.h"
#include "objects/RenderableCreateEvent.h"
#include "objects/RenderableDestroyEvent.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>

namespace orv_gd
{
SpriteRenderComponent::SpriteRenderComponent(GameObject& gameObject, sf::RenderWindow& renderWindow,
                                             std::shared_ptr<sf::Texture> texture, std::string layerName)
    : IRenderComponent(gameObject, renderWindow), m_texture(std::move(texture)),
      m_layerName(std::move(layerName))
{
    // Delivered at once: the sprite manager has the component on its layer when we return.
    EventBus::getInstance().fireEvent(std::make_shared<RenderableCreateEvent>(m_layerName, *this));
}

SpriteRenderComponent::~SpriteRenderComponent()
{
    // Leave the layer before the members go, so the sprite manager forgets this pointer.
    EventBus::getInstance().fireEvent(std::make_shared<RenderableDestroyEvent>(m_layerName, *this));
}

bool SpriteRenderComponent::init()
{
    // Without a texture rectangle yet, keeping it shows the whole texture.
    if (m_texture)
    {
        m_sprite.setTexture(*m_texture, false);
    }
    return true;
}

void SpriteRenderComponent::update(float /*deltaTime*/)
{
    // Only the position follows the object; the sprite keeps its own rotation, scale and origin.
    m_sprite.setPosition(m_gameObject.getPosition());
}

void SpriteRenderComponent::draw()
{
    m_renderWindow.draw(m_sprite);
}
} // namespace orv_gd
