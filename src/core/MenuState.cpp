#include "core/MenuState.h"

#include "core/ControllerInput.h"
#include "core/Game.h"
#include "core/GameStateManager.h"
#include "core/InputManager.h"
#include "core/SpriteFitting.h"
#include "resources/AssetManager.h"
#include "resources/TraceRecorder.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <iostream>

namespace orv_gd
{
namespace
{
/// Time in state given to the very first visit, so the first Space is taken at once.
constexpr float FirstVisitTimeInState = 2.0f;
constexpr unsigned SelectButton = 0;
constexpr unsigned ExitButton = 1;

void closeGame(sf::RenderWindow& window)
{
    // The key and a controller, or two controllers, may ask in one frame; say it once.
    if (window.isOpen())
    {
        std::cout << "closing game" << std::endl;
        window.close();
    }
}
} // namespace

MenuState::MenuState(GameStateManager* gameStateManager, Game* game)
    : GameState(gameStateManager, game), m_input(InputManager::getInstance()),
      m_controllers(ControllerInput::getInstance()), m_assets(AssetManager::getInstance())
{
}

void MenuState::init()
{
    TRACE_SCOPE("orv_gd::MenuState::init");
    if (m_isInit)
    {
        return;
    }
    sf::RenderWindow& window = m_game->getWindow();
    m_view = window.getView();
    m_texture = m_assets.GetTexture("start");
    if (m_texture)
    {
        m_sprite.setTexture(*m_texture, true);
    }
    fitSpriteToWindow(m_sprite, window);
    m_timeInState = FirstVisitTimeInState;
    m_isInit = true;
}

void MenuState::exit()
{
    TRACE_SCOPE("orv_gd::MenuState::exit");
    m_game->getGui().removeAllWidgets();
    GameState::exit();
}

void MenuState::update(float deltaTime)
{
    TRACE_SCOPE("orv_gd::MenuState::update");
    m_timeInState += deltaTime;
    sf::RenderWindow& window = m_game->getWindow();
    window.setView(m_view);

    // The delay keeps the Space that left the end screen from skipping the menu as well.
    if (m_input.isKeyPressed("Select", 0) && m_timeInState > MenuInputDelay)
    {
        m_gameStateManager->setState("TutorialState");
    }
    if (m_input.isKeyPressed("Exit", 0))
    {
        closeGame(window);
    }
    registerGamepads();
}

void MenuState::draw()
{
    TRACE_SCOPE("orv_gd::MenuState::draw");
    m_game->getWindow().draw(m_sprite);
}

void MenuState::registerGamepads()
{
    TRACE_SCOPE("orv_gd::MenuState::registerGamepads");
    sf::RenderWindow& window = m_game->getWindow();
    for (unsigned slot = 0; slot < ControllerInput::SlotCount; ++slot)
    {
        if (!m_controllers.isConnected(slot))
        {
            continue;
        }
        // Buttons count while held: the delay, not an edge, keeps a held button from repeating.
        if (m_controllers.isButtonPressed(slot, SelectButton) && m_timeInState > MenuInputDelay)
        {
            m_gameStateManager->setState("TutorialState");
        }
        if (m_controllers.isButtonPressed(slot, ExitButton) && m_timeInState > MenuInputDelay)
        {
            closeGame(window);
        }
    }
}
} // namespace orv_gd
