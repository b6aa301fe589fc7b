#pragma once

#include "core/GameState.h"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/View.hpp>

namespace orv_gd
{
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

private:
    sf::Sprite m_sprite;
    sf::View m_view;
    bool m_isInit = false;
};
} // namespace orv_gd
