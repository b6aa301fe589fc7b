#pragma once

#include "core/CommandLine.h"
#include "core/GameStateManager.h"
#include "core/Gui.h"
#include "core/MatchMode.h"
#include "core/Settings.h"
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
class NetworkFriend;

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
    /// Registers the game's screens ("MenuState", "MainState", ...), which live in a layer above
    /// the game's core.
    using ScreenFactory = std::function<void(GameStateManager*, Game*)>;

    /// Without screens the game has none until a caller registers them.
    explicit Game(ScreenFactory screens = {});

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
    /// What `--replay FILE` gave, read before the game starts: the match to show first, or the
    /// line on why not, which the menu shows.
    void setStartReplay(std::optional<rules::MatchLog> log, const std::string& problem)
    {
        m_startReplay = std::move(log);
        m_startProblem = problem;
    }
    /// Shows `message` on the menu, where a problem the player should read waits for them.
    void showOnMenu(const std::string& message);
    /// The settings as the file keeps them (and as the settings screen changed them since).
    const Settings& getSettings() const { return m_settings; }
    /// The settings this run plays with: the file's, with the command line's options over them.
    Settings getRunSettings() const { return m_settings.withCommandLine(m_commandLine); }
    /// Reads the settings file at `path` (the defaults when there is none; a line on stderr per
    /// problem) and remembers the path for saving. Takes effect with applySettings.
    void loadSettings(const std::string& path);
    /// The player's new choices, as this run is to have them, applied at once and kept for
    /// saving. A setting chosen otherwise than the command line's option for it drops that
    /// option: what the player chose last counts.
    void changeSettings(const Settings& chosen);
    /// Writes the settings to the file they came from: empty on success, else what went wrong.
    std::string saveSettings() const;
    const std::string& getSettingsPath() const { return m_settingsPath; }
    /// The computer's levels chosen on the menu: in force for the next match, and written to the
    /// settings file when they differ from what it holds (a line on stderr when that fails).
    void rememberComputerLevels(const ComputerLevels& levels);
    /// The friend's game of a network match, kept going every frame; null: the game plays locally only.
    void setNetworkFriend(std::shared_ptr<NetworkFriend> networkFriend)
    {
        m_friend = std::move(networkFriend);
    }
    NetworkFriend* getNetworkFriend() const { return m_friend.get(); }
    /// Keeps the network match's connection going for `deltaTime` seconds and reports its fault;
    /// every frame, before the screens' update.
    void updateNetwork(float deltaTime);
    /// A fault of the network match: a line on stderr, then the screen shows it or the menu does.
    void reportNetworkProblem(const std::string& problem);
    /// Puts the run's settings into effect: the volume, the keys and, once init made the window,
    /// the window mode when it differs from the window's.
    void applySettings();

private:
    void createWindow(WindowMode mode);

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
    ScreenFactory m_screens;
    CommandLine m_commandLine;
    std::string m_replayFolder;
    std::optional<Watch> m_watch;
    std::shared_ptr<NetworkFriend> m_friend;

    std::optional<rules::MatchLog> m_startReplay;
    std::string m_startProblem;
    Settings m_settings;
    std::string m_settingsPath;
    /// The mode the window was made in; none before the first.
    bool m_hasWindow = false;
    WindowMode m_windowMode = WindowMode::Borderless;
};
} // namespace orv_gd
