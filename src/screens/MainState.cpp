#include "screens/MainState.h"

#include "core/CheckedAssert.h"
#include "core/ControllerInput.h"
#include "core/Game.h"
#include "core/GameStateManager.h"
#include "core/InputManager.h"
#include "input/RunnerStrategy.h"
#include "objects/CameraRenderComponent.h"
#include "objects/EventBus.h"
#include "objects/GameObject.h"
#include "objects/GameObjectCreateEvent.h"
#include "objects/GameObjectManager.h"
#include "objects/TransformAnimationComponent.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayFolder.h"
#include "resources/AssetManager.h"
#include "resources/TraceRecorder.h"
#include "rules/Rules.h"
#include "screens/EndState.h"
#include "view/BlockComponent.h"
#include "view/GridManager.h"
#include "view/LevelGenerator.h"
#include "view/Palette.h"
#include "view/TransformAnimationSmoothFollowBlock.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <ctime>
#include <iostream>
#include <string>

namespace orv_gd
{
namespace
{
constexpr float CellsPerWindowHeight = 11.0f;
constexpr int LevelId = 0;
constexpr float CameraFollowSpeed = 10.0f;
const sf::Vector2i CameraFollowOffset{3, 0};
} // namespace

MainState::MainState(GameStateManager* gameStateManager, Game* game, std::shared_ptr<NetPlay> net)
    : GameState(gameStateManager, game), m_window(game->getWindow()), m_spriteManager(game->getWindow()),
      m_objects(GameObjectManager::getInstance()), m_events(EventBus::getInstance()),
      m_input(InputManager::getInstance()), m_grid(GridManager::getInstance()), m_roles(m_grid),
      m_pause(m_input, ControllerInput::getInstance()), m_hud(game->getWindow(), m_events, m_objects, m_grid),
      m_hints(game->getWindow()), m_banner(game->getWindow()), m_net(std::move(net))
{
    // The first match's level and blocks: the launch's seed (the clock's, or --seed N).
    m_nextRng = rules::Rng(game->getCommandLine().seed);
}

rules::MatchConfig MainState::configFor(int turnSeconds)
{
    Settings settings;
    settings.turnSeconds = turnSeconds;
    return settings.matchConfig();
}

void MainState::init()
{
    TRACE_SCOPE("orv_gd::MainState::init");
    m_matchOver = false;
    // Every colour of the match is the chosen palette's from its first block on.
    usePalette(m_game->getSettings().palette);
    rules::Rng start = m_nextRng;
    // Both roles' turns last what the settings say; the match and its log keep it. A replay keeps its own.
    rules::MatchConfig config = m_game->getRunSettings().matchConfig();
    const bool network = chooseStart(start, config);

    rules::Level level;
    rules::Events started;
    m_match = rules::Rules::start(start, config, &level, &started);
    // The screen and the kept log take the numbers the match started with, never their own.
    m_log = rules::MatchLog(start, m_match.config);
    m_log.noteTurns(started);
    m_msCarry = 0.0f;
    buildGrid();
    if (network)
    {
        m_network = std::make_unique<NetworkSide>(*m_net, m_match);
    }
    const std::shared_ptr<BlockComponent> runnerBlock = buildLevel(level);
    m_roles.make(*this);
    play(started);
    makeCamera(runnerBlock);
    makeHud();
    wirePlayers();
}

bool MainState::chooseStart(rules::Rng& start, rules::MatchConfig& config)
{
    // A match to watch starts from its log's generator and numbers; one to play goes on from the last.
    std::optional<Game::Watch> watch = m_game->takeWatch();
    m_replay.reset();
    m_network.reset();
    bool network = false;
    if (!watch && isNetwork(m_game->getMatchMode()))
    {
        network = NetworkSide::readStart(m_net.get(), start, config);
        if (!network)
        {
            m_game->reportNetworkProblem(NetworkSide::ClosedEarly);
        }
    }
    if (watch)
    {
        m_replay.emplace(watch->log, watch->returnTo);
        start = watch->log.getStart();
        config = watch->log.getConfig();
    }
    return network;
}

void MainState::buildGrid()
{
    const float cellEdge = static_cast<float>(m_window.getSize().y) / CellsPerWindowHeight;
    m_grid.setCellSize({cellEdge, cellEdge});
    m_grid.setWindow(m_window);
    m_grid.init(m_match.config.width, m_match.config.height);
    m_objects.init();
    m_spriteManager.init();
}

std::shared_ptr<BlockComponent> MainState::buildLevel(const rules::Level& level)
{
    LevelGenerator levelGenerator;
    levelGenerator.generate(m_window, level, LevelId);
    std::shared_ptr<GameObject> runner = GameObject::create("Runner");
    const std::shared_ptr<BlockComponent> runnerBlock =
        BlockComponent::addToGrid(*runner, m_window, {m_match.runner.cell.x, m_match.runner.cell.y},
                                  PaletteBlue, false, BlockType::Dynamic, "Map");
    runner->init();
    m_events.fireEvent(std::make_shared<GameObjectCreateEvent>(runner));
    return runnerBlock;
}

void MainState::makeCamera(const std::shared_ptr<BlockComponent>& runnerBlock)
{
    std::shared_ptr<GameObject> camera = GameObject::create("Camera");
    const sf::Vector2u windowSize = m_window.getSize();
    camera->setPosition(static_cast<float>(windowSize.x / 2), static_cast<float>(windowSize.y / 2));
    std::shared_ptr<CameraRenderComponent> cameraComponent =
        camera->addComponent<CameraRenderComponent>(*camera, m_window, m_window.getView());
    camera->addComponent<TransformAnimationComponent>(
        *camera, std::make_shared<orv::TransformAnimationSmoothFollowBlock>(runnerBlock, CameraFollowSpeed,
                                                                            CameraFollowOffset));
    if (!camera->init())
    {
        ORV_ERROR("Could not initialize camera");
    }
    m_objects.addGameObject(camera);
    m_spriteManager.setCamera(cameraComponent.get());
    m_spriteManager.setLayerOrder({FloorLayer, "Map", "Ui"});
}

void MainState::makeHud()
{
    m_pause.reset();
    m_leaveArmed = false;
    // A replay's single Escape goes back where it was opened from.
    m_hud.make(m_match, AssetManager::getInstance().GetFont("consolab").get(),
               m_replay && m_replay->getReturnTo() == "EndState" ? "the end screen" : "the menu", hudFrame());
}

void MainState::wirePlayers()
{
    if (m_network)
    {
        // The friend's role is played over there: its keys and controller do nothing here.
        m_computer.stop();
        m_computer.keepKeysOff(m_network->getLockstep().remote() == rules::Role::Runner);
    }
    else if (!m_replay)
    {
        m_computer.start(*this, m_game->getMatchMode(), m_game->getSettings().computer);
    }
    m_bannerFont = AssetManager::getInstance().GetFont("consolab");
    refreshBanner();
    // No hints in a network match (the friend would not see them), in a replay, nor where nobody
    // plays.
    m_hints.reset();
    m_hintsAllowed = !m_replay && !m_network && m_game->getMatchMode() != MatchMode::ComputerBoth;
}

void MainState::update(float dt)
{
    if (m_network)
    {
        // One pause for both games: a press here pauses or resumes whatever the friend's game did.
        m_pause.hold(m_network->getLockstep().paused());
    }
    // A single Escape must not throw a match away: the first pauses it and asks again, the second
    // leaves for the menu. The menu, the end screen and a replay keep their single Escape.
    if (m_input.isKeyPressed("Exit", 0))
    {
        if (m_replay || m_leaveArmed)
        {
            m_gameStateManager->setState(m_replay ? m_replay->getReturnTo() : "MenuState");
            return;
        }
        m_leaveArmed = true;
        m_pause.pause();
    }
    // While paused nothing of the match runs: no turn time, no ageing, no fades or slides, no
    // computer player; the turn goes on with the time it had.
    bool paused = m_pause.update();
    if (m_network)
    {
        m_network->getLockstep().setPaused(paused);
    }
    if (m_replay)
    {
        playReplay(dt, paused);
    }
    else if (m_network)
    {
        m_leaveArmed = m_leaveArmed && paused;
        playNetwork(dt, paused);
    }
    else if (!paused)
    {
        m_leaveArmed = false;
        if (m_input.isKeyPressed("Hint", 0))
        {
            askHint();
        }
        // A stalled frame passes no more than MaxFrameMs of play, to the computer as to the rules.
        const float frame = std::min(dt, static_cast<float>(rules::Rules::MaxFrameMs) / 1000.0f);
        m_computer.update(frame);
        // The rules let the frame's time pass first: a turn that runs out is over before its keys
        // are read, and the role that takes over acts from the next frame on.
        const int turn = m_match.turnNumber;
        pass(elapsedMs(frame));
        playRole(frame, turn);
    }
    if (!paused)
    {
        showLifetimes();
        m_grid.update(dt);
        m_events.update(dt);
        m_objects.update(dt);
    }
    m_hints.update(m_match);
    m_hud.update(m_match, hudFrame(), paused ? 0.0f : dt);
    refreshBanner();
}

void MainState::pass(int ms)
{
    if (m_matchOver)
    {
        return;
    }
    const rules::Events passed = rules::Rules::advance(m_match, ms);
    m_log.noteTurns(passed);
    play(passed);
}

void MainState::playRole(float dt, int turnBefore)
{
    if (m_matchOver || m_match.turnNumber != turnBefore)
    {
        return;
    }
    m_roles.updateCurrent(dt);
}

void MainState::playNetwork(float dt, bool paused)
{
    const bool running = m_network->isFriendHere() && !paused && !m_matchOver;
    const rules::Events events = m_network->exchange(running ? elapsedMs(dt) : 0, m_log);
    const int turn = m_match.turnNumber;
    play(events);
    // As in a match on one computer the role whose turn it is reads its keys; the friend's role has
    // none here (its keys were taken away) and the friend's game plays it.
    if (running && !m_network->getLockstep().failed())
    {
        playRole(dt, turn);
    }
}

void MainState::playReplay(float dt, bool paused)
{
    // Neither role's keys nor controllers count: the log plays both.
    m_replay->readPace(m_input);
    if (m_matchOver)
    {
        return;
    }
    ReplayDriver& driver = m_replay->getDriver();
    if (m_input.isKeyPressed("ReplayNextTurn", 0))
    {
        driver.nextTurn(*this);
    }
    if (!paused && !m_matchOver)
    {
        // A stalled frame counts as the rules' longest one, as in play, then goes at the speed.
        const float frame = std::min(dt, static_cast<float>(rules::Rules::MaxFrameMs) / 1000.0f);
        driver.play(*this, elapsedMs(frame * static_cast<float>(driver.getSpeed())));
    }
    m_replay->reportProblem();
}

void MainState::refreshBanner()
{
    if (!m_bannerFont)
    {
        return;
    }
    if (m_network)
    {
        m_banner.place(*m_bannerFont, m_network->banner(), sf::Color(60, 140, 230));
    }
    if (m_replay)
    {
        m_banner.place(*m_bannerFont, m_replay->banner(m_match, m_pause.isPaused()), sf::Color(220, 40, 40));
    }
}

void MainState::draw()
{
    TRACE_SCOPE("orv_gd::MainState::draw");
    // The frames, the finish cells (the floor), then the lights and the lit blocks with the Runner
    // over them: on the green line the Runner and its light show whole. The platforms and the
    // Builder's ghost stand over the light, the HUD over everything on panels of its own.
    m_spriteManager.drawCamera();
    m_grid.drawFrames();
    m_spriteManager.drawLayer(FloorLayer);
    m_marks.drawFloor(m_window, m_grid.getCells());
    m_grid.drawLights();
    m_spriteManager.drawLayer("Map");
    m_marks.draw(m_window, m_grid.getCells(), m_roles.ghostCells());
    if (m_hintsAllowed && !m_matchOver)
    {
        m_hints.draw(m_grid.getCellSize().x);
    }
    m_hud.drawBackdrop();
    m_spriteManager.drawLayer("Ui");
    m_roles.drawCurrent();
    if (m_roles.getCurrent() == StrategyType::Builder && !m_matchOver)
    {
        m_hud.drawGuides(m_marks);
    }
    m_hud.draw();
    if (m_hintsAllowed && !m_matchOver)
    {
        m_hints.drawLine(m_bannerFont.get());
    }
    if ((m_replay || m_network) && m_bannerFont)
    {
        m_banner.draw();
    }
}

void MainState::askHint()
{
    const MatchMode mode = m_game->getMatchMode();
    const bool computers = m_match.turn == rules::Role::Runner ? computerRuns(mode) : computerBuilds(mode);
    if (m_hintsAllowed && !computers && !m_matchOver && (m_match.runnerActs() || m_match.builderActs()) &&
        m_hints.request(m_match, builderView()))
    {
        m_log.recordHint(m_match.turnNumber, m_match.turnMs);
    }
}

std::size_t MainState::hintCount() const
{
    return (m_replay ? m_replay->getDriver().getLog() : m_log).getHints().size();
}

const rules::Match& MainState::currentMatch() const
{
    return m_match;
}

CellRange MainState::builderView() const
{
    return m_roles.builderView(m_match.field);
}

void MainState::exit()
{
    TRACE_SCOPE("orv_gd::MainState::exit");
    m_computer.stop();
    m_network.reset();
    m_hints.reset();
    m_log.finish(m_match);
    // A replay neither moves the game's generator on nor is kept again.
    if (!m_replay)
    {
        m_nextRng = m_match.rng;
        keepReplay();
    }
    m_spriteManager.shutdown();
    m_roles.clear();
    m_grid.clear();
    m_objects.shutdown();
    // Nothing of this match outlives it; the next entry builds the HUD afresh.
    m_hud.clear();
}

void MainState::keepReplay()
{
    const std::string& folder = m_game->getReplayFolder();
    if (folder.empty())
    {
        return;
    }
    std::string error;
    if (!ReplayFolder(folder).save(m_log, m_match, m_game->getMatchMode(), std::time(nullptr), error))
    {
        std::cerr << "tumbrelt: " << error << std::endl;
    }
}

void MainState::setWinner(StrategyType winner)
{
    GameState::setWinner(winner);
}

bool MainState::act(const rules::Action& action)
{
    const int turn = m_match.turnNumber;
    const int ms = m_match.turnMs;
    rules::Events events;
    // In a network match the action goes to the friend's game as the rules accept it.
    const bool accepted = m_network ? m_network->getLockstep().act(action, events)
                                    : (events = rules::Rules::apply(m_match, action),
                                       events.empty() || events.front().kind != rules::Event::Kind::Refused);
    if (accepted)
    {
        m_log.record(turn, ms, action);
        m_log.noteTurns(events);
    }
    play(events);
    return accepted;
}

void MainState::play(const rules::Events& events)
{
    m_roles.show(events, [this](StrategyType winner) { endMatch(winner); });
}

int MainState::elapsedMs(float dt)
{
    const float total = m_msCarry + std::max(dt, 0.0f) * 1000.0f;
    const int ms = static_cast<int>(total);
    m_msCarry = total - static_cast<float>(ms);
    return ms;
}

void MainState::showLifetimes()
{
    for (const std::shared_ptr<BlockComponent>& block : m_grid.getTimedBlocks())
    {
        const sf::Vector2i cell = block->getGridPosition();
        block->setRemainingLifetime(static_cast<float>(m_match.field.lifeAt({cell.x, cell.y})) / 1000.0f);
    }
}

bool MainState::endMatch(StrategyType winner)
{
    if (m_matchOver)
    {
        return false;
    }
    m_matchOver = true;
    if (m_network)
    {
        m_net->matchEnded();
    }
    m_gameStateManager->setState("EndState");
    GameState* endState = m_gameStateManager->findState("EndState");
    const auto runner = std::dynamic_pointer_cast<RunnerStrategy>(m_roles.getMap()[StrategyType::Runner]);
    if (auto* end = dynamic_cast<EndState*>(endState); end && runner)
    {
        const std::size_t hints = hintCount();
        end->setSummary(HudText::endLine(winner, m_match.runnerTurns(), runner->getResetsLeft()) +
                        (hints == 0   ? std::string()
                         : hints == 1 ? std::string(" with 1 hint")
                                      : " with " + std::to_string(hints) + " hints"));
    }
    if (auto* end = dynamic_cast<EndState*>(endState))
    {
        // "Watch again": the log as it will be kept, or the one being watched.
        rules::MatchLog finished = m_replay ? m_replay->getDriver().getLog() : m_log;
        if (!m_replay)
        {
            finished.finish(m_match);
        }
        end->setLastMatch(finished);
    }
    if (endState)
    {
        endState->setWinner(winner);
        endState->init();
    }
    return true;
}
MatchHud::Frame MainState::hudFrame() const
{
    return {m_roles.getMap(), m_roles.getCurrent(), m_matchOver,
            m_network ? m_network->getLockstep().paused() : m_pause.isPaused(), m_leaveArmed};
}
} // namespace orv_gd
