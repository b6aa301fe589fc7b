#pragma once

#include "core/CommandLine.h"
#include "core/GameStateManager.h"
#include "core/Gui.h"
#include "core/MatchMode.h"
#include "rules/MatchLog.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/System/Clock.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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
    /// Makes the match screen ("MainState"), which lives in a layer above the game's core.
    using MatchScreenFactory = std::function<std::shared_ptr<GameState>(GameStateManager*, Game*)>;

    /// Without a match screen factory the game has its menus only.
    explicit Game(MatchScreenFactory matchScreen = {});

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
    /// What the player asked for when starting the game.
    const CommandLine& getCommandLine() const { return m_commandLine; }
    void setCommandLine(const CommandLine& commandLine) { m_commandLine = commandLine; }

    /// Where finished matches are kept as replays; empty (the default, and in tests): nowhere.
    const std::string& getReplayFolder() const { return m_replayFolder; }
    void setReplayFolder(const std::string& folder) { m_replayFolder = folder; }

    /// A match to watch rather than play, and the screen to go back to from it.
    struct Watch
    {
        rules::MatchLog log;
        std::string returnTo;
    };
    /// Shows `log` on the match screen; Escape there leads to `returnTo`.
    void watch(const rules::MatchLog& log, const std::string& returnTo);
    /// The match screen takes the request as it starts; empty for a match to play.
    std::optional<Watch> takeWatch();

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
    MatchScreenFactory m_matchScreen;
    CommandLine m_commandLine;
    std::string m_replayFolder;
    std::optional<Watch> m_watch;

    /// `--replay FILE`: the match screen with it, or the menu with a line on why not.
    void openReplayFromCommandLine();
};
} // namespace orv_gd
