// Soak test: the whole game in this process, driven for tens of thousands of frames by a seeded
// random stream of both players' keys and controllers, with the game's invariants checked after
// every frame. Set TUMBRELT_SOAK_SEED to replay a failing stream.

#include "core/ControllerInput.h"
#include "core/EndState.h"
#include "core/Game.h"
#include "core/GameStateManager.h"
#include "core/InputManager.h"
#include "core/MenuState.h"
#include "core/TutorialState.h"
#include "match/BlockComponent.h"
#include "match/GridManager.h"
#include "match/MainState.h"
#include "match/ProgressBarComponent.h"
#include "match/RunnerStrategy.h"
#include "objects/GameObject.h"
#include "objects/GameObjectManager.h"
#include "resources/AssetCatalogue.h"
#include "resources/DebugDraw.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/VideoMode.hpp>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace orv_gd
{
namespace
{
using Key = sf::Keyboard::Key;

constexpr int FrameCount = 20000;
constexpr float FrameTime = 1.0f / 30.0f;
#if defined(__SANITIZE_ADDRESS__)
constexpr int DrawEvery = 20; // drawing dominates under the sanitizers
#else
constexpr int DrawEvery = 5;
#endif

const std::vector<Key> RunnerKeys{Key::A, Key::D, Key::W, Key::S, Key::Q, Key::R};
const std::vector<Key> BuilderKeys{Key::Up,    Key::Down,   Key::Left,    Key::Right,
                                   Key::Enter, Key::PageUp, Key::PageDown};

/// How one match is played: at random, pushing the Runner to the finish, burning the Runner's
/// resets, or leaving by Escape.
enum class Plan
{
    Chaos,
    Push,
    Resets,
    Escape
};

/// What the stream made happen, so the test can tell it covered the game.
struct Coverage
{
    int matches = 0;
    int runnerWins = 0;
    int builderWins = 0;
    int escapes = 0;
    int turns = 0;
};

/// Drives the real game's screens with a fixed frame time and a seeded input stream.
class Soak
{
public:
    explicit Soak(unsigned seed) : m_random(seed), m_input(InputManager::getInstance())
    {
        sf::RenderWindow& window = m_game.getWindow();
        window.create(sf::VideoMode(800, 600), "Tumbrelt", sf::Style::None);
        window.setPosition({0, 0});
        m_game.initInputBindings();
        AssetCatalogue& catalogue = AssetCatalogue::getInstance();
        catalogue.setWindow(window);
        catalogue.loadAssets();
        GameStateManager& states = m_game.getGameStateManager();
        states.registerState("MenuState", std::make_shared<MenuState>(&states, &m_game));
        states.registerState("MainState", std::make_shared<MainState>(&states, &m_game));
        states.registerState("EndState", std::make_shared<EndState>(&states, &m_game));
        states.registerState("TutorialState", std::make_shared<TutorialState>(&states, &m_game));
        m_input.setRenderWindow(&window);
        states.setState("MenuState");

        m_controllers.setSimulated(true);
        m_controllers.resetSimulated();
    }

    ~Soak()
    {
        m_controllers.resetSimulated();
        m_controllers.setSimulated(false);
        m_game.getGameStateManager().shutdown();
    }

    /// Feeds this frame's input, runs the frame and checks the invariants; returns the first
    /// broken invariant, or an empty string.
    std::string step(int frame)
    {
        releaseDueKeys(frame);
        GameState* current = m_game.getGameStateManager().getCurrentState();
        if (current == state("MainState"))
        {
            playMatch(frame);
        }
        else
        {
            playScreen(frame, current);
        }

        m_input.update();
        m_game.getGameStateManager().update(FrameTime);
        if (frame % DrawEvery == 0)
        {
            // Game::draw's steps; the soak builds the game by hand, without Game::init.
            sf::RenderWindow& window = m_game.getWindow();
            window.clear(sf::Color(0, 0, 0, 255));
            m_game.getGameStateManager().draw();
            DebugDraw::getInstance().draw(window);
            window.display();
        }
        noteTransitions();
        return checkInvariants();
    }

    const Coverage& coverage() const { return m_coverage; }

private:
    GameState* state(const char* name) { return m_game.getGameStateManager().findState(name); }
    MainState& match() { return static_cast<MainState&>(*state("MainState")); }

    bool chance(double probability) { return std::bernoulli_distribution(probability)(m_random); }
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    Key pick(const std::vector<Key>& keys)
    {
        return keys[static_cast<std::size_t>(between(0, int(keys.size()) - 1))];
    }

    void sendKey(Key key, bool pressed)
    {
        sf::Event event{};
        event.type = pressed ? sf::Event::KeyPressed : sf::Event::KeyReleased;
        event.key.code = key;
        m_input.process(event);
        m_down[static_cast<std::size_t>(key)] = pressed;
    }

    /// Presses a key now and lets it go after `frames` frames.
    void hold(Key key, int frame, int frames)
    {
        if (m_down[static_cast<std::size_t>(key)])
        {
            return;
        }
        sendKey(key, true);
        m_releases.push_back({frame + frames, key});
    }

    void releaseDueKeys(int frame)
    {
        for (auto it = m_releases.begin(); it != m_releases.end();)
        {
            if (it->first <= frame)
            {
                sendKey(it->second, false);
                it = m_releases.erase(it);
            }
            else
            {
                ++it;
            }
        }
    }

    /// Menu, tutorial and end screen: go on with Space or controller button 0 after a while.
    /// Escape and button 1 would close the window there, so they stay out of the stream.
    void playScreen(int frame, GameState* current)
    {
        for (unsigned slot = 0; slot < 2; ++slot)
        {
            m_controllers.setButton(slot, 1, false);
        }
        if (current == nullptr || !chance(0.08))
        {
            return;
        }
        if (chance(0.8))
        {
            hold(Key::Space, frame, 1);
        }
        else
        {
            const unsigned slot = static_cast<unsigned>(between(0, 1));
            m_controllers.setConnected(slot, true);
            m_controllers.setButton(slot, 0, chance(0.7));
        }
    }

    void playMatch(int frame)
    {
        const bool runnersTurn = match().getCurrentStrategy() == StrategyType::Runner;
        switch (m_plan)
        {
        case Plan::Chaos:
            playChaos(frame);
            break;
        case Plan::Push:
            runnersTurn ? pushRunner(frame) : dropBehind(frame);
            break;
        case Plan::Resets:
            if (runnersTurn ? chance(0.1) : chance(0.05))
            {
                hold(runnersTurn ? Key::R : Key::Enter, frame, 1);
            }
            break;
        case Plan::Escape:
            if (--m_escapeIn <= 0)
            {
                hold(Key::Escape, frame, 1);
            }
            else
            {
                playChaos(frame);
            }
            break;
        }
    }

    /// Any key of either player, held for a few frames, and controllers that come and go.
    void playChaos(int frame)
    {
        if (chance(0.3))
        {
            hold(pick(chance(0.5) ? RunnerKeys : BuilderKeys), frame, between(1, 12));
        }
        if (chance(0.02))
        {
            const unsigned slot = static_cast<unsigned>(between(0, 1));
            m_controllers.setConnected(slot, chance(0.6));
            m_controllers.setButton(slot, static_cast<unsigned>(between(0, 5)), chance(0.5));
            m_controllers.setAxis(slot, chance(0.5) ? sf::Joystick::X : sf::Joystick::Y,
                                  static_cast<float>(between(-100, 100)));
        }
    }

    /// The Runner walks right, jumps when a step did not move it and ends its turn when stuck.
    void pushRunner(int frame)
    {
        if (frame % 3 != 0)
        {
            return;
        }
        const std::shared_ptr<GameObject> runner = GameObjectManager::getInstance().getGameObject("Runner");
        const sf::Vector2i cell =
            runner ? runner->getComponent<BlockComponent>()->getGridPosition() : sf::Vector2i();
        const bool moved = cell != m_lastRunnerCell;
        m_lastRunnerCell = cell;
        m_stuckSteps = moved ? 0 : m_stuckSteps + 1;
        if (m_stuckSteps > 6)
        {
            hold(Key::Q, frame, 1);
            m_stuckSteps = 0;
        }
        else
        {
            hold(!moved && m_lastPush == Key::D ? Key::W : Key::D, frame, 1);
            m_lastPush = !moved && m_lastPush == Key::D ? Key::W : Key::D;
        }
    }

    /// The Builder drops its blocks behind the Runner, out of its way.
    void dropBehind(int frame)
    {
        m_controllers.resetSimulated();
        const int inTurn = frame - m_turnStart;
        if (inTurn < 45)
        {
            hold(Key::Left, frame, 1);
        }
        else if (inTurn % 10 == 0)
        {
            hold(Key::Enter, frame, 1);
        }
    }

    /// Counts matches, turns, winners and escapes as the screens change.
    void noteTransitions()
    {
        GameState* current = m_game.getGameStateManager().getCurrentState();
        if (current == state("MainState"))
        {
            const StrategyType role = match().getCurrentStrategy();
            if (current != m_lastState)
            {
                ++m_coverage.matches;
                // The first matches try every plan once, so each ending is reached; then at random.
                static const std::array<Plan, 4> FirstPlans{Plan::Escape, Plan::Push, Plan::Resets,
                                                            Plan::Chaos};
                const int pick = between(0, 9);
                if (m_coverage.matches <= static_cast<int>(FirstPlans.size()))
                {
                    m_plan = FirstPlans[static_cast<std::size_t>(m_coverage.matches - 1)];
                }
                else
                {
                    m_plan = pick < 4   ? Plan::Push
                             : pick < 7 ? Plan::Chaos
                             : pick < 9 ? Plan::Resets
                                        : Plan::Escape;
                }
                m_escapeIn = between(30, 900);
                m_lastRole = role;
                m_matchObjects.clear();
            }
            else if (role != m_lastRole)
            {
                ++m_coverage.turns;
                m_lastRole = role;
                m_turnStart = m_frame;
            }
            // Everything the match registers must be gone once it has ended.
            for (const auto& entry : GameObjectManager::getInstance().getGameObjects())
            {
                m_matchObjects.push_back(entry.second);
            }
        }
        else if (m_lastState == state("MainState"))
        {
            if (current == state("EndState"))
            {
                static_cast<EndState*>(current)->getWinner() == StrategyType::Runner
                    ? ++m_coverage.runnerWins
                    : ++m_coverage.builderWins;
            }
            else if (current == state("MenuState"))
            {
                ++m_coverage.escapes;
            }
            m_leftMatch = true;
        }
        m_lastState = current;
        ++m_frame;
    }

    std::string checkInvariants()
    {
        std::ostringstream problem;
        GridManager& grid = GridManager::getInstance();
        GameObjectManager& objects = GameObjectManager::getInstance();
        if (m_game.getGameStateManager().getCurrentState() != state("MainState"))
        {
            if (!objects.getGameObjects().empty())
            {
                problem << objects.getGameObjects().size() << " objects still registered after the match";
            }
            for (const char* layer : {"Map", "Ui", "Background"})
            {
                if (!match().getSpriteManager().getLayerMembers(layer).empty())
                {
                    problem << "layer " << layer << " still holds components after the match; ";
                }
            }
            if (!grid.getTimedBlocks().empty())
            {
                problem << "timed blocks left after the match; ";
            }
            if (m_leftMatch)
            {
                m_leftMatch = false;
                for (const std::weak_ptr<GameObject>& object : m_matchObjects)
                {
                    if (const std::shared_ptr<GameObject> alive = object.lock())
                    {
                        problem << "object " << alive->getId() << " of the ended match is still alive; ";
                        break;
                    }
                }
                m_matchObjects.clear();
            }
            return problem.str();
        }

        const sf::Vector2i map = grid.getMapSize();
        GridManager::CellTable& cells = grid.getCells();
        for (int x = 0; x < map.x; ++x)
        {
            for (int y = 0; y < map.y; ++y)
            {
                const std::shared_ptr<BlockComponent>& block = cells[x][y];
                if (block && block->getGridPosition() != sf::Vector2i(x, y))
                {
                    problem << "cell " << x << "," << y << " holds a block at " << block->getGridPosition().x
                            << "," << block->getGridPosition().y << "; ";
                }
            }
        }

        const std::shared_ptr<GameObject> runner = objects.getGameObject("Runner");
        const std::shared_ptr<BlockComponent> runnerBlock =
            runner ? runner->getComponent<BlockComponent>() : nullptr;
        if (!runnerBlock)
        {
            return problem.str() + "no Runner";
        }
        const sf::Vector2i at = runnerBlock->getGridPosition();
        if (!grid.isInside(at.x, at.y))
        {
            return problem.str() + "the Runner left the map";
        }
        // On the finish line the Runner slides onto the green cell, which keeps its own block.
        const std::shared_ptr<BlockComponent>& standing = cells[at.x][at.y];
        const bool onFinish = standing && standing->getType() == BlockType::Finish;
        if (standing != runnerBlock && !onFinish)
        {
            problem << "the Runner's cell " << at.x << "," << at.y << " does not hold the Runner; ";
        }

        const std::shared_ptr<GameObject> safeZone = objects.getGameObject("runner_safezone");
        std::set<std::pair<int, int>> zone;
        if (safeZone)
        {
            for (const std::shared_ptr<BlockComponent>& cell : safeZone->getComponents<BlockComponent>())
            {
                zone.insert({cell->getGridPosition().x, cell->getGridPosition().y});
            }
        }
        std::set<std::pair<int, int>> expected;
        for (int dx = -1; dx <= 1; ++dx)
        {
            for (int dy = -1; dy <= 1; ++dy)
            {
                expected.insert({at.x + dx, at.y + dy});
            }
        }
        if (zone != expected)
        {
            problem << "the safe zone is not the 3 x 3 around the Runner at " << at.x << "," << at.y << "; ";
        }

        for (const std::shared_ptr<GameObject>& bar : match().getProgressBars())
        {
            const std::shared_ptr<ProgressBarComponent> component = bar->getComponent<ProgressBarComponent>();
            const sf::Vector2f filled = component->getForeground().getSize();
            if (filled.x < 0.0f || filled.x > component->getSize().x + 0.001f)
            {
                problem << bar->getId() << " is filled " << filled.x << " of " << component->getSize().x
                        << "; ";
            }
        }
        return problem.str();
    }

    Game m_game;
    std::mt19937 m_random;
    InputManager& m_input;
    ControllerInput& m_controllers = ControllerInput::getInstance();
    std::array<bool, sf::Keyboard::KeyCount> m_down{};
    std::vector<std::pair<int, Key>> m_releases;

    Coverage m_coverage;
    GameState* m_lastState = nullptr;
    StrategyType m_lastRole = StrategyType::Builder;
    Plan m_plan = Plan::Chaos;
    int m_escapeIn = 0;
    int m_frame = 0;
    int m_turnStart = 0;
    bool m_leftMatch = false;
    std::vector<std::weak_ptr<GameObject>> m_matchObjects;

    sf::Vector2i m_lastRunnerCell{-1, -1};
    int m_stuckSteps = 0;
    Key m_lastPush = Key::D;
};

unsigned soakSeed()
{
    const char* fromEnvironment = std::getenv("TUMBRELT_SOAK_SEED");
    return fromEnvironment ? static_cast<unsigned>(std::strtoul(fromEnvironment, nullptr, 10)) : 20261206u;
}

TEST(SoakTest, WholeMatchesUnderRandomInputKeepTheInvariants)
{
    const unsigned seed = soakSeed();
    // The game's step log would fill the test output; only the soak's own findings matter here.
    std::ostringstream gameOutput;
    std::streambuf* const previous = std::cout.rdbuf(gameOutput.rdbuf());
    Coverage coverage;
    {
        Soak soak(seed);
        for (int frame = 0; frame < FrameCount; ++frame)
        {
            const std::string problem = soak.step(frame);
            if (!problem.empty())
            {
                std::cout.rdbuf(previous);
                FAIL() << "seed " << seed << ", frame " << frame << ": " << problem;
            }
            gameOutput.str("");
        }
        coverage = soak.coverage();
    }
    std::cout.rdbuf(previous);

    std::cout << "seed " << seed << ": " << coverage.matches << " matches, " << coverage.turns << " turns, "
              << coverage.runnerWins << " Runner wins, " << coverage.builderWins << " Builder wins, "
              << coverage.escapes << " escapes" << std::endl;
    EXPECT_GE(coverage.matches, 3) << "seed " << seed;
    EXPECT_GE(coverage.runnerWins, 1) << "seed " << seed;
    EXPECT_GE(coverage.builderWins, 1) << "seed " << seed;
    EXPECT_GE(coverage.escapes, 1) << "seed " << seed;
}
} // namespace
} // namespace orv_gd
