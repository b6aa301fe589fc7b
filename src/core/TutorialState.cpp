#include "core/TutorialState.h"

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
TutorialState::TutorialState(GameStateManager* gameStateManager, Game* game)
    : GameState(gameStateManager, game), m_input(InputManager::getInstance()),
      m_controllers(ControllerInput::getInstance()), m_assets(AssetManager::getInstance())
{
}

void TutorialState::init()
{
    TRACE_SCOPE("orv_gd::TutorialState::init");
    if (m_isInit)
    {
        // A button still held from the menu must be let go before it starts the match.
        m_selectButtonReleased.fill(false);
        return;
    }
    sf::RenderWindow& window = m_game->getWindow();
    m_view = window.getView();
    for (const char* id : {"tutorial1", "tutorial2"})
    {
        sf::Sprite slide;
        std::shared_ptr<sf::Texture> texture = m_assets.GetTexture(id);
        if (texture)
        {
            slide.setTexture(*texture, true);
        }
        ScreenHelper::fitSpriteToWindow(slide, window);
        m_slides.push_back(slide);
        m_textures.push_back(texture);
    }
    m_timeInState = 0.0f;
    m_isInit = true;
}

void TutorialState::exit()
{
    TRACE_SCOPE("orv_gd::TutorialState::exit");
    m_game->getGui().removeAllWidgets();
    GameState::exit();
}

void TutorialState::update(float deltaTime)
{
    TRACE_SCOPE("orv_gd::TutorialState::update");
    m_timeInState += deltaTime;
    sf::RenderWindow& window = m_game->getWindow();
    window.setView(m_view);
    if (ScreenHelper::followWindow(window, m_view))
    {
        for (sf::Sprite& slide : m_slides)
        {
            ScreenHelper::fitSpriteToWindow(slide, window);
        }
    }

    if (ScreenHelper::isFreshPress(m_controllers, ScreenHelper::SelectButton, m_selectButtonReleased))
    {
        m_gameStateManager->setState("MainState");
    }
    if (m_input.isKeyPressed("Select", 0))
    {
        m_gameStateManager->setState("MainState");
    }

    // The pages keep turning in the frame that leaves, so a later visit resumes from here.
    m_slideTimer += deltaTime;
    if (m_slideTimer > m_slideDuration && !m_slides.empty())
    {
        m_slideTimer = 0.0f;
        m_currentSlide = (m_currentSlide + 1) % static_cast<std::uint32_t>(m_slides.size());
    }
}

void TutorialState::draw()
{
    if (m_currentSlide < m_slides.size())
    {
        ScreenHelper::drawPicture(m_game->getWindow(), m_slides[m_currentSlide]);
    }
    // The timer starts after the drawing, so the tutorial's trace event leaves the drawing out.
    TRACE_SCOPE("orv_gd::TutorialState::draw");
}
} // namespace orv_gd
