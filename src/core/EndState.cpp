#include "core/EndState.h"

#include "core/ControllerInput.h"
#include "core/Game.h"
#include "core/GameStateManager.h"
#include "core/InputManager.h"
#include "core/ScreenHelper.h"
#include "resources/AssetManager.h"
#include "resources/TraceRecorder.h"

#include <SFML/Graphics/RenderWindow.hpp>

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

    // No input delay here: a button 0 still held when the match ends leads straight back.
    if (m_input.isKeyPressed("Select", 0) ||
        ScreenHelper::isButtonHeld(m_controllers, ScreenHelper::SelectButton))
    {
        m_gameStateManager->setState("MenuState");
    }
    // Button 1 quits only once it has been let go here: it may still be down from ending the last turn.
    bool quit = false;
    ScreenHelper::forEachController(m_controllers,
                                    [this, &quit](unsigned slot)
                                    {
                                        bool& released = m_exitButtonReleased[slot];
                                        if (!m_controllers.isButtonPressed(slot, ScreenHelper::ExitButton))
                                        {
                                            released = true;
                                        }
                                        else if (released)
                                        {
                                            quit = true;
                                        }
                                    });
    if (m_input.isKeyPressed("Exit", 0) || quit)
    {
        ScreenHelper::closeGame(window);
    }
}

void EndState::draw()
{
    TRACE_SCOPE("orv_gd::EndState::draw");
    ScreenHelper::drawPicture(m_game->getWindow(), m_sprite);
}
} // namespace orv_gd
