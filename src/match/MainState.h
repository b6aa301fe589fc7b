#pragma once

#include "computer/ComputerPlayers.h"
#include "computer/MatchSource.h"
#include "core/GameState.h"
#include "core/StrategyType.h"
#include "match/BuilderGuides.h"
#include "match/HudText.h"
#include "match/PauseSwitch.h"
#include "objects/SpriteManager.h"

#include <map>
#include <memory>
#include <vector>

namespace sf
{
class RenderWindow;
}

namespace orv_gd
{
class EventBus;
class GameObject;
class GameObjectManager;
class GridManager;
class InputManager;
class Strategy;

/// Runs one match: builds the scene on entry, forwards each frame to the role whose turn it
/// is and to the shared services, lays out the HUD, and tears the scene down on exit.
class MainState : public GameState, public MatchSource
{
public:
    MainState(GameStateManager* gameStateManager, Game* game);

    void init() override;
    void update(float dt) override;
    void draw() override;
    void exit() override;
    void setWinner(StrategyType winner) override;

    void setStrategy(StrategyType type);
    StrategyType getCurrentStrategy() const { return m_currentStrategy; }
    std::map<StrategyType, std::shared_ptr<Strategy>>& getStrategies() { return m_strategies; }
    sf::RenderWindow& getWindow() const { return m_window; }
    SpriteManager& getSpriteManager() { return m_spriteManager; }
    /// The computer's roles in this match, as the menu's mode chose them.
    ComputerPlayers& getComputerPlayers() { return m_computer; }
    /// The match as the rules hold it and the cells the Builder's cursor can reach, for the
    /// computer players.
    const rules::Match& currentMatch() const override;
    CellRange builderView() const override;

    void initProgressBars(const std::shared_ptr<GameObject>& camera);

    /// Ends the match with a winner: requests the end screen, tells it the winner and lets it
    /// prepare. Only the first call of a match counts; later ones (a second rule firing in the
    /// same frame) are ignored. Returns whether this call ended the match.
    bool endMatch(StrategyType winner);
    /// The match has a winner; no further turn starts and no role acts until the state is left.
    bool isMatchOver() const { return m_matchOver; }

    const std::vector<std::shared_ptr<GameObject>>& getProgressBars() const { return m_progressBars; }
    const std::vector<std::shared_ptr<GameObject>>& getProgressBarIcons() const { return m_progressBarIcons; }
    /// The HUD's words and numbers, the pause and the Builder's guide lines.
    const HudText& getHudText() const { return m_hudText; }
    bool isPaused() const { return m_pause.isPaused(); }
    const BuilderGuides& getBuilderGuides() const { return m_guides; }

private:
    sf::RenderWindow& m_window;
    SpriteManager m_spriteManager;
    std::map<StrategyType, std::shared_ptr<Strategy>> m_strategies;
    StrategyType m_currentStrategy = StrategyType::Builder;
    std::vector<std::shared_ptr<GameObject>> m_progressBarIcons;
    std::vector<std::shared_ptr<GameObject>> m_progressBars;
    bool m_matchOver = false;
    ComputerPlayers m_computer;
    /// The scene read as the rules hold a match, each time it is asked for (MatchReader).
    mutable rules::Match m_readMatch;

    // The shared services of a match. The grid's drawing and its GL resources are made at the
    // grid's first init, when the window exists.
    GameObjectManager& m_objects;
    EventBus& m_events;
    InputManager& m_input;
    GridManager& m_grid;

    void refreshProgressBars();
    /// Feeds the HUD's words the values of this frame; `playTime` is 0 while paused.
    void refreshHudText(float playTime);

    PauseSwitch m_pause;
    HudText m_hudText;
    BuilderGuides m_guides;
};
} // namespace orv_gd
