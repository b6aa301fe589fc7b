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

/// Shows the winner's picture and plays "win"; Space returns to the menu, Escape quits.
class EndState : public GameState
{
public:
    EndState(GameStateManager* gameStateManager, Game* game);

    void init() override;
    void exit() override;
    void update(float deltaTime) override;
    void draw() override;
    void setWinner(StrategyType winner) override;

    StrategyType getWinner() const { return m_winner; }
    const sf::Sprite& getSprite() const { return m_sprite; }

private:
    sf::Sprite m_sprite;
    sf::View m_view;
    StrategyType m_winner = StrategyType::Runner;

    /// Keeps the winner's picture alive even if its id is loaded again later.
    std::shared_ptr<sf::Texture> m_texture;
    InputManager& m_input;
    ControllerInput& m_controllers;
    AssetManager& m_assets;
};
} // namespace orv_gd
