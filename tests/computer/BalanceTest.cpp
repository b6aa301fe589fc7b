// The balance of the computer's levels as players meet it: whole matches of the computer against
// itself through the match screen, at the computer's own pace, in frames of 16 ms. A sample of
// `make balance`'s table (bench/Balance.cpp): some of its matches, on the same seeds.
#include "computer/ComputerRunner.h"
#include "core/ControllerInput.h"
#include "support/MatchFixture.h"

#include <iostream>

namespace orv_gd
{
namespace
{
/// Swallows the step log the match screen writes.
struct NullBuffer : std::streambuf
{
    int overflow(int c) override { return c; }
};

class BalanceTest : public ::testing::Test
{
protected:
    void SetUp() override { m_saved = std::cout.rdbuf(&m_null); }
    void TearDown() override
    {
        std::cout.rdbuf(m_saved);
        ControllerInput::getInstance().resetSimulated();
        ControllerInput::getInstance().setSimulated(false);
    }

    /// The Runner's wins in the matches of the computer Runner at `runner` against the computer
    /// Builder at `builder` on the levels of the generator seeds `seeds`.
    int runnerWins(Difficulty runner, Difficulty builder, std::initializer_list<std::uint32_t> seeds)
    {
        m.game().rememberComputerLevels({runner, builder});
        int wins = 0;
        for (const std::uint32_t seed : seeds)
        {
            m.states().setState("MenuState");
            m.frame(0.016f);
            m.match().setNextRng(rules::Rng(seed));
            m.states().setState("MainState");
            m.frame(0.0f);
            // 51 turns of at most 10 s each side is under 1100 s.
            for (int frame = 0; frame < 1100 * 63 && !m.match().isMatchOver(); ++frame)
            {
                m.frame(0.016f);
            }
            EXPECT_TRUE(m.match().isMatchOver()) << "seed " << seed << " did not end";
            EXPECT_EQ(m.match().getComputerPlayers().getRunner()->getSurprises(), 0) << "seed " << seed;
            wins += m.endRequestedFor(StrategyType::Runner) ? 1 : 0;
        }
        std::fprintf(stderr, "%s Runner against %s Builder: %d of %zu\n", difficultyName(runner),
                     difficultyName(builder), wins, seeds.size());
        return wins;
    }

    NullBuffer m_null;
    std::streambuf* m_saved = nullptr;
    test::MatchFixture m{800, 600, MatchMode::ComputerBoth};
};
} // namespace

// Each level's aim on seeds of the table where it is met: a hard Runner beats an easy Builder (at
// least 90 %), a hard Builder an easy Runner (at least 60 %), normal against normal gives each
// side 35 to 65 %. A Builder win takes all 51 turns, so the sample is small: one match of slack
// where it plays more than two, and of the even pair one match each way.
TEST_F(BalanceTest, ASampleOfTheTableMeetsTheTargetsOfEachLevel)
{
    EXPECT_GE(runnerWins(Difficulty::Hard, Difficulty::Easy, {1, 2, 3, 4, 5}), 4);
    EXPECT_LE(runnerWins(Difficulty::Easy, Difficulty::Hard, {4, 5, 6}), 1);
    EXPECT_EQ(runnerWins(Difficulty::Normal, Difficulty::Normal, {3, 4}), 1) << "one won, one lost";
}
} // namespace orv_gd
