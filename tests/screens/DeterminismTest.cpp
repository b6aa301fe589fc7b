// Whole matches played through the real game (keys and controllers, the computer players; random
// input in SoakTest), each log replayed through the rules alone: at every turn's start and at the end
// the replay is the match that was played, and feeding it time in frames of 5, 16 or 40 ms changes
// nothing.

#include "core/ControllerInput.h"
#include "support/MatchFixture.h"

#include <iostream>

namespace orv_gd
{
namespace
{
using Key = sf::Keyboard::Key;

class DeterminismTest : public ::testing::Test
{
protected:
    ~DeterminismTest() override { std::cout.rdbuf(m_gameLog); }

    /// Plays frames of `dt` with `input` fed before each, until the match is over (or `frames` ran
    /// out); then the match is left for the menu and its log replayed.
    template <typename Input>
    void playAndReplay(test::MatchFixture& m, float dt, Input&& input, int frames = 40000)
    {
        for (int frame = 0; frame < frames && !m.match().isMatchOver(); ++frame)
        {
            input(frame);
            m.frame(dt);
        }
        EXPECT_TRUE(m.match().isMatchOver()) << "the match did not end";
        m.states().setState("MenuState");
        m.frame(dt); // the match's exit notes where it ended
        expectReplays(m.match());
        m.states().setState("MainState");
        m.frame(0.0f);
        ++played;
    }

    void expectReplays(const MainState& match)
    {
        const rules::MatchLog& log = match.getLog();
        ASSERT_TRUE(log.hasEnded());
        const std::uint64_t played = match.getMatch().digest();
        for (int frameMs : {0, 5, 16, 40})
        {
            std::string error;
            const rules::Match replayed = log.replay(&error, frameMs);
            EXPECT_EQ(error, "") << "frames of " << frameMs << " ms";
            EXPECT_EQ(replayed.digest(), played) << "frames of " << frameMs << " ms";
        }
        EXPECT_GE(log.getTurnDigests().size(), 2u);
    }

    /// Keys go down for one frame and up in the next.
    void tap(test::MatchFixture& m, Key key, int frame) { m.key(key, frame % 2 == 0); }

    std::streambuf* m_gameLog = std::cout.rdbuf(nullptr); // the matches' step log would flood the output
    ControllerInput& controllers = ControllerInput::getInstance();
    int played = 0;
};

TEST_F(DeterminismTest, MatchesOfKeysAndControllersReplayExactlyWhateverTheFrames)
{
    test::MatchFixture m;
    controllers.setSimulated(true);
    controllers.setConnected(1, true);
    for (const float dt : {0.005f, 0.016f, 0.04f, 0.033f})
    {
        int stuck = 0;
        sf::Vector2i last;
        playAndReplay(
            m, dt,
            [&](int frame)
            {
                const bool runner = m.match().getCurrentStrategy() == StrategyType::Runner;
                controllers.setButton(1, ControllerInput::ButtonA, !runner && frame % 40 < 20);
                controllers.setAxis(1, sf::Joystick::X, !runner && frame % 90 < 6 ? -100.0f : 0.0f);
                if (runner && frame % 8 == 0)
                {
                    stuck = m.runnerCell() == last ? stuck + 1 : 0;
                    last = m.runnerCell();
                }
                tap(m, !runner ? Key::Unknown : stuck > 5 ? Key::Q : stuck % 2 ? Key::W : Key::D, frame);
            });
    }
    EXPECT_EQ(played, 4);
}

TEST_F(DeterminismTest, MatchesOfTheComputerPlayersReplayExactly)
{
    test::MatchFixture m(800, 600, MatchMode::ComputerBoth);
    for (int match = 0; match < 3; ++match)
    {
        playAndReplay(m, 0.1f, [](int) {});
    }
}
} // namespace
} // namespace orv_gd
