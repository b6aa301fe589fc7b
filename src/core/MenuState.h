#pragma once

#include "core/GameState.h"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/View.hpp>

#include <memory>

namespace sf
{
class Texture;
}

namespace orv_gd
{
class AssetManager;
class ControllerInput;
class InputManager;

/// The title screen: Space (or button 0) leads to the tutorial, Escape (or button 1) quits.
class MenuState : public GameState
{
public:
    static constexpr float MenuInputDelay = 0.2f;

    MenuState(GameStateManager* gameStateManager, Game* game);

    void init() override;
    void exit() override;
    void update(float deltaTime) override;
    void draw() override;

    void registerGamepads();

    const sf::Sprite& getSprite() const { return m_sprite; }

private:
    sf::Sprite m_sprite;
    sf::View m_view;
    bool m_isInit = false;

    /// Keeps the picture alive even if its id is loaded again later.
    std::shared_ptr<sf::Texture> m_texture;
    InputManager& m_input;
    ControllerInput& m_controllers;
    AssetManager& m_assets;
};
} // namespace orv_gd
