#pragma once

#include "core/ControllerInput.h"
#include "core/GameState.h"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/View.hpp>

#include <array>
#include <memory>

namespace sf
{
class Texture;
}

namespace orv_gd
{
class AssetManager;
class InputManager;

/// Shows the winner's picture and plays "win"; Space or controller button 0 returns to the menu,
/// Escape or controller button 1 quits.
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
    /// Per controller slot: button 1 has been seen up since this screen became current. It is also
    /// the Runner's "end turn", so the press that ended the match must not quit the game.
    std::array<bool, ControllerInput::SlotCount> m_exitButtonReleased{};

    /// Keeps the winner's picture alive even if its id is loaded again later.
    std::shared_ptr<sf::Texture> m_texture;
    InputManager& m_input;
    ControllerInput& m_controllers;
    AssetManager& m_assets;
};
} // namespace orv_gd
