#include "core/Game.h"

#include "core/ExitSignal.h"
#include "core/GameState.h"
#include "core/InputManager.h"
#include "core/Installation.h"
#include "core/NetworkFriend.h"
#include "resources/AssetCatalogue.h"
#include "resources/AssetFolder.h"
#include "resources/AssetManager.h"
#include "resources/DebugDraw.h"
#include "resources/SafeFile.h"
#include "resources/TraceRecorder.h"

#include <SFML/Audio/Listener.hpp>
#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/VideoMode.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>

namespace orv_gd
{
void FpsCounter::update()
{
    if (clock.getElapsedTime().asSeconds() >= 1.0f)
    {
        fps = frames;
        frames = 0;
        clock.restart();
    }
    // The frame that publishes counts toward the next second.
    ++frames;
}

Game::Game(ScreenFactory screens)
    : m_inputManager(InputManager::getInstance()), m_debugDraw(DebugDraw::getInstance()),
      m_screens(std::move(screens))
{
}

void Game::run()
{
    TraceRecorder& traceRecorder = TraceRecorder::get();
    traceRecorder.beginSession("startup", "startup.json");
    if (!init())
    {
        return;
    }
    traceRecorder.endSession();
    // Stays open until the recorder is destroyed at process exit.
    traceRecorder.beginSession("runtime", "runtime.json");
    runLoop();
}

void Game::runLoop()
{
    while (m_window.isOpen())
    {
        TRACE_SCOPE("Frame");
        {
            TRACE_SCOPE("Process Events");
            // SIGINT and SIGTERM end the program the way the window's close request does.
            if (ExitSignal::isRequested())
            {
                shutdown();
                m_window.close();
                return;
            }
            sf::Event event{};
            while (m_window.pollEvent(event))
            {
                if (event.type == sf::Event::Closed)
                {
                    // The rest of the queue is dropped, and this frame neither updates nor draws.
                    shutdown();
                    m_window.close();
                    return;
                }
                m_inputManager.process(event);
                m_gui.handleEvent(event);
            }
        }
        update();
        draw();
    }
    // A screen closed the window during its update.
    shutdown();
}

bool Game::init()
{
    TRACE_SCOPE("orv_gd::Game::init");
    initInputBindings();

    AssetCatalogue& assetCatalogue = AssetCatalogue::getInstance();
    assetCatalogue.setWindow(m_window);
    assetCatalogue.loadAssets();

    // The screens only set fields here; the window does not exist yet.
    if (m_screens)
    {
        m_screens(&m_gameStateManager, this);
    }

    // The installed game finds its settings by the environment: it works in its state folder.
    loadSettings(Settings::filePath(Installation::isInstalled(AssetFolder::executableFolder()),
                                    std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
    createWindow(getRunSettings().window);
    applySettings();

    m_gui.setTarget(m_window);
    m_inputManager.setRenderWindow(&m_window);
    if (m_gameStateManager.findState("MenuState"))
    {
        m_gameStateManager.setState("MenuState");
    }
    if (m_startReplay && m_gameStateManager.findState("MainState"))
    {
        watch(*m_startReplay, "MenuState");
    }
    else if (!m_startProblem.empty())
    {
        showOnMenu(m_startProblem);
    }
    // --host and --join open their screens, when the game has them (the match layer adds them).
    const char* network = m_commandLine.host            ? "HostState"
                          : !m_commandLine.join.empty() ? "JoinState"
                                                        : nullptr;
    if (network && m_gameStateManager.findState(network))
    {
        m_gameStateManager.setState(network);
    }
    return true;
}

void Game::showOnMenu(const std::string& message)
{
    if (GameState* menu = m_gameStateManager.findState("MenuState"))
    {
        menu->setMessage(message);
    }
}

void Game::updateNetwork(float deltaTime)
{
    // The friend's game hears from this one in every screen, so a tutorial read slowly loses nobody.
    if (!m_friend)
    {
        return;
    }
    m_friend->update(static_cast<int>(std::max(deltaTime, 0.0f) * 1000.0f));
    const std::string problem = m_friend->takeProblem();
    if (!problem.empty())
    {
        reportNetworkProblem(problem);
    }
}

void Game::reportNetworkProblem(const std::string& problem)
{
    std::cerr << "tumbrelt: " << problem << std::endl;
    GameState* current = m_gameStateManager.getPendingState() ? m_gameStateManager.getPendingState()
                                                              : m_gameStateManager.getCurrentState();
    if (current && current->showNetworkProblem(problem))
    {
        return;
    }
    showOnMenu(problem);
    m_gameStateManager.setState("MenuState");
}

void Game::watch(const rules::MatchLog& log, const std::string& returnTo)
{
    m_watch = Watch{log, returnTo};
    m_gameStateManager.setState("MainState");
}

std::optional<Game::Watch> Game::takeWatch()
{
    std::optional<Watch> watch = std::move(m_watch);
    m_watch.reset();
    return watch;
}

void Game::createWindow(WindowMode mode)
{
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    if (mode == WindowMode::Windowed)
    {
        const unsigned width = std::min<unsigned>(Settings::WindowedWidth, desktop.width);
        const unsigned height = std::min<unsigned>(Settings::WindowedHeight, desktop.height);
        m_window.create(sf::VideoMode(width, height), m_config.windowName, sf::Style::Default);
        m_window.setPosition(sf::Vector2i(static_cast<int>(desktop.width - width) / 2,
                                          static_cast<int>(desktop.height - height) / 2));
    }
    else if (mode == WindowMode::Fullscreen)
    {
        m_window.create(desktop, m_config.windowName, sf::Style::Fullscreen);
    }
    else
    {
        m_window.create(desktop, m_config.windowName, sf::Style::None);
        // SFML centres a new window, on X11 with the display's width used for the y position too;
        // the borderless window must cover the desktop exactly.
        m_window.setPosition(sf::Vector2i(0, 0));
    }
    // The task bar and the window switcher show the icon the desktop's menu shows.
    if (const std::shared_ptr<sf::Texture> icon = AssetManager::getInstance().GetTexture("icon"))
    {
        const sf::Image pixels = icon->copyToImage();
        m_window.setIcon(pixels.getSize().x, pixels.getSize().y, pixels.getPixelsPtr());
    }
    m_windowMode = mode;
    m_hasWindow = true;
}

void Game::loadSettings(const std::string& path)
{
    m_settingsPath = path;
    if (!path.empty())
    {
        // A save cut short last time left its temporary file: gone before anything is kept again.
        const std::filesystem::path file(path);
        SafeFile::removeStale(file.parent_path().string(), file.filename().string());
    }
    std::vector<std::string> problems;
    m_settings = path.empty() ? Settings{} : Settings::load(path, problems);
    for (const std::string& problem : problems)
    {
        std::cerr << "tumbrelt: " << problem << std::endl;
    }
}

void Game::changeSettings(const Settings& chosen)
{
    const Settings run = getRunSettings();
    Settings kept = chosen;
    // A command line option gives way once the player chooses otherwise; until then the file
    // keeps what it had for that setting.
    if (chosen.window != run.window)
    {
        m_commandLine.windowed = false;
        m_commandLine.fullscreen = false;
    }
    else
    {
        kept.window = m_settings.window;
    }
    if (chosen.mute != run.mute)
    {
        m_commandLine.mute = false;
    }
    else
    {
        kept.mute = m_settings.mute;
    }
    m_settings = kept;
    applySettings();
}

void Game::rememberComputerLevels(const ComputerLevels& levels)
{
    if (levels == m_settings.computer)
    {
        return;
    }
    m_settings.computer = levels;
    if (m_settingsPath.empty())
    {
        return;
    }
    const std::string problem = saveSettings();
    if (!problem.empty())
    {
        std::cerr << "tumbrelt: " << problem << std::endl;
    }
}

std::string Game::saveSettings() const
{
    if (m_settingsPath.empty())
    {
        return "no folder for the settings: set HOME or XDG_CONFIG_HOME";
    }
    return m_settings.save(m_settingsPath);
}

void Game::applySettings()
{
    const Settings run = getRunSettings();
    sf::Listener::setGlobalVolume(run.effectiveVolume());
    run.applyKeys(m_inputManager);
    // A game not initialised yet has no window of its own to change.
    if (m_hasWindow && run.window != m_windowMode)
    {
        createWindow(run.window);
    }
}

void Game::initInputBindings()
{
    InputManager& input = m_inputManager;
    input.bind("Exit", sf::Keyboard::Escape, 0);
    input.bind("Select", sf::Keyboard::Space, 0);
    // The roles' keys that the settings screen lets the player change, at their defaults.
    Settings{}.applyKeys(input);
    input.bind("RunnerDown", sf::Keyboard::S, 0);
    input.bind("debugdraw", sf::Keyboard::F1, 0);
    input.bind("Hint", sf::Keyboard::F2, 0);
    input.bind("Pause", sf::Keyboard::P, 0);
    // The menu's matches against the computer.
    input.bind("PlayRunner", sf::Keyboard::Num1, 0);
    input.bind("PlayBuilder", sf::Keyboard::Num2, 0);
    input.bind("WatchComputers", sf::Keyboard::Num3, 0);
    // Replays: the menu's last match, the end screen's "watch again", and the pace while watching.
    input.bind("WatchLast", sf::Keyboard::W, 0);
    input.bind("WatchAgain", sf::Keyboard::V, 0);
    input.bind("ReplayFaster", sf::Keyboard::Right, 0);
    input.bind("ReplaySlower", sf::Keyboard::Left, 0);
    input.bind("ReplayNextTurn", sf::Keyboard::N, 0);
    input.bind("Settings", sf::Keyboard::S, 0);
    // Network play: the menu's host and join screens, the host's role, the join screen's address.
    input.bind("Host", sf::Keyboard::H, 0);
    input.bind("Join", sf::Keyboard::J, 0);
    input.bind("HostRunner", sf::Keyboard::R, 0);
    input.bind("HostBuilder", sf::Keyboard::B, 0);
    input.bind("Erase", sf::Keyboard::BackSpace, 0);
    input.bind("Connect", sf::Keyboard::Return, 0);
}

void Game::update()
{
    TRACE_SCOPE("orv_gd::Game::update");
    // The frame clock starts at the first update, so the first frame time is close to 0.
    if (!m_frameClockStarted)
    {
        m_frameClock.restart();
        m_frameClockStarted = true;
    }
    const float deltaTime = m_frameClock.restart().asSeconds();

    m_inputManager.update();
    updateNetwork(deltaTime);
    m_gameStateManager.update(deltaTime);
    // Toggled when F1 goes up, so holding the key does not flicker the overlay.
    if (m_inputManager.isKeyReleased("debugdraw", 0))
    {
        m_debugDraw.setEnabled(!m_debugDraw.isEnabled());
    }
    m_fpsCounter.update();

    std::ostringstream ss;
    ss << m_config.windowName << " | FPS: " << m_fpsCounter.getFps();
    m_window.setTitle(ss.str());
}

void Game::draw()
{
    TRACE_SCOPE("orv_gd::Game::draw");
    m_window.clear(sf::Color(0, 0, 0, 255));
    m_gameStateManager.draw();
    m_debugDraw.draw(m_window);
    m_gui.draw();
    m_window.display();
}

void Game::shutdown()
{
    m_gameStateManager.shutdown();
}
} // namespace orv_gd
