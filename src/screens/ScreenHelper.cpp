#include "screens/ScreenHelper.h"

#include "core/ControllerInput.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/View.hpp>

#include <algorithm>
#include <iostream>

namespace orv_gd
{
void ScreenHelper::fitSpriteToWindow(sf::Sprite& sprite, const sf::RenderWindow& window)
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

bool ScreenHelper::followWindow(sf::RenderWindow& window, sf::View& view)
{
    const sf::Vector2f size(window.getSize());
    if (view.getSize() == size)
    {
        return false;
    }
    view = sf::View(sf::FloatRect(0.0f, 0.0f, size.x, size.y));
    window.setView(view);
    return true;
}

void ScreenHelper::drawPicture(sf::RenderWindow& window, const sf::Sprite& sprite)
{
    window.draw(sprite, sf::BlendNone);
}

void ScreenHelper::forEachController(const ControllerInput& controllers,
                                     const std::function<void(unsigned)>& call)
{
    for (unsigned slot = 0; slot < ControllerInput::SlotCount; ++slot)
    {
        if (controllers.isConnected(slot))
        {
            call(slot);
        }
    }
}

bool ScreenHelper::isFreshPress(const ControllerInput& controllers, unsigned button,
                                ReleasedButtons& released)
{
    bool pressed = false;
    forEachController(controllers,
                      [&](unsigned slot)
                      {
                          if (!controllers.isButtonPressed(slot, button))
                          {
                              released[slot] = true;
                          }
                          else if (released[slot])
                          {
                              pressed = true;
                          }
                      });
    return pressed;
}

bool ScreenHelper::isButtonHeld(const ControllerInput& controllers, unsigned button)
{
    bool held = false;
    forEachController(controllers,
                      [&](unsigned slot) { held = held || controllers.isButtonPressed(slot, button); });
    return held;
}

void ScreenHelper::closeGame(sf::RenderWindow& window)
{
    if (window.isOpen())
    {
        std::cout << "closing game" << std::endl;
        window.close();
    }
}
} // namespace orv_gd
