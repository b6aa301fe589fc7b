#include "core/MenuState.h"

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
namespace
{
/// Time in state given to the very first visit, so the first Space is taken at once.
constexpr float FirstVisitTimeInState = 2.0f;
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
    ScreenHelper::fitSpriteToWindow(m_sprite, window);
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
    if (ScreenHelper::followWindow(window, m_view))
    {
        ScreenHelper::fitSpriteToWindow(m_sprite, window);
    }

    // The delay keeps the Space that left the end screen from skipping the menu as well.
    if (m_timeInState > MenuInputDelay)
    {
        if (m_input.isKeyPressed("Select", 0))
        {
            choose(MatchMode::TwoPlayers);
        }
        if (m_input.isKeyPressed("PlayRunner", 0))
        {
            choose(MatchMode::ComputerBuilder);
        }
        if (m_input.isKeyPressed("PlayBuilder", 0))
        {
            choose(MatchMode::ComputerRunner);
        }
        if (m_input.isKeyPressed("WatchComputers", 0))
        {
            choose(MatchMode::ComputerBoth);
        }
        if (m_input.isKeyPressed("Settings", 0))
        {
            m_gameStateManager->setState("SettingsState");
        }
    }
    if (m_input.isKeyPressed("Exit", 0))
    {
        ScreenHelper::closeGame(window);
    }
    registerGamepads();
}

void MenuState::choose(MatchMode mode)
{
    m_game->setMatchMode(mode);
    m_gameStateManager->setState("TutorialState");
}

void MenuState::draw()
{
    TRACE_SCOPE("orv_gd::MenuState::draw");
    ScreenHelper::drawPicture(m_game->getWindow(), m_sprite);
}

void MenuState::registerGamepads()
{
    TRACE_SCOPE("orv_gd::MenuState::registerGamepads");
    // Buttons count while held: the delay, not an edge, keeps a held button from repeating.
    if (m_timeInState <= MenuInputDelay)
    {
        return;
    }
    if (ScreenHelper::isButtonHeld(m_controllers, ScreenHelper::SelectButton))
    {
        choose(MatchMode::TwoPlayers);
    }
    if (ScreenHelper::isButtonHeld(m_controllers, PlayRunnerButton))
    {
        choose(MatchMode::ComputerBuilder);
    }
    if (ScreenHelper::isButtonHeld(m_controllers, PlayBuilderButton))
    {
        choose(MatchMode::ComputerRunner);
    }
    if (ScreenHelper::isButtonHeld(m_controllers, ScreenHelper::ExitButton))
    {
        ScreenHelper::closeGame(m_game->getWindow());
    }
    if (ScreenHelper::isButtonHeld(m_controllers, ControllerInput::ButtonBack))
    {
        m_gameStateManager->setState("SettingsState");
    }
}
} // namespace orv_gd
