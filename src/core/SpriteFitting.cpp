#include "core/SpriteFitting.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Sprite.hpp>

#include <algorithm>

namespace orv_gd
{
void fitSpriteToWindow(sf::Sprite& sprite, const sf::RenderWindow& window)
{
    const sf::FloatRect bounds = sprite.getLocalBounds();
    // A sprite without a picture has nothing to fit, and its zero size would make the scale infinite.
    if (bounds.width > 0.0f && bounds.height > 0.0f)
    {
        const sf::Vector2f windowSize(static_cast<float>(window.getSize().x),
                                      static_cast<float>(window.getSize().y));
        const float scale = std::min(windowSize.x / bounds.width, windowSize.y / bounds.height);
        sprite.setScale(scale, scale);
    }
    sprite.setOrigin(bounds.width * 0.5f, bounds.height * 0.5f);
    sprite.setPosition(window.getView().getCenter());
}
} // namespace orv_gd
