#include "screens/MainState.h"

#include "core/CheckedAssert.h"
#include "core/ControllerInput.h"
#include "core/Game.h"
#include "core/GameStateManager.h"
#include "core/InputManager.h"
#include "input/BuilderStrategy.h"
#include "input/RunnerStrategy.h"
#include "objects/CameraRenderComponent.h"
#include "objects/EventBus.h"
#include "objects/GameObject.h"
#include "objects/GameObjectCreateEvent.h"
#include "objects/GameObjectManager.h"
#include "objects/RenderableCreateEvent.h"
#include "objects/SpriteRenderComponent.h"
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
#include "view/ProgressBarComponent.h"
#include "view/TransformAnimationSmoothFollowBlock.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <array>
#include <cmath>
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

/// One HUD bar: its icon and the values at which it is empty and full.
struct HudBar
{
    const char* icon;
    float emptyValue;
    float fullValue;
};

// Turn time (drains as the turn runs; empty at the match's own turn time, set when the bars are
// made), then the Runner's moves,
// jump force (full at the walking cap, as its number counts it; a bump's force past the cap shows
// full), resets and turns.
const std::array<HudBar, 5> Bars{{
    {"time", 0.0f, 0.0f},
    {"x-movement", 0.0f, RunnerStrategy::MovesPerTurn},
    {"y-movement", 0.0f, RunnerStrategy::MaxJumpForce},
    {"reset", 0.0f, RunnerStrategy::StartResets},
    {"turns", 0.0f, RunnerStrategy::StartTurns},
}};
} // namespace

MainState::MainState(GameStateManager* gameStateManager, Game* game, std::shared_ptr<NetPlay> net)
    : GameState(gameStateManager, game), m_window(game->getWindow()), m_spriteManager(game->getWindow()),
      m_objects(GameObjectManager::getInstance()), m_events(EventBus::getInstance()),
      m_input(InputManager::getInstance()), m_grid(GridManager::getInstance()),
      m_pause(m_input, ControllerInput::getInstance()), m_hudText(game->getWindow()),
      m_guides(game->getWindow()), m_hints(game->getWindow()), m_overview(game->getWindow()),
      m_preview(game->getWindow()), m_net(std::move(net))
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

bool MainState::startNetwork(rules::Rng& start, rules::MatchConfig& config)
{
    if (!m_net || !m_net->getStart() || !m_net->isOpen())
    {
        m_game->reportNetworkProblem("the connection to your friend closed before the match began");
        return false;
    }
    // Both sides start from the host's generator and numbers: the host's turn time holds.
    const net::Message& begin = *m_net->getStart();
    start = rules::Rng::resumed(begin.seed, begin.draws);
    config = begin.config;
    return true;
}

void MainState::init()
{
    TRACE_SCOPE("orv_gd::MainState::init");
    GridManager& grid = m_grid;
    GameObjectManager& objects = m_objects;
    EventBus& events = m_events;
    m_matchOver = false;
    // Every colour of the match is the chosen palette's from its first block on.
    usePalette(m_game->getSettings().palette);

    // A match to watch starts from its log's generator and numbers; one to play goes on from the last.
    std::optional<Game::Watch> watch = m_game->takeWatch();
    rules::Rng start = m_nextRng;
    // Both roles' turns last what the settings say; the match and its log keep it. A replay keeps its own.
    rules::MatchConfig config = m_game->getRunSettings().matchConfig();
    m_replay.reset();
    m_reportedProblem.clear();
    m_lockstep.reset();
    m_friendHere = false;
    const bool network = !watch && isNetwork(m_game->getMatchMode()) && startNetwork(start, config);
    if (watch)
    {
        m_replay.emplace(watch->log);
        m_returnTo = watch->returnTo;
        start = watch->log.getStart();
        config = watch->log.getConfig();
    }

    rules::Level level;
    rules::Events started;
    m_match = rules::Rules::start(start, config, &level, &started);
    // The screen and the kept log take the numbers the match started with, never their own.
    m_log = rules::MatchLog(start, m_match.config);
    const float cellEdge = static_cast<float>(m_window.getSize().y) / CellsPerWindowHeight;
    grid.setCellSize({cellEdge, cellEdge});
    grid.setWindow(m_window);
    grid.init(m_match.config.width, m_match.config.height);

    objects.init();
    m_spriteManager.init();
    m_log.noteTurns(started);
    m_msCarry = 0.0f;
    if (network)
    {
        // Says the first turn's digest: the friend's game hears this side has begun.
        m_lockstep = std::make_unique<net::Lockstep>(*m_net->getLink(), m_net->localRole(), m_match);
    }

    LevelGenerator levelGenerator;
    levelGenerator.generate(m_window, level, LevelId);

    std::shared_ptr<GameObject> runner = GameObject::create("Runner");
    const std::shared_ptr<BlockComponent> runnerBlock =
        BlockComponent::addToGrid(*runner, m_window, {m_match.runner.cell.x, m_match.runner.cell.y},
                                  PaletteBlue, false, BlockType::Dynamic, "Map");
    runner->init();
    events.fireEvent(std::make_shared<GameObjectCreateEvent>(runner));

    m_strategies.clear();
    m_strategies[StrategyType::Runner] = std::make_shared<RunnerStrategy>(*this);
    m_strategies[StrategyType::Builder] = std::make_shared<BuilderStrategy>(*this);
    m_strategies[StrategyType::Runner]->init();
    m_strategies[StrategyType::Builder]->init();
    play(started);

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
    objects.addGameObject(camera);

    m_spriteManager.setCamera(cameraComponent.get());
    m_spriteManager.setLayerOrder({FloorLayer, "Map", "Ui"});

    initProgressBars(camera);
    m_laidOutFor = m_window.getSize();
    m_pause.reset();
    m_leaveArmed = false;
    const sf::Font* font = AssetManager::getInstance().GetFont("consolab").get();
    m_overview.setFont(font);
    m_preview.setFont(font);
    layoutOverview();
    m_hudText.init(font);
    // A replay's single Escape goes back where it was opened from.
    m_hudText.setEscapeTo(m_replay && m_returnTo == "EndState" ? "the end screen" : "the menu");
    refreshHudText(0.0f);
    if (m_lockstep)
    {
        // The friend's role is played over there: its keys and controller do nothing here.
        m_computer.stop();
        m_computer.keepKeysOff(m_lockstep->remote() == rules::Role::Runner);
    }
    else if (!m_replay)
    {
        m_computer.start(*this, m_game->getMatchMode(), m_game->getSettings().computer);
    }
    m_bannerFont = AssetManager::getInstance().GetFont("consolab");
    refreshReplayBanner();
    // No hints in a network match (the friend would not see them), in a replay, nor where nobody
    // plays.
    m_hints.reset();
    m_hintsAllowed = !m_replay && !m_lockstep && m_game->getMatchMode() != MatchMode::ComputerBoth;
}

void MainState::update(float dt)
{
    if (m_lockstep)
    {
        // One pause for both games: a press here pauses or resumes whatever the friend's game did.
        m_pause.hold(m_lockstep->paused());
    }
    // A single Escape must not throw a match away: the first pauses it and asks again, the second
    // leaves for the menu. The menu, the end screen and a replay keep their single Escape.
    if (m_input.isKeyPressed("Exit", 0))
    {
        if (m_replay || m_leaveArmed)
        {
            m_gameStateManager->setState(m_replay ? m_returnTo : "MenuState");
            return;
        }
        m_leaveArmed = true;
        m_pause.pause();
    }
    // While paused nothing of the match runs: no turn time, no ageing, no fades or slides, no
    // computer player; the turn goes on with the time it had.
    bool paused = m_pause.update();
    if (m_lockstep)
    {
        m_lockstep->setPaused(paused);
    }
    if (m_replay)
    {
        playReplay(dt, paused);
    }
    else if (m_lockstep)
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
        if (!m_matchOver && m_match.turnNumber == turn)
        {
            const auto current = m_strategies.find(m_currentStrategy);
            if (current != m_strategies.end() && current->second)
            {
                // Held while it runs: a hand-over inside must not release the role under its feet.
                const std::shared_ptr<Strategy> strategy = current->second;
                strategy->update(frame);
            }
        }
    }
    if (!paused)
    {
        showLifetimes();
        m_grid.update(dt);
        m_events.update(dt);
        m_objects.update(dt);
    }
    m_hints.update(m_match);
    followWindow();
    refreshProgressBars();
    refreshHudText(paused ? 0.0f : dt);
    m_overview.update(m_match);
    m_preview.update(m_match, m_grid.getCellSize().x);
    refreshReplayBanner();
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

void MainState::playNetwork(float dt, bool paused)
{
    const bool running = m_friendHere && !paused && !m_matchOver;
    rules::Events events;
    m_lockstep->update(running ? elapsedMs(dt) : 0, events);
    // The friend's first digest says its game has begun the match: from now on time passes.
    m_friendHere = m_friendHere || m_lockstep->comparedTurns() > 0;
    for (const rules::MatchLog::Entry& entry : m_lockstep->takeRemoteActions())
    {
        m_log.record(entry.turn, entry.ms, entry.action);
    }
    m_log.noteTurns(events);
    const int turn = m_match.turnNumber;
    play(events);
    // As in a match on one computer the role whose turn it is reads its keys; the friend's role has
    // none here (its keys were taken away) and the friend's game plays it.
    const auto current = m_strategies.find(m_currentStrategy);
    if (running && !m_matchOver && !m_lockstep->failed() && m_match.turnNumber == turn &&
        current != m_strategies.end() && current->second)
    {
        const std::shared_ptr<Strategy> strategy = current->second;
        strategy->update(dt);
    }
}

std::string MainState::networkBanner(rules::Role local, bool friendHere, bool paused, rules::Role pausedBy,
                                     bool resumed)
{
    const auto name = [](rules::Role role)
    {
        return role == rules::Role::Runner ? std::string("Runner") : std::string("Builder");
    };
    if (!friendHere)
    {
        return "NETWORK  waiting for your friend to begin the match";
    }
    if (paused || resumed)
    {
        return std::string(paused ? "PAUSED" : "RESUMED") +
               (pausedBy == local ? " by you (the " : " by your friend (the ") + name(pausedBy) + ")";
    }
    return "NETWORK  you play the " + name(local);
}

void MainState::playReplay(float dt, bool paused)
{
    // Neither role's keys nor controllers count: the log plays both.
    if (m_input.isKeyPressed("ReplayFaster", 0))
    {
        m_replay->faster();
    }
    if (m_input.isKeyPressed("ReplaySlower", 0))
    {
        m_replay->slower();
    }
    if (m_matchOver)
    {
        return;
    }
    if (m_input.isKeyPressed("ReplayNextTurn", 0))
    {
        m_replay->nextTurn(*this);
    }
    if (!paused && !m_matchOver)
    {
        // A stalled frame counts as the rules' longest one, as in play, then goes at the speed.
        const float frame = std::min(dt, static_cast<float>(rules::Rules::MaxFrameMs) / 1000.0f);
        m_replay->play(*this, elapsedMs(frame * static_cast<float>(m_replay->getSpeed())));
    }
    if (!m_replay->getProblem().empty() && m_reportedProblem != m_replay->getProblem())
    {
        m_reportedProblem = m_replay->getProblem();
        std::cerr << "tumbrelt: the replay stops: " << m_reportedProblem << std::endl;
    }
}

std::string MainState::replayBanner(int speed, bool paused, bool leftHere, const std::string& problem)
{
    std::string banner = "REPLAY " + std::to_string(speed) + "\xc3\x97";
    if (!problem.empty())
    {
        return banner + "  stopped: " + problem;
    }
    if (leftHere)
    {
        return banner + "  the match was left here (Escape)";
    }
    return paused ? banner + "  paused" : banner;
}

void MainState::refreshReplayBanner()
{
    if (m_lockstep && m_bannerFont)
    {
        placeBanner(networkBanner(m_lockstep->local(), m_friendHere, m_lockstep->paused(),
                                  m_lockstep->pausedBy(), m_lockstep->resumed()),
                    sf::Color(60, 140, 230));
    }
    if (!m_replay || !m_bannerFont)
    {
        return;
    }
    placeBanner(replayBanner(m_replay->getSpeed(), m_pause.isPaused(),
                             !m_replay->getLog().hasEnded() && m_replay->isAtEnd(m_match),
                             m_replay->getProblem()),
                sf::Color(220, 40, 40));
}

void MainState::placeBanner(const std::string& line, sf::Color outline)
{
    const sf::Vector2f size(m_window.getSize());
    m_bannerText.setFont(*m_bannerFont);
    m_bannerText.setString(sf::String::fromUtf8(line.begin(), line.end()));
    m_bannerText.setCharacterSize(static_cast<unsigned>(std::max(14.0f, size.y * 0.035f)));
    m_bannerText.setFillColor(sf::Color(250, 250, 250));
    // Top centre, on a dark box, clear of the HUD's lines at the left and the bars at the bottom.
    const sf::FloatRect bounds = m_bannerText.getLocalBounds();
    m_bannerText.setOrigin(std::round(bounds.left + bounds.width / 2.0f), std::round(bounds.top));
    m_bannerText.setPosition(std::round(size.x / 2.0f), std::round(size.y * 0.03f));
    const float pad = 0.4f * static_cast<float>(m_bannerText.getCharacterSize());
    const sf::FloatRect placed = m_bannerText.getGlobalBounds();
    m_bannerBox.setPosition(std::round(placed.left - pad), std::round(placed.top - pad * 0.6f));
    m_bannerBox.setSize({std::round(placed.width + 2.0f * pad), std::round(placed.height + 1.2f * pad)});
    m_bannerBox.setFillColor(sf::Color(20, 20, 28, 210));
    m_bannerBox.setOutlineColor(outline);
    m_bannerBox.setOutlineThickness(std::max(2.0f, size.y * 0.003f));
}

void MainState::followWindow()
{
    const sf::Vector2u size = m_window.getSize();
    if (size == m_laidOutFor)
    {
        return;
    }
    m_laidOutFor = size;
    if (const std::shared_ptr<GameObject> camera = m_objects.getGameObject("Camera"))
    {
        if (const auto view = camera->getComponent<CameraRenderComponent>())
        {
            view->setViewSize(sf::Vector2f(size));
            view->update(0.0f);
        }
    }
    sizeProgressBars();
    layoutOverview();
    m_hudText.layout();
}

void MainState::layoutOverview()
{
    m_overview.layout();
    m_overview.update(m_match);
    m_preview.layout();
    const sf::FloatRect strip = m_overview.getBounds();
    m_hudText.setTopInset(strip.top + strip.height);
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
    m_marks.draw(m_window, m_grid.getCells(), ghostCells());
    if (m_hintsAllowed && !m_matchOver)
    {
        m_hints.draw(m_grid.getCellSize().x);
    }
    m_hudText.drawBackdrop();
    m_spriteManager.drawLayer("Ui");
    const auto current = m_strategies.find(m_currentStrategy);
    if (current != m_strategies.end() && current->second)
    {
        current->second->draw();
    }
    if (m_currentStrategy == StrategyType::Builder && !m_matchOver)
    {
        m_guides.draw();
        const sf::RectangleShape& zone = m_guides.getSafeZoneOutline();
        m_marks.drawDashes(m_window, {zone.getPosition(), zone.getSize()}, -zone.getOutlineThickness());
    }
    m_preview.draw();
    m_overview.draw();
    m_hudText.draw();
    if (m_hintsAllowed && !m_matchOver)
    {
        m_hints.drawLine(m_bannerFont.get());
    }
    if ((m_replay || m_lockstep) && m_bannerFont)
    {
        const sf::View cameraView = m_window.getView();
        const sf::Vector2f size(m_window.getSize());
        m_window.setView(sf::View(sf::FloatRect(0.0f, 0.0f, size.x, size.y)));
        m_window.draw(m_bannerBox);
        m_window.draw(m_bannerText);
        m_window.setView(cameraView);
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
    return (m_replay ? m_replay->getLog() : m_log).getHints().size();
}

std::vector<std::shared_ptr<BlockComponent>> MainState::ghostCells() const
{
    const auto builder = m_strategies.find(StrategyType::Builder);
    if (m_currentStrategy != StrategyType::Builder || builder == m_strategies.end() || !builder->second)
    {
        return {};
    }
    const std::shared_ptr<GameObject>& block =
        static_cast<const BuilderStrategy&>(*builder->second).getCurrentBlock();
    return block && block->isActive() ? block->getComponents<BlockComponent>()
                                      : std::vector<std::shared_ptr<BlockComponent>>{};
}

const rules::Match& MainState::currentMatch() const
{
    return m_match;
}

CellRange MainState::builderView() const
{
    // The cells the Builder's cursor may reach on screen, by the same test its steps pass.
    CellRange view{{m_match.field.getWidth(), m_match.field.getHeight()}, {-1, -1}};
    const auto found = m_strategies.find(StrategyType::Builder);
    const auto builder =
        found != m_strategies.end() ? std::dynamic_pointer_cast<BuilderStrategy>(found->second) : nullptr;
    for (int x = 0; x < m_match.field.getWidth(); ++x)
    {
        for (int y = 0; y < m_match.field.getHeight(); ++y)
        {
            if (!builder || builder->insideView({x, y}))
            {
                view.min = {std::min(view.min.x, x), std::min(view.min.y, y)};
                view.max = {std::max(view.max.x, x), std::max(view.max.y, y)};
            }
        }
    }
    return view;
}

void MainState::exit()
{
    TRACE_SCOPE("orv_gd::MainState::exit");
    m_computer.stop();
    m_lockstep.reset();
    m_hints.reset();
    m_log.finish(m_match);
    // A replay neither moves the game's generator on nor is kept again.
    if (!m_replay)
    {
        m_nextRng = m_match.rng;
        keepReplay();
    }
    m_spriteManager.shutdown();
    m_strategies.clear();
    m_grid.clear();
    m_objects.shutdown();
    // Nothing of this match outlives it; the next entry builds the HUD afresh.
    m_progressBars.clear();
    m_progressBarIcons.clear();
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
    const bool accepted = m_lockstep ? m_lockstep->act(action, events)
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
    const auto roleOf = [](rules::Role role)
    {
        return role == rules::Role::Runner ? StrategyType::Runner : StrategyType::Builder;
    };
    for (const rules::Event& event : events)
    {
        switch (event.kind)
        {
        case rules::Event::Kind::TurnEnded:
        {
            if (const std::shared_ptr<Strategy> ending = m_strategies[roleOf(event.role)])
            {
                ending->exit();
            }
            // A turn that ended the match starts no new one, but the HUD shows the role it passed to.
            m_currentStrategy =
                roleOf(event.role) == StrategyType::Runner ? StrategyType::Builder : StrategyType::Runner;
            m_grid.setCurrentPlayer(m_currentStrategy);
            break;
        }
        case rules::Event::Kind::TurnBegan:
            m_currentStrategy = roleOf(event.role);
            m_grid.setCurrentPlayer(m_currentStrategy);
            if (const std::shared_ptr<Strategy> next = m_strategies[m_currentStrategy])
            {
                next->enter();
            }
            break;
        case rules::Event::Kind::MatchWon:
            endMatch(roleOf(event.role));
            break;
        default:
            break;
        }
        for (const auto& [type, strategy] : m_strategies)
        {
            if (strategy)
            {
                strategy->show(event);
            }
        }
    }
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
    if (m_lockstep)
    {
        m_net->matchEnded();
    }
    m_gameStateManager->setState("EndState");
    GameState* endState = m_gameStateManager->findState("EndState");
    const auto runner = std::dynamic_pointer_cast<RunnerStrategy>(m_strategies[StrategyType::Runner]);
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
        rules::MatchLog finished = m_replay ? m_replay->getLog() : m_log;
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

void MainState::initProgressBars(const std::shared_ptr<GameObject>& /*camera*/)
{
    m_progressBars.clear();
    m_progressBarIcons.clear();
    EventBus& events = m_events;
    AssetManager& assets = AssetManager::getInstance();

    const sf::Vector2u windowSize = m_window.getSize();
    const float sx = static_cast<float>(windowSize.x) / 100.0f;
    const float sy = static_cast<float>(windowSize.y) / 100.0f;

    for (std::size_t i = 0; i < Bars.size(); ++i)
    {
        const HudBar& kind = Bars[i];
        std::shared_ptr<GameObject> bar = GameObject::create(std::to_string(i) + "_ProgressBar");
        // The time bar drains over this match's turn.
        const float emptyValue = i == 0 ? getTurnLimit() : kind.emptyValue;
        // Starts at the larger limit: the time bar empty, the others full until the first refresh.
        const float initialValue = std::max(emptyValue, kind.fullValue);
        std::shared_ptr<ProgressBarComponent> barComponent = bar->addComponent<ProgressBarComponent>(
            *bar, m_window, sf::Vector2f(12.0f * sx, 2.5f * sy), initialValue, emptyValue, kind.fullValue);
        events.fireEvent(std::make_shared<RenderableCreateEvent>("Ui", *barComponent));
        bar->init();
        events.fireEvent(std::make_shared<GameObjectCreateEvent>(bar));
        m_progressBars.push_back(bar);

        std::shared_ptr<GameObject> icon = GameObject::create(std::to_string(i) + "_ProgressBarIcon");
        std::shared_ptr<SpriteRenderComponent> sprite =
            icon->addComponent<SpriteRenderComponent>(*icon, m_window, assets.GetTexture(kind.icon), "Ui");
        icon->init();
        events.fireEvent(std::make_shared<GameObjectCreateEvent>(icon));
        m_progressBarIcons.push_back(icon);
    }
    sizeProgressBars();
}

void MainState::sizeProgressBars()
{
    const sf::Vector2u windowSize = m_window.getSize();
    const float sx = static_cast<float>(windowSize.x) / 100.0f;
    const float sy = static_cast<float>(windowSize.y) / 100.0f;
    for (const std::shared_ptr<GameObject>& bar : m_progressBars)
    {
        if (const auto component = bar->getComponent<ProgressBarComponent>())
        {
            component->setSize({12.0f * sx, 2.5f * sy});
        }
    }
    for (const std::shared_ptr<GameObject>& icon : m_progressBarIcons)
    {
        const auto sprite = icon->getComponent<SpriteRenderComponent>();
        if (!sprite)
        {
            continue;
        }
        sf::Sprite& iconSprite = sprite->getSprite();
        const sf::FloatRect bounds = iconSprite.getLocalBounds();
        if (bounds.width > 0.0f && bounds.height > 0.0f)
        {
            iconSprite.setScale(4.0f * sx / bounds.width, 4.0f * sx / bounds.height);
        }
        iconSprite.setOrigin(bounds.left + bounds.width / 2.0f, bounds.top + bounds.height / 2.0f);
    }
}

void MainState::refreshProgressBars()
{
    const std::shared_ptr<GameObject> camera = m_objects.getGameObject("Camera");
    if (!camera)
    {
        return;
    }
    const sf::Vector2u windowSize = m_window.getSize();
    const float sx = static_cast<float>(windowSize.x) / 100.0f;
    const float sy = static_cast<float>(windowSize.y) / 100.0f;
    const sf::Vector2f cameraPosition = camera->getPosition();

    const std::shared_ptr<RunnerStrategy> runner =
        std::dynamic_pointer_cast<RunnerStrategy>(m_strategies[StrategyType::Runner]);
    const std::shared_ptr<Strategy> current = m_strategies[m_currentStrategy];
    const bool runnersTurn = m_currentStrategy == StrategyType::Runner;
    // What each bar shows, by the number in its name: the turn's time, then the Runner's resources.
    std::array<float, 5> values{current ? current->getTimeInTurn() : 0.0f};
    if (runner)
    {
        values = {values[0], static_cast<float>(runner->getXMovement()),
                  static_cast<float>(runner->getJumpForce()), static_cast<float>(runner->getResetsLeft()),
                  static_cast<float>(runner->getTurnsLeft())};
    }

    // The bars sit in a row of slots at the bottom of the view, each icon on its bar.
    const auto slot = [&](std::size_t i)
    {
        return sf::Vector2f(cameraPosition.x - 30.0f * sx + 15.0f * sx * static_cast<float>(i),
                            cameraPosition.y + 40.0f * sy);
    };
    for (std::size_t i = 0; i < m_progressBars.size(); ++i)
    {
        const std::shared_ptr<GameObject>& bar = m_progressBars[i];
        bar->setPosition(slot(i));
        const std::shared_ptr<ProgressBarComponent> component = bar->getComponent<ProgressBarComponent>();
        if (!component)
        {
            continue;
        }
        const std::string name = bar->getId();
        const int id = std::stoi(name.substr(0, name.size() - 11));
        const float value =
            id >= 0 && id < static_cast<int>(values.size()) ? values[static_cast<std::size_t>(id)] : 0.0f;
        component->setValue(value);
        if (runnersTurn)
        {
            component->setBarColor(PaletteBlue);
            component->setBackgroundColor(PaletteGrey);
        }
        else
        {
            component->setBarColor(id == 0 ? PaletteAmber : PaletteGrey);
            component->setBackgroundColor(PaletteDark);
        }
    }
    for (std::size_t i = 0; i < m_progressBarIcons.size(); ++i)
    {
        m_progressBarIcons[i]->setPosition(slot(i));
    }
}

void MainState::refreshHudText(float playTime)
{
    const auto runner = std::dynamic_pointer_cast<RunnerStrategy>(m_strategies[StrategyType::Runner]);
    const auto builder = std::dynamic_pointer_cast<BuilderStrategy>(m_strategies[StrategyType::Builder]);
    const std::shared_ptr<Strategy> current = m_strategies[m_currentStrategy];
    if (!runner || !builder || !current)
    {
        return;
    }
    HudReadings readings;
    readings.role = m_currentStrategy;
    readings.timeInTurn = current->getTimeInTurn();
    readings.turnLimit = getTurnLimit();
    readings.steps = runner->getXMovement();
    readings.jumpForce = runner->getJumpForce();
    readings.resetsLeft = runner->getResetsLeft();
    readings.turnsLeft = runner->getTurnsLeft();
    readings.blocksLeft = builder->getBlocksLeft();
    readings.lastResetCause = runner->getLastResetCause();
    if (m_currentStrategy == StrategyType::Builder && !m_matchOver)
    {
        readings.ghost = builder->getGhostProblem();
        const std::shared_ptr<GameObject>& safeZone = runner->getSafeZone();
        m_guides.update(safeZone ? safeZone->getComponents<BlockComponent>()
                                 : std::vector<std::shared_ptr<BlockComponent>>{},
                        m_grid.getMapSize(), LevelGenerator::FinishColumns, m_grid.getCellSize().x);
    }
    m_hudText.setPaused(m_lockstep ? m_lockstep->paused() : m_pause.isPaused());
    m_hudText.setLeaveArmed(m_leaveArmed);
    m_hudText.update(playTime, readings);
}
} // namespace orv_gd
