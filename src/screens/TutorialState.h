#pragma once

#include "core/GameState.h"
#include "screens/ScreenHelper.h"
#include "screens/TutorialOverlay.h"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/View.hpp>

#include <cstdint>
#include <memory>
#include <vector>

namespace sf
{
class Font;
class Texture;
} // namespace sf

namespace orv_gd
{
class AssetManager;
class ControllerInput;
class InputManager;

/// Two tutorial pages that alternate every 7.5 seconds, each with the player's own keys and turn
/// time over it; Space (or button 0) starts the match. In a network match each side begins on the
/// page of the role it plays, and both pages name that role.
class TutorialState : public GameState
{
public:
    TutorialState(GameStateManager* gameStateManager, Game* game);

    void init() override;
    void exit() override;
    void update(float deltaTime) override;
    void draw() override;

    std::uint32_t getCurrentSlide() const { return m_currentSlide; }
    const std::vector<sf::Sprite>& getSlides() const { return m_slides; }
    const std::vector<TutorialOverlay>& getOverlays() const { return m_overlays; }

private:
    /// The page of the role played here in a network match; -1 otherwise.
    int playedPage() const;
    void showOwnPageFirst();
    /// The overlays anew, for the settings and the pictures as fitted now.
    void buildOverlays();

    sf::View m_view;
    std::vector<sf::Sprite> m_slides;
    std::uint32_t m_currentSlide = 0;
    float m_slideDuration = 7.5f;
    float m_slideTimer = 0.0f;
    /// Per controller slot: button 0 has been seen up since this screen became current, so that a
    /// press still held from the menu does not start the match.
    ScreenHelper::ReleasedButtons m_selectButtonReleased{};
    bool m_isInit = false;

    /// Keeps the pictures alive even if their ids are loaded again later.
    std::vector<std::shared_ptr<sf::Texture>> m_textures;
    std::vector<TutorialOverlay> m_overlays;
    std::shared_ptr<sf::Font> m_font;
    InputManager& m_input;
    ControllerInput& m_controllers;
    AssetManager& m_assets;
};
} // namespace orv_gd
