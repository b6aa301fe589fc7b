#include "screens/EndState.h"

#include "core/ControllerInput.h"
#include "core/Game.h"
#include "core/GameStateManager.h"
#include "core/InputManager.h"
#include "resources/AssetManager.h"
#include "resources/TraceRecorder.h"
#include "screens/ScreenHelper.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <cmath>

namespace orv_gd
{
EndState::EndState(GameStateManager* gameStateManager, Game* game)
    : GameState(gameStateManager, game), m_input(InputManager::getInstance()),
      m_controllers(ControllerInput::getInstance()), m_assets(AssetManager::getInstance())
{
}

void EndState::setWinner(StrategyType winner)
{
    m_winner = winner;
}

void EndState::init()
{
    // Runs in full on every call: the match calls it once itself and the switch once more,
    // so the fanfare restarts from its beginning when the screen really appears.
    TRACE_SCOPE("orv_gd::EndState::init");
    sf::RenderWindow& window = m_game->getWindow();
    m_view = window.getView();
    m_exitButtonReleased.fill(false);

    std::shared_ptr<sf::Texture> texture;
    if (m_winner == StrategyType::Runner)
    {
        texture = m_assets.GetTexture("win_runner");
    }
    else if (m_winner == StrategyType::Builder)
    {
        texture = m_assets.GetTexture("win_builder");
    }
    if (texture)
    {
        m_texture = texture;
        m_sprite.setTexture(*m_texture, true);
    }
    ScreenHelper::fitSpriteToWindow(m_sprite, window);
    placeSummary();
    m_assets.GetSound("win").play();
}

void EndState::exit()
{
    TRACE_SCOPE("orv_gd::EndState::exit");
    m_game->getGui().removeAllWidgets();
    GameState::exit();
}

void EndState::update(float deltaTime)
{
    TRACE_SCOPE("orv_gd::EndState::update");
    m_timeInState += deltaTime;
    sf::RenderWindow& window = m_game->getWindow();
    window.setView(m_view);
    if (ScreenHelper::followWindow(window, m_view))
    {
        ScreenHelper::fitSpriteToWindow(m_sprite, window);
        placeSummary();
    }

    // No input delay here: a button 0 still held when the match ends leads straight back.
    if (m_lastMatch && m_input.isKeyPressed("WatchAgain", 0))
    {
        m_game->watch(*m_lastMatch, "EndState");
        return;
    }
    if (m_input.isKeyPressed("Select", 0) ||
        ScreenHelper::isButtonHeld(m_controllers, ScreenHelper::SelectButton))
    {
        m_gameStateManager->setState("MenuState");
    }
    // Button 1 quits only once it has been let go here: it may still be down from ending the last turn.
    const bool quit =
        ScreenHelper::isFreshPress(m_controllers, ScreenHelper::ExitButton, m_exitButtonReleased);
    if (m_input.isKeyPressed("Exit", 0) || quit)
    {
        ScreenHelper::closeGame(window);
    }
}

void EndState::draw()
{
    TRACE_SCOPE("orv_gd::EndState::draw");
    ScreenHelper::drawPicture(m_game->getWindow(), m_sprite);
    if (!m_summary.empty() && m_font)
    {
        m_game->getWindow().draw(m_summaryText);
    }
    if (m_lastMatch && m_font)
    {
        m_game->getWindow().draw(m_watchText);
    }
}

void EndState::placeSummary()
{
    m_font = m_assets.GetFont("consolab");
    if (!m_font)
    {
        return;
    }
    // In the pictures' empty band between the scene and the keys (at 78 % of their height), sized
    // like their subtitle, so the line reads as part of the picture at any window size.
    const sf::FloatRect picture = m_sprite.getGlobalBounds();
    m_summaryText.setFont(*m_font);
    m_summaryText.setString(m_summary);
    m_summaryText.setCharacterSize(static_cast<unsigned>(std::max(12.0f, picture.height * 0.04f)));
    m_summaryText.setFillColor(sf::Color(230, 230, 230));
    const sf::FloatRect bounds = m_summaryText.getLocalBounds();
    m_summaryText.setOrigin(std::round(bounds.left + bounds.width / 2.0f),
                            std::round(bounds.top + bounds.height / 2.0f));
    m_summaryText.setPosition(std::round(picture.left + picture.width / 2.0f),
                              std::round(picture.top + picture.height * 0.78f));
    // At the bottom right, beside the picture's controller keys: the match can be watched again.
    m_watchText.setFont(*m_font);
    m_watchText.setString("V: watch again");
    m_watchText.setCharacterSize(static_cast<unsigned>(std::max(12.0f, picture.height * 0.03f)));
    m_watchText.setFillColor(sf::Color(200, 200, 200));
    const sf::FloatRect watch = m_watchText.getLocalBounds();
    m_watchText.setOrigin(std::round(watch.left + watch.width), std::round(watch.top + watch.height / 2.0f));
    m_watchText.setPosition(std::round(picture.left + picture.width * 0.98f),
                            std::round(picture.top + picture.height * 0.94f));
}
} // namespace orv_gd
