#include "screens/TutorialState.h"

#include "core/ControllerInput.h"
#include "core/Game.h"
#include "core/GameStateManager.h"
#include "core/InputManager.h"
#include "core/NetworkFriend.h"
#include "core/Settings.h"
#include "resources/AssetManager.h"
#include "resources/TraceRecorder.h"
#include "screens/ScreenHelper.h"

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
        if (ScreenHelper::followWindow(m_game->getWindow(), m_view))
        {
            for (sf::Sprite& slide : m_slides)
            {
                ScreenHelper::fitSpriteToWindow(slide, m_game->getWindow());
            }
        }
        showOwnPageFirst();
        buildOverlays();
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
    showOwnPageFirst();
    buildOverlays();
}

int TutorialState::playedPage() const
{
    const MatchMode mode = m_game->getMatchMode();
    const NetworkFriend* networkFriend = m_game->getNetworkFriend();
    if (isNetwork(mode) && networkFriend)
    {
        return networkFriend->localRole() == rules::Role::Runner ? 0 : 1;
    }
    return -1;
}

void TutorialState::showOwnPageFirst()
{
    // In a network match each player reads their own role first.
    if (playedPage() >= 0)
    {
        m_currentSlide = static_cast<std::uint32_t>(playedPage());
        m_slideTimer = 0.0f;
    }
}

void TutorialState::buildOverlays()
{
    const std::shared_ptr<sf::Font> font = m_assets.GetFont("consolab");
    m_overlays.assign(m_slides.size(), TutorialOverlay());
    if (!font)
    {
        return;
    }
    m_font = font;
    // The turn time of the match about to be played: a network match plays the host's.
    const Settings settings = m_game->getRunSettings();
    const NetworkFriend* networkFriend = m_game->getNetworkFriend();
    const int agreedMs = playedPage() >= 0 && networkFriend ? networkFriend->turnLimitMs() : 0;
    const int seconds = agreedMs > 0 ? (agreedMs + 999) / 1000 : settings.turnSeconds;
    for (std::size_t page = 0; page < m_slides.size(); ++page)
    {
        m_overlays[page].build(static_cast<int>(page), settings, seconds, playedPage(), *font,
                               m_slides[page]);
    }
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
        buildOverlays();
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
        if (m_currentSlide < m_overlays.size())
        {
            m_overlays[m_currentSlide].draw(m_game->getWindow());
        }
    }
    // The timer starts after the drawing, so the tutorial's trace event leaves the drawing out.
    TRACE_SCOPE("orv_gd::TutorialState::draw");
}
} // namespace orv_gd
