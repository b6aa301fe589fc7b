// Whole matches of the computer players through the real game, each log replayed through the rules
// alone: at every turn's start and at the end the replay is the match that was played, and feeding
// it time in frames of 5, 16 or 40 ms changes nothing. Matches of keys and controllers, random and
// steered, replay in SoakTest.

#include "support/MatchFixture.h"

#include <iostream>

namespace orv_gd
{
TEST(DeterminismTest, MatchesOfTheComputerPlayersReplayExactlyWhateverTheFrames)
{
    std::streambuf* const gameLog = std::cout.rdbuf(nullptr); // the matches' step log would flood the output
    test::MatchFixture m(800, 600, MatchMode::ComputerBoth);
    for (const float dt : {0.1f, 0.04f, 0.1f})
    {
        for (int frame = 0; frame < 40000 && !m.match().isMatchOver(); ++frame)
        {
            m.frame(dt);
        }
        EXPECT_TRUE(m.match().isMatchOver()) << "the match did not end";
        m.states().setState("MenuState");
        m.frame(dt); // the match's exit notes where it ended
        const rules::MatchLog& log = m.match().getLog();
        EXPECT_TRUE(log.hasEnded());
        EXPECT_GE(log.getTurnDigests().size(), 2u);
        for (int frameMs : {0, 5, 16, 40})
        {
            std::string error;
            EXPECT_EQ(log.replay(&error, frameMs).digest(), m.match().getMatch().digest())
                << frameMs << " ms";
            EXPECT_EQ(error, "") << "frames of " << frameMs << " ms";
        }
        m.states().setState("MainState");
        m.frame(0.0f);
    }
    std::cout.rdbuf(gameLog);
}
} // namespace orv_gd
