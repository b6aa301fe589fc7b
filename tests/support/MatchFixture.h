#pragma once

#include "core/Game.h"
#include "core/InputManager.h"
#include "input/BuilderStrategy.h"
#include "input/RunnerStrategy.h"
#include "net/NetPlay.h"
#include "objects/GameObject.h"
#include "objects/GameObjectManager.h"
#include "resources/AssetCatalogue.h"
#include "screens/EndState.h"
#include "screens/MainState.h"
#include "screens/MenuState.h"
#include "screens/NetworkScreens.h"
#include "screens/TutorialState.h"
#include "support/InputRestore.h"
#include "view/BlockComponent.h"
#include "view/GridManager.h"
#include "view/Palette.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

#include <vector>

namespace orv_gd::test
{
template <typename Action>
std::string stdoutOf(Action&& run)
{
    testing::internal::CaptureStdout();
    run();
    return testing::internal::GetCapturedStdout();
}
/// How often `part` occurs in `text` from `from` on.
inline int countOf(const std::string& text, const std::string& part, std::size_t from = 0)
{
    const std::size_t at = text.find(part, from);
    return at == std::string::npos ? 0 : 1 + countOf(text, part, at + 1);
}

/// Saves a picture for a person to look at, when TUMBRELT_SHOTS names a folder.
inline void keep(const sf::Image& image, const std::string& name)
{
    if (const char* folder = std::getenv("TUMBRELT_SHOTS"))
    {
        image.saveToFile(std::string(folder) + "/" + name + ".png");
    }
}

/// A real match in this process (on an X display): the game's window, bindings, assets and screens,
/// "MainState" entered on the random sequence a fresh process starts with; frames run by hand and
/// keys go in as window events. The match's exit and InputRestore put the single instances back.
class MatchFixture
{
public:
    static constexpr float Step = 1.0f / 60.0f;
    /// Whether every frame compares the screen's grid with the rules' field (whole matches played
    /// for their outcome compare it once a turn).
    bool checksEachFrame = true;

    /// `net`: the game has network play, with its host and join screens; `first`: the screen entered.
    explicit MatchFixture(unsigned width = 800, unsigned height = 600, MatchMode mode = MatchMode::TwoPlayers,
                          const Settings& settings = {}, std::shared_ptr<NetPlay> net = nullptr,
                          const std::string& first = "MainState")
    {
        m_game.setMatchMode(mode); // a new game: the level and the blocks of a fresh process
        window().create(sf::VideoMode(width, height), "Tumbrelt", sf::Style::None);
        window().setPosition({0, 0});
        m_game.initInputBindings();
        m_game.changeSettings(settings); // the keys and the turn time; the window stays this one
        AssetCatalogue::getInstance().setWindow(window());
        AssetCatalogue::getInstance().loadAssets();
        states().registerState("MenuState", std::make_shared<MenuState>(&states(), &m_game));
        states().registerState("TutorialState", std::make_shared<TutorialState>(&states(), &m_game));
        states().registerState("MainState", std::make_shared<MainState>(&states(), &m_game, net));
        states().registerState("EndState", std::make_shared<EndState>(&states(), &m_game));
        if (net)
        {
            m_game.setNetworkFriend(net);
            states().registerState("HostState", std::make_shared<HostState>(&states(), &m_game, net));
            states().registerState("JoinState", std::make_shared<JoinState>(&states(), &m_game, net));
        }
        InputManager::getInstance().setRenderWindow(&window());
        states().setState(first);
        frame(0.0f);
    }
    ~MatchFixture() { states().shutdown(); }

    /// One frame as the game runs it: input tables shift, then the state manager updates.
    void frame(float dt = Step)
    {
        InputManager::getInstance().update();
        m_game.updateNetwork(dt);
        states().update(dt);
        // The screen's grid is fed by the rules' events alone and never drifts from their field.
        if (checksEachFrame && states().getCurrentState() == states().findState("MainState") &&
            match().getStrategies().size() == 2)
        {
            EXPECT_EQ(screenDiffersFromRules(), "");
        }
    }
    void runFor(float seconds, float dt = Step)
    {
        for (float elapsed = 0.0f; elapsed < seconds; elapsed += dt)
        {
            frame(dt);
        }
    }
    void key(sf::Keyboard::Key key, bool down = true) { sendKey(key, down); }
    /// The keys go down together for one frame and up for the next, `times` over.
    void tap(const std::vector<sf::Keyboard::Key>& keys, int times = 1, float dt = Step)
    {
        for (int i = 0; i < 2 * times; ++i)
        {
            for (sf::Keyboard::Key pressed : keys)
            {
                key(pressed, i % 2 == 0);
            }
            frame(dt);
        }
    }
    /// The Builder drops a one-cell block at `cell` with the place key.
    void drop(sf::Vector2i cell)
    {
        builder().setCursor(cell);
        builder().replaceBlock({{0, 0}}, BlockType::Dynamic);
        tap({sf::Keyboard::Return});
    }
    /// Draws a frame as the game does and returns the picture on the window.
    sf::Image drawnFrame()
    {
        window().clear(sf::Color::Black);
        states().draw();
        sf::Texture texture;
        texture.create(window().getSize().x, window().getSize().y);
        texture.update(window());
        window().display();
        return texture.copyToImage();
    }
    /// Where the middle of a grid cell lies on the window as the camera shows it now, in pixels.
    sf::Vector2f cellMiddle(sf::Vector2f cell)
    {
        const float edge = grid().getCellSize().x;
        const sf::Vector2f topLeft = GameObjectManager::getInstance().getGameObject("Camera")->getPosition() -
                                     sf::Vector2f(window().getSize()) / 2.0f;
        return (cell + sf::Vector2f(0.5f, 0.5f)) * edge - topLeft;
    }
    /// The pixel of a picture that covers a window point.
    static sf::Color pixel(const sf::Image& image, sf::Vector2f at)
    {
        return image.getPixel(static_cast<unsigned>(at.x), static_cast<unsigned>(at.y));
    }
    bool endRequestedFor(StrategyType winner)
    {
        auto* end = dynamic_cast<EndState*>(states().findState("EndState"));
        return (states().getPendingState() == end || states().getCurrentState() == end) &&
               end->getWinner() == winner;
    }

    Game& game() { return m_game; }
    sf::RenderWindow& window() { return m_game.getWindow(); }
    GameStateManager& states() { return m_game.getGameStateManager(); }
    MainState& match() { return static_cast<MainState&>(*states().findState("MainState")); }
    Strategy& role(StrategyType type) { return *match().getStrategies().at(type); }
    RunnerStrategy& runner() { return static_cast<RunnerStrategy&>(role(StrategyType::Runner)); }
    BuilderStrategy& builder() { return static_cast<BuilderStrategy&>(role(StrategyType::Builder)); }
    GridManager& grid() { return GridManager::getInstance(); }
    auto object(const std::string& id) { return GameObjectManager::getInstance().getGameObject(id); }
    std::shared_ptr<BlockComponent> runnerBlock() { return object("Runner")->getComponent<BlockComponent>(); }
    sf::Vector2i runnerCell() { return runnerBlock()->getGridPosition(); }
    auto safeZone() { return object("runner_safezone")->getComponents<BlockComponent>(); }

    /// What the screen's grid shows otherwise than the rules' field holds, as a phrase per kind of
    /// difference; empty when they agree: the block in each cell (the Runner's where it stands),
    /// the block kept beneath a green Builder cell, and each fading block's life.
    std::string screenDiffersFromRules()
    {
        std::string problem;
        const sf::Vector2i map = grid().getMapSize();
        const rules::Field& field = match().getMatch().field;
        const std::shared_ptr<BlockComponent> runner = this->runner().getRunnerBlock();
        const auto shows = [](const std::shared_ptr<BlockComponent>& shown, rules::CellKind kind)
        {
            const BlockType type = kind == rules::CellKind::Static   ? BlockType::Static
                                   : kind == rules::CellKind::Finish ? BlockType::Finish
                                                                     : BlockType::Dynamic;
            return shown ? kind != rules::CellKind::Empty && shown->getType() == type
                         : kind == rules::CellKind::Empty;
        };
        for (int i = 0; i < map.x * map.y; ++i)
        {
            const sf::Vector2i cell(i / map.y, i % map.y);
            const rules::Cell at{cell.x, cell.y};
            const std::shared_ptr<BlockComponent>& shown = grid().getCells()[cell.x][cell.y];
            const std::shared_ptr<BlockComponent> beneath = grid().getBlockBeneath(cell.x, cell.y);
            // The Runner on the finish line keeps the green cell beneath it.
            problem += shown && shown->getGridPosition() != cell ? "a misplaced block; "
                       : shown && shown == runner
                           ? (shows(beneath, field.at(at)) ? "" : "the Runner covers the wrong cell; ")
                       : !shows(shown, field.at(at))          ? "the screen and the rules differ at a cell; "
                       : !shows(beneath, field.coveredAt(at)) ? "a green cell covers another cell; "
                       : shown && field.lifeAt(at) > 0 &&
                               shown->getRemainingLifetime() != static_cast<float>(field.lifeAt(at)) / 1000.0f
                           ? "a block fades otherwise; "
                           : "";
        }
        return problem;
    }

    /// Plays on to the next turn of `role` through the real hand-overs: the Runner ends its turn with
    /// its end key, the Builder lets its ten seconds run out.
    void giveTurnTo(StrategyType role)
    {
        for (int handOvers = 0; handOvers < 2 && !match().isMatchOver(); ++handOvers)
        {
            if (match().getCurrentStrategy() == StrategyType::Runner)
            {
                tap({sf::Keyboard::Q});
            }
            else
            {
                for (int frames = 0; frames < 250 && match().getCurrentStrategy() == StrategyType::Builder;
                     ++frames)
                {
                    frame(0.1f); // a frame passes at most a tenth of a second of play
                }
            }
            if (match().getCurrentStrategy() == role)
            {
                return;
            }
        }
        ADD_FAILURE() << "the turn did not come round";
    }
    /// Cells of the given type in `row` from column `from` to `to` inclusive, for good, in the rules'
    /// field and on screen.
    void put(int row, int from, int to, BlockType type = BlockType::Static)
    {
        const rules::CellKind kind = type == BlockType::Static   ? rules::CellKind::Static
                                     : type == BlockType::Finish ? rules::CellKind::Finish
                                                                 : rules::CellKind::Dynamic;
        for (int x = from; x <= to; ++x)
        {
            match().editMatch().field.set({x, row}, kind);
            m_terrain.push_back(GameObject::create("terrain_" + std::to_string(m_terrain.size())));
            grid().placeBlock(m_terrain.back()->addComponent<BlockComponent>(
                *m_terrain.back(), window(), sf::Vector2i(x, row), BlockComponent::colorForType(type), false,
                type));
        }
    }
    /// White platform cells in `row` from column `from` to `to`, made and drawn as the level's are,
    /// and in the rules' field.
    void paint(int row, int from, int to)
    {
        m_terrain.push_back(GameObject::create("painted_" + std::to_string(m_terrain.size())));
        for (int x = from; x <= to; ++x)
        {
            match().editMatch().field.set({x, row}, rules::CellKind::Static);
            BlockComponent::addToGrid(*m_terrain.back(), window(), {x, row}, PaletteWhite, false,
                                      BlockType::Static, "Map");
        }
        m_terrain.back()->init();
    }
    /// Moves the Runner and its safe zone straight to a cell, outside the turn rules.
    void placeRunner(sf::Vector2i cell)
    {
        const sf::Vector2i offset = cell - runnerCell();
        match().editMatch().runner.cell = {cell.x, cell.y};
        grid().moveBlock(runnerBlock(), cell);
        for (const std::shared_ptr<BlockComponent>& zone : safeZone())
        {
            grid().moveBlock(zone, zone->getGridPosition() + offset);
        }
    }

private:
    InputRestore m_inputRestore;
    Game m_game;
    std::vector<std::shared_ptr<GameObject>> m_terrain;
};
} // namespace orv_gd::test
