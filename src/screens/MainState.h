#pragma once

#include "computer/ComputerPlayers.h"
#include "computer/MatchSource.h"
#include "core/GameState.h"
#include "core/StrategyType.h"
#include "input/MatchHost.h"
#include "input/PauseSwitch.h"
#include "net/NetPlay.h"
#include "objects/SpriteManager.h"
#include "replay/ReplayDriver.h"
#include "rules/Event.h"
#include "rules/Level.h"
#include "rules/Match.h"
#include "rules/MatchLog.h"
#include "rules/Rng.h"
#include "screens/MatchHud.h"
#include "screens/MatchRoles.h"
#include "screens/NetworkSide.h"
#include "screens/ReplayPlayback.h"
#include "view/BoardMarks.h"
#include "view/HintView.h"
#include "view/MatchBanner.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sf
{
class Font;
class RenderWindow;
} // namespace sf

namespace orv_gd
{
class EventBus;
class GameObject;
class GameObjectManager;
class GridManager;
class InputManager;
class Strategy;

/// Runs one match: builds the scene on entry, forwards each frame to the role whose turn it
/// is and to the shared services, lays out the HUD, and tears the scene down on exit. A match the
/// game asked to watch (Game::watch) is driven by its log instead of the keys and is not kept again;
/// every other match is kept as a replay when it is left or ends. In a network match (the mode the
/// host or join screen set) this side plays its own role by the keys and the friend's game plays the
/// other: the friend's actions come through the rules at their stamps and show as a local action
/// does; nothing moves until the friend's game has begun the match too.
class MainState : public GameState, public MatchHost, public MatchSource, private ReplayDriver::Stage
{
public:
    /// `net`: the network match the host and join screens begin, when the game has them.
    MainState(GameStateManager* gameStateManager, Game* game, std::shared_ptr<NetPlay> net = nullptr);

    /// The numbers of a match whose turns last `turnSeconds`.
    static rules::MatchConfig configFor(int turnSeconds);

    void init() override;
    void update(float dt) override;
    void draw() override;
    void exit() override;
    void setWinner(StrategyType winner) override;

    StrategyType getCurrentStrategy() const { return m_roles.getCurrent(); }
    /// The match as the rules hold it: every rule of play is decided there.
    const rules::Match& getMatch() const override { return m_match; }
    /// Seconds a turn of this match lasts, as its rules were set up with.
    float getTurnLimit() const { return static_cast<float>(m_match.config.turnLimitMs) / 1000.0f; }
    /// Sets up a scene outside the turn rules (tests and tools); the screen follows on its next change.
    rules::Match& editMatch() override { return m_match; }
    /// The match so far: its start and every action the rules accepted, stamped with turn and time.
    const rules::MatchLog& getLog() const { return m_log; }
    /// Where the generator stands for the next match; every match goes on from where the last left it.
    void setNextRng(const rules::Rng& rng) { m_nextRng = rng; }
    const rules::Rng& getNextRng() const { return m_nextRng; }
    /// Hands an action of the role whose turn it is to the rules, logs it when they accept it and
    /// shows what happened; false when they refused it.
    bool act(const rules::Action& action) override;
    std::map<StrategyType, std::shared_ptr<Strategy>>& getStrategies() { return m_roles.getMap(); }
    sf::RenderWindow& getWindow() const override { return m_window; }
    SpriteManager& getSpriteManager() { return m_spriteManager; }
    /// The computer's roles in this match, as the menu's mode chose them.
    ComputerPlayers& getComputerPlayers() { return m_computer; }
    /// The match as the rules hold it and the cells the Builder's cursor can reach, for the
    /// computer players.
    const rules::Match& currentMatch() const override;
    CellRange builderView() const override;

    /// Ends the match with a winner: requests the end screen, tells it the winner and lets it
    /// prepare. Only the first call of a match counts; later ones (a second rule firing in the
    /// same frame) are ignored. Returns whether this call ended the match.
    bool endMatch(StrategyType winner);
    /// The match has a winner; no further turn starts and no role acts until the state is left.
    bool isMatchOver() const { return m_matchOver; }

    const std::vector<std::shared_ptr<GameObject>>& getProgressBars() const
    {
        return m_hud.getBars().getBars();
    }
    const std::vector<std::shared_ptr<GameObject>>& getProgressBarIcons() const
    {
        return m_hud.getBars().getIcons();
    }
    /// The HUD's words and numbers, the pause and the Builder's guide lines.
    const HudText& getHudText() const { return m_hud.getText(); }
    bool isPaused() const { return m_pause.isPaused(); }
    /// One Escape paused the match and asks for another to leave; P or Start resume and disarm it.
    bool isLeaveArmed() const { return m_leaveArmed; }
    const BuilderGuides& getBuilderGuides() const { return m_hud.getGuides(); }
    /// The hint asked with F2, on a match on this computer alone that is played, not watched.
    const HintView& getHints() const { return m_hints; }
    bool hintsAllowed() const { return m_hintsAllowed; }
    /// The hints asked in this match, or in the one being watched.
    std::size_t hintCount() const;
    /// The whole level along the top of the screen, and where the Runner's moves would land.
    const MatchOverview& getOverview() const { return m_hud.getOverview(); }
    const MovePreview& getMovePreview() const { return m_hud.getPreview(); }

    /// The log this match plays back, or null for a match played by the keys.
    const ReplayDriver* getReplay() const { return m_replay ? &m_replay->getDriver() : nullptr; }
    /// The banner over a replay or a network match.
    const sf::Text& getReplayBannerText() const { return m_banner.getText(); }

    /// The friend's game keeping this network match in step; null for a match on this computer alone.
    const net::Lockstep* getLockstep() const { return m_network ? &m_network->getLockstep() : nullptr; }
    /// A network match whose friend has not begun it yet: nothing moves.
    bool isWaitingForFriend() const { return m_network && !m_network->isFriendHere(); }

private:
    const rules::Match& match() const override { return m_match; }
    /// Lets `ms` of the match's time pass and shows what happened.
    void pass(int ms) override;
    /// A replay's frame: its keys (pace, next turn), then the log plays the frame's time.
    void playReplay(float dt, bool paused);
    /// Keeps the match just left or ended in the game's replay folder, if it has one.
    void keepReplay();
    /// The banner over a network match or a replay, for the window's size now.
    void refreshBanner();
    /// A network match's frame: the friend's actions and clock, then this side's role by its keys.
    void playNetwork(float dt, bool paused);
    /// A frame of the role whose turn it is, unless the frame ended its turn or the match.
    void playRole(float dt, int turnBefore);
    /// Where the match starts from: a watched log, the host's Start of a network match, or where
    /// the last match left the generator. Returns whether it is a network match.
    bool chooseStart(rules::Rng& start, rules::MatchConfig& config);
    /// The grid for the match's size and the scene's services.
    void buildGrid();
    /// The level's blocks and the Runner's; returns the Runner's block.
    std::shared_ptr<BlockComponent> buildLevel(const rules::Level& level);
    /// The camera that follows the Runner's block and draws the scene through its view.
    void makeCamera(const std::shared_ptr<BlockComponent>& runnerBlock);
    /// The pause off, and the bars, the overview and the HUD's words laid out for the window.
    void makeHud();
    /// What the HUD reads this frame.
    MatchHud::Frame hudFrame() const;
    /// Who plays which role (the keys, the computer, the friend's game) and the hints.
    void wirePlayers();
    /// F2: the hint for the role whose turn it is, when a person plays it; logged when asked.
    void askHint();

    sf::RenderWindow& m_window;
    SpriteManager m_spriteManager;
    bool m_matchOver = false;
    ComputerPlayers m_computer;

    // The shared services of a match. The grid's drawing and its GL resources are made at the
    // grid's first init, when the window exists.
    GameObjectManager& m_objects;
    EventBus& m_events;
    InputManager& m_input;
    GridManager& m_grid;
    MatchRoles m_roles;

    /// Shows what the rules say happened: turns change hands, the roles' scene objects follow, the
    /// match ends.
    void play(const rules::Events& events);
    /// The frame's time in whole milliseconds for the rules; the fraction left over goes to the next.
    int elapsedMs(float dt);
    /// The fading blocks show the lifetime the rules give their cells.
    void showLifetimes();

    rules::Match m_match;
    rules::MatchLog m_log;
    rules::Rng m_nextRng;
    float m_msCarry = 0.0f;

    PauseSwitch m_pause;
    bool m_leaveArmed = false;
    MatchHud m_hud;
    BoardMarks m_marks;
    HintView m_hints;
    bool m_hintsAllowed = false;

    std::optional<ReplayPlayback> m_replay;
    std::shared_ptr<sf::Font> m_bannerFont;
    MatchBanner m_banner;

    std::shared_ptr<NetPlay> m_net;
    std::unique_ptr<NetworkSide> m_network;
};
} // namespace orv_gd
