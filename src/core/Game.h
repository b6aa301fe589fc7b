#pragma once

#include "core/GameStateManager.h"
#include "core/Gui.h"
#include "core/MatchMode.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/System/Clock.hpp>

#include <cstdint>
#include <string>

namespace orv_gd
{
class DebugDraw;
class InputManager;

struct GameConfig
{
    std::string windowName = "Tumbrelt";
};

/// Counts frames and publishes the count once a second.
struct FpsCounter
{
    std::uint32_t frames = 0;
    std::uint32_t fps = 0;
    sf::Clock clock;

    void update();
    std::uint32_t getFps() const { return fps; }
};

/// The application: owns the window, the GUI layer, the screens and the frame counter, and runs
/// the frame loop until the window closes.
class Game
{
public:
    Game();

    void run();
    bool init();
    /// The frame loop of run, for a game already initialised; returns when the window is closed.
    void runLoop();
    void initInputBindings();
    void update();
    void draw();
    void shutdown();

    sf::RenderWindow& getWindow() { return m_window; }
    Gui& getGui() { return m_gui; }
    GameStateManager& getGameStateManager() { return m_gameStateManager; }
    const GameConfig& getConfig() const { return m_config; }
    /// Who plays which role in the next match; the menu sets it.
    MatchMode getMatchMode() const { return m_matchMode; }
    void setMatchMode(MatchMode mode) { m_matchMode = mode; }

private:
    GameConfig m_config;
    sf::RenderWindow m_window;
    GameStateManager m_gameStateManager;
    InputManager& m_inputManager;
    DebugDraw& m_debugDraw;
    FpsCounter m_fpsCounter;
    Gui m_gui;
    // Measures the frame time; started by the first update rather than at construction.
    sf::Clock m_frameClock;
    bool m_frameClockStarted = false;
    MatchMode m_matchMode = MatchMode::TwoPlayers;
};
} // namespace orv_gd
