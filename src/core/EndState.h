#pragma once

#include "core/GameState.h"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/View.hpp>

namespace orv_gd
{
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

private:
    sf::Sprite m_sprite;
    sf::View m_view;
    StrategyType m_winner = StrategyType::Runner;
};
} // namespace orv_gd
