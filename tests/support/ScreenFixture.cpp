#include "support/ScreenFixture.h"

#include "core/ControllerInput.h"
#include "core/EndState.h"
#include "core/InputManager.h"
#include "core/MenuState.h"
#include "core/TutorialState.h"
#include "resources/AssetCatalogue.h"
#include "support/RecordingState.h"

#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/VideoMode.hpp>

namespace orv_gd::test
{
ScreenFixture::ScreenFixture()
    : m_input(InputManager::getInstance()), m_controllers(ControllerInput::getInstance()),
      m_previousOutput(std::cout.rdbuf(m_output.rdbuf()))
{
    m_game.initInputBindings();
    AssetCatalogue::getInstance().setWindow(m_game.getWindow());
    AssetCatalogue::getInstance().loadAssets();
    m_controllers.setSimulated(true);
    m_controllers.resetSimulated();

    GameStateManager& states = m_game.getGameStateManager();
    m_menu = std::make_shared<MenuState>(&states, &m_game);
    m_tutorial = std::make_shared<TutorialState>(&states, &m_game);
    m_end = std::make_shared<EndState>(&states, &m_game);
    m_match = std::make_shared<RecordingState>("Main", m_log, &states, &m_game);
    states.registerState("MenuState", m_menu);
    states.registerState("MainState", m_match);
    states.registerState("EndState", m_end);
    states.registerState("TutorialState", m_tutorial);

    m_game.getWindow().create(sf::VideoMode(800, 600), "test", sf::Style::None);
    m_game.getGui().setTarget(m_game.getWindow());
    m_input.setRenderWindow(&m_game.getWindow());
}

ScreenFixture::~ScreenFixture()
{
    std::cout.rdbuf(m_previousOutput);
    m_controllers.resetSimulated();
    m_controllers.setSimulated(false);
}

void ScreenFixture::frame(float dt)
{
    m_input.update();
    m_game.getGameStateManager().update(dt);
}

void ScreenFixture::runFor(float seconds, float dt)
{
    for (float passed = 0.0f; passed < seconds; passed += dt)
    {
        frame(dt);
    }
}

void ScreenFixture::enter(const std::string& name, float dt)
{
    m_game.getGameStateManager().setState(name);
    frame(dt);
}

void ScreenFixture::press(sf::Keyboard::Key key)
{
    sf::Event event{};
    event.type = sf::Event::KeyPressed;
    event.key.code = key;
    m_input.process(event);
}

void ScreenFixture::release(sf::Keyboard::Key key)
{
    sf::Event event{};
    event.type = sf::Event::KeyReleased;
    event.key.code = key;
    m_input.process(event);
}

void ScreenFixture::tap(sf::Keyboard::Key key, float dt)
{
    press(key);
    frame(dt);
    release(key);
    frame(dt);
}

sf::Image ScreenFixture::render()
{
    sf::RenderWindow& window = m_game.getWindow();
    window.clear(sf::Color::Black);
    m_game.getGameStateManager().draw();
    sf::Texture texture;
    texture.create(window.getSize().x, window.getSize().y);
    texture.update(window);
    return texture.copyToImage();
}

std::string ScreenFixture::current()
{
    const GameStateManager& states = m_game.getGameStateManager();
    const GameState* state = states.getCurrentState();
    for (const char* name : {"MenuState", "MainState", "EndState", "TutorialState"})
    {
        if (state != nullptr && states.findState(name) == state)
        {
            return name;
        }
    }
    return "";
}
} // namespace orv_gd::test
