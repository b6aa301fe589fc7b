#pragma once

#include "core/GameState.h"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/View.hpp>

#include <cstdint>
#include <vector>

namespace orv_gd
{
/// Two tutorial pages that alternate every 7.5 seconds; Space (or button 0) starts the match.
class TutorialState : public GameState
{
public:
    TutorialState(GameStateManager* gameStateManager, Game* game);

    void init() override;
    void exit() override;
    void update(float deltaTime) override;
    void draw() override;

    std::uint32_t getCurrentSlide() const { return m_currentSlide; }

private:
    sf::View m_view;
    std::vector<sf::Sprite> m_slides;
    std::uint32_t m_currentSlide = 0;
    float m_slideDuration = 7.5f;
    float m_slideTimer = 0.0f;
    bool m_gamepadReleased = false;
    bool m_isInit = false;
};
} // namespace orv_gd
