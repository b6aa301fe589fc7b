#pragma once

#include "objects/IRenderComponent.h"

#include <SFML/Graphics/Sprite.hpp>

#include <memory>
#include <string>

namespace sf
{
class Texture;
}

namespace orv_gd
{
/// Shows one texture at its object's position, on a sprite layer. It joins its layer when
/// constructed and leaves it when destroyed, so the sprite manager never holds a dangling pointer.
class SpriteRenderComponent : public IRenderComponent
{
public:
    SpriteRenderComponent(GameObject& gameObject, sf::RenderWindow& renderWindow,
                          std::shared_ptr<sf::Texture> texture, std::string layerName);
    ~SpriteRenderComponent() override;

    SpriteRenderComponent(const SpriteRenderComponent&) = delete;
    SpriteRenderComponent& operator=(const SpriteRenderComponent&) = delete;

    bool init() override;
    void update(float deltaTime) override;
    void draw() override;

    /// Its creator scales the sprite and sets its origin through this.
    sf::Sprite& getSprite() { return m_sprite; }
    const std::string& getLayerName() const { return m_layerName; }

private:
    std::shared_ptr<sf::Texture> m_texture;
    sf::Sprite m_sprite;
    std::string m_layerName;
};
} // namespace orv_gd
