// Soak: 3,000 to 20,000 frames of the whole game under a seeded random stream of both players' keys and
// controllers, the invariants checked after every frame and each match's log replayed as it ends.
// TUMBRELT_SOAK_SEED replays a stream.

#include "core/ControllerInput.h"
#include "support/MatchFixture.h"
#include "view/ProgressBarComponent.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <map>
#include <random>

namespace orv_gd
{
namespace
{
using Key = sf::Keyboard::Key;
constexpr int DrawEvery = 20; // drawing costs nine tenths of a frame's time under Xvfb
const std::vector<Key> PlayerKeys{Key::A,     Key::D,      Key::W,        Key::S,     Key::Q,
                                  Key::R,     Key::Up,     Key::Down,     Key::Left,  Key::Right,
                                  Key::Enter, Key::PageUp, Key::PageDown, Key::Space, Key::Escape};

/// Drives the real game's screens with a fixed frame time and a seeded input stream.
struct Soak
{
    explicit Soak(unsigned seed) : m_random(seed) { m_controllers.setSimulated(true); }
    ~Soak() { std::cout.rdbuf(m_gameLog); }

    /// Feeds this frame's input, runs and draws the frame; returns the broken invariants.
    std::string step(int frame)
    {
        for (Key key : PlayerKeys) // a key goes down for a frame; pressed again in the next, it stays down
        {
            m.key(key, false);
        }
        input(frame);
        m.frame(1.0f / 30.0f);
        if (frame % DrawEvery == 0) // Game::draw's steps; the debug overlay stays off
        {
            m.window().clear();
            m.states().draw();
            m.window().display();
        }
        std::string problem;
        if (inMatch() != m_wasInMatch) // a match began, or ended: then its log replays it
        {
            problem = inMatch() ? "" : replayDiffers();
            const auto* end = dynamic_cast<EndState*>(m.states().getCurrentState());
            ++m_seen[inMatch() ? "matches"
                     : !end    ? "escapes"
                               : (end->getWinner() == StrategyType::Runner ? "Runner wins" : "Builder wins")];
            m_wasInMatch = inMatch();
        }
        return problem + check();
    }
    std::map<std::string, int> m_seen; ///< matches and each ending
    bool seenAll() { return m_seen["Runner wins"] && m_seen["Builder wins"] && m_seen["escapes"]; }
    bool inMatch() { return m.states().getCurrentState() == &m.match(); }
    bool chance(double probability) { return std::bernoulli_distribution(probability)(m_random); }
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    /// Screens: Space now and then (Escape and button 1 would close the game). Matches in turn: the
    /// Runner pushes to the finish while the Builder drops behind it; the Runner spends its resets; any
    /// key or controller state of either player, until Escape. Unknown, a nameless key, changes nothing.
    void input(int frame)
    {
        const bool runnersTurn = m.match().getCurrentStrategy() == StrategyType::Runner;
        const unsigned slot = static_cast<unsigned>(between(0, 1));
        const int plan = m_seen["matches"] % 3;
        if (!inMatch() || m.states().getPendingState()) // a key now would reach the next screen
        {
            m_controllers.setButton(0, 1, false);
            m_controllers.setButton(1, 1, false);
            m.key(chance(0.06) ? Key::Space : Key::Unknown);
        }
        else if (plan == 1 && runnersTurn && frame % 3 == 0) // right; up after a failed step; Q when stuck
        {
            m_stuck = m.runnerCell() == m_lastCell ? m_stuck + 1 : 0;
            m_lastCell = m.runnerCell();
            m.key(m_stuck > 6 ? Key::Q : m_stuck % 2 ? Key::W : Key::D);
            m_stuck %= 7;
        }
        else if (plan == 1 && !runnersTurn)
        {
            m_controllers.resetSimulated();
            m.key(m.builder().getTimeInTurn() < 1.5f ? Key::Left : chance(0.1) ? Key::Enter : Key::Unknown);
        }
        else if (plan == 2)
        {
            m.key(!chance(0.08) ? Key::Unknown : runnersTurn ? Key::R : Key::Enter);
        }
        else if (plan == 0 && chance(0.4))
        {
            m.key(chance(0.01) ? Key::Escape : PlayerKeys[static_cast<std::size_t>(between(0, 12))]);
        }
        else if (plan == 0 && chance(0.03))
        {
            m_controllers.setConnected(slot, chance(0.6));
            m_controllers.setButton(slot, static_cast<unsigned>(between(0, 5)), chance(0.5));
            m_controllers.setAxis(slot, chance(0.5) ? sf::Joystick::X : sf::Joystick::Y,
                                  static_cast<float>(between(-100, 100)));
        }
    }

    /// The last match's log, replayed through the rules alone in frames of 0, 5, 16 and 40 ms, plays
    /// the same match to where it ended or was left.
    std::string replayDiffers()
    {
        const rules::MatchLog& log = m.match().getLog();
        std::string problem;
        for (int frameMs : {0, 5, 16, 40})
        {
            std::string error;
            const bool same = log.replay(&error, frameMs).digest() == m.match().getMatch().digest();
            problem += same && error.empty() ? ""
                                             : "the replay in frames of " + std::to_string(frameMs) +
                                                   " ms differs: " + error + "; ";
        }
        return problem;
    }

    std::string check()
    {
        SpriteManager& layers = m.match().getSpriteManager();
        if (!inMatch()) // nothing of an ended match stays registered, on a layer or in the grid's timers
        {
            return GameObjectManager::getInstance().getGameObjects().empty() &&
                           m.grid().getTimedBlocks().empty() && layers.getLayerMembers("Map").empty() &&
                           layers.getLayerMembers("Ui").empty() &&
                           layers.getLayerMembers("Background").empty() && m.window().isOpen()
                       ? ""
                       : "the ended match left something behind, or the window closed";
        }
        std::string problem = m.screenDiffersFromRules();
        const rules::Match& rules = m.match().getMatch();
        const std::shared_ptr<BlockComponent> block = m.runner().getRunnerBlock();
        problem += block->getGridPosition() == sf::Vector2i(rules.runner.cell.x, rules.runner.cell.y)
                       ? ""
                       : "the Runner is not where the rules hold it; ";
        const sf::Vector2i at = block->getGridPosition();
        const auto standing = m.grid().isInside(at.x, at.y) ? m.grid().getBlockAt(at.x, at.y) : nullptr;
        // The Runner holds its cell in the table everywhere, on the finish line too, so it is drawn.
        if (standing != block)
        {
            return problem + "the Runner is not in the map and the table";
        }
        int zone = 0; // a bit per cell of the 3 x 3 around the Runner, bit 9 for any other cell
        for (const auto& cell : m.object("runner_safezone") ? m.safeZone() : decltype(m.safeZone()){})
        {
            const sf::Vector2i d = cell->getGridPosition() - at + sf::Vector2i(1, 1);
            zone |= d.x >= 0 && d.x < 3 && d.y >= 0 && d.y < 3 ? 1 << (3 * d.x + d.y) : 1 << 9;
        }
        problem += zone == 511 ? "" : "the safe zone is not the 3 x 3 around the Runner; ";
        for (const std::shared_ptr<GameObject>& bar : m.match().getProgressBars())
        {
            const auto component = bar->getComponent<ProgressBarComponent>();
            const float filled = component->getForeground().getSize().x;
            problem += filled >= 0.0f && filled <= component->getSize().x + 0.001f ? "" : "a bar overflows; ";
        }
        return problem;
    }

    std::streambuf* m_gameLog = std::cout.rdbuf(nullptr); // the game's step log would flood the output
    test::MatchFixture m;
    std::mt19937 m_random;
    ControllerInput& m_controllers = ControllerInput::getInstance();
    bool m_wasInMatch = false;
    sf::Vector2i m_lastCell;
    int m_stuck = 0;
};

TEST(SoakTest, WholeMatchesUnderRandomInputKeepTheInvariants)
{
    const char* fromEnvironment = std::getenv("TUMBRELT_SOAK_SEED");
    const unsigned seed = fromEnvironment ? unsigned(std::strtoul(fromEnvironment, nullptr, 10)) : 20261206u;
    Soak soak(seed);
    // At least MinFrames frames, then on until each way a match ends has been seen (at most MaxFrames;
    // the default seed has seen all three by frame 3,017, in its fourth match).
    constexpr int MinFrames = 3000;
    constexpr int MaxFrames = 20000;
    for (int frame = 0; frame < MaxFrames && (frame < MinFrames || !soak.seenAll()); ++frame)
    {
        ASSERT_EQ(soak.step(frame), "") << "seed " << seed << ", frame " << frame;
    }
    EXPECT_TRUE(soak.seenAll()) << "a Runner's win, a Builder's and an escape, seed " << seed;
}
} // namespace
} // namespace orv_gd
