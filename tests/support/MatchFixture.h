#pragma once

#include "core/Game.h"
#include "match/StrategyType.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/System/Vector2.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <memory>
#include <string>
#include <vector>

namespace orv_gd
{
class BlockComponent;
class BuilderStrategy;
class GameObject;
class GridManager;
class MainState;
class RunnerStrategy;
} // namespace orv_gd

namespace orv_gd::test
{
/// A real match in this process: a Game whose window is created at the given size (needs an X
/// display), the game's key bindings, every asset of the catalogue and the four screens, with
/// "MainState" entered through the state manager. Frames are driven by hand with a fixed time
/// step; keys go in as window events through the input manager, as in the game.
class MatchFixture
{
public:
    static constexpr float Step = 1.0f / 60.0f;

    explicit MatchFixture(unsigned width = 800, unsigned height = 600);
    ~MatchFixture();

    MatchFixture(const MatchFixture&) = delete;
    MatchFixture& operator=(const MatchFixture&) = delete;

    /// One frame as the game runs it: input tables shift, then the state manager updates.
    void frame(float dt = Step);
    void frames(int count, float dt = Step);
    /// Runs frames until the given seconds have passed.
    void runFor(float seconds, float dt = Step);
    /// Clears, draws the current screen and returns what the window's back buffer holds.
    sf::Image render();

    void press(sf::Keyboard::Key key);
    void release(sf::Keyboard::Key key);
    /// Press, one frame, release, one frame: the key is pressed in exactly one frame.
    void tap(sf::Keyboard::Key key);
    /// Several keys going down in the same frame.
    void tapTogether(const std::vector<sf::Keyboard::Key>& keys);

    Game& game() { return *m_game; }
    GameStateManager& states();
    MainState& match();
    RunnerStrategy& runner();
    BuilderStrategy& builder();
    GridManager& grid();
    std::shared_ptr<GameObject> object(const std::string& id) const;
    std::shared_ptr<BlockComponent> runnerBlock() const;
    sf::Vector2i runnerCell() const;

    /// Hands the turn over as the roles do (grid first, then the match).
    void giveTurnTo(StrategyType role);

    /// Takes every white platform out of the grid's table, so tests can build their own terrain.
    void clearPlatforms();
    /// A block of the given type entered into the grid at the cell (kept alive by the fixture).
    std::shared_ptr<BlockComponent> putBlock(sf::Vector2i cell, int type);
    /// A row of white cells from column `from` to `to` inclusive.
    void putFloor(int row, int from, int to);
    /// Moves the Runner (and its safe zone along) straight to a cell, outside the turn rules.
    void placeRunner(sf::Vector2i cell);

private:
    std::unique_ptr<Game> m_game;
    std::vector<std::shared_ptr<GameObject>> m_terrain;
};
} // namespace orv_gd::test
