#include "computer/ComputerPlayers.h"

#include "computer/ComputerRunner.h"
#include "core/ControllerInput.h"
#include "support/MatchFixture.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <utility>
#include <vector>

namespace orv_gd
{
using Key = sf::Keyboard::Key;

namespace
{
/// A new match in the same program run: the level generator draws the next level.
void nextMatch(test::MatchFixture& m)
{
    m.states().setState("MenuState");
    m.frame(0.1f);
    m.states().setState("MainState");
    m.frame(0.0f);
}

/// The Runner's wins in whole matches of the computer Runner at `runner` against the computer
/// Builder at `builder` on the levels of the generator seeds `seeds`, through the match screen at the
/// computer's own pace in frames of 16 ms as the table plays them. The screen is compared with the
/// rules once a turn.
int runnerWins(Difficulty runner, Difficulty builder, std::initializer_list<std::uint32_t> seeds)
{
    test::MatchFixture m{800, 600, MatchMode::ComputerBoth};
    m.checksEachFrame = false;
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
        for (int frame = 0, turn = 0; frame < 1100 * 63 && !m.match().isMatchOver(); ++frame)
        {
            const int now = m.match().currentMatch().turnNumber;
            if (std::exchange(turn, now) != now)
            {
                EXPECT_EQ(m.screenDiffersFromRules(), "") << "seed " << seed << ", turn " << now;
            }
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
} // namespace

/// The in-process match tests play whole matches at full speed; the step log they write is dropped
/// (a failed stream writes nothing) and the controllers are put back.
class ComputerPlayersTest : public ::testing::Test
{
protected:
    void SetUp() override { std::cout.setstate(std::ios::badbit); }
    void TearDown() override
    {
        std::cout.clear();
        ControllerInput::getInstance().resetSimulated();
        ControllerInput::getInstance().setSimulated(false);
    }
};

/// A sample of `make balance`'s table (bench/Balance.cpp): some of its matches, on the same seeds.
using BalanceTest = ComputerPlayersTest;

TEST_F(ComputerPlayersTest, TheComputerRoleIgnoresKeysAndControllersWhileTheHumanRoleReadsThem)
{
    ControllerInput& controllers = ControllerInput::getInstance();
    controllers.setSimulated(true);
    controllers.setConnected(0, true);
    test::MatchFixture m(800, 600, MatchMode::ComputerRunner);
    // The person builds: Enter drops the block at the cursor.
    m.tap({Key::Enter});
    EXPECT_EQ(m.builder().getBlocksLeft(), 1);
    m.tap({Key::Enter});
    ASSERT_EQ(m.match().getCurrentStrategy(), StrategyType::Runner);
    // The computer runs: D, Q, R and controller 0 do nothing before its first key, once it has
    // thought (at least a second at the normal level) and waited its 0.25 s.
    const sf::Vector2i start = m.runnerCell();
    controllers.setButton(0, 1, true);
    controllers.setAxis(0, sf::Joystick::X, 100.0f);
    m.tap({Key::D, Key::Q, Key::R}, 1, 0.1f);
    m.frame(0.02f);
    EXPECT_EQ(m.runnerCell(), start);
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Runner);
    EXPECT_EQ(m.runner().getResetsLeft(), RunnerStrategy::StartResets);
    EXPECT_FALSE(controllers.isConnected(0)) << "the Runner's controller reads as absent";
    controllers.setButton(0, 1, false);
    controllers.setAxis(0, sf::Joystick::X, 0.0f);
    m.runFor(3.0f, 0.05f);
    EXPECT_NE(m.runnerCell(), start) << "the computer's first step";
    // Two Escapes still leave the match, and the keyboard gets the role back.
    m.tap({Key::Escape}, 2);
    m.frame();
    EXPECT_FALSE(InputManager::getInstance().isComputerAction("RunnerRight", 0));
    EXPECT_TRUE(controllers.isConnected(0));
}

// Each level at a turn time of its own: the Builder's turn ends with its second drop within the
// level's range, the first drop at its share of the turn, the Runner's first key after its thinking.
TEST_F(ComputerPlayersTest, EachLevelTakesAPersonsTimeOverItsTurnsWithinItsOwnRanges)
{
    struct Pace
    {
        Difficulty level;
        int turnSeconds;
        MsRange builderTurnMs;
        int firstDropPercent;
        MsRange runnerThinkMs;
    };
    test::MatchFixture m(800, 600, MatchMode::ComputerBuilder);
    m.tap({Key::Enter, Key::Right, Key::PageUp}, 1, 0.05f);
    EXPECT_EQ(m.builder().getBlocksLeft(), 2) << "the person runs: the Builder's keys drop nothing";
    m.game().setMatchMode(MatchMode::ComputerBoth);
    constexpr float Frame = 0.016f;
    constexpr int FrameMs = 16;
    for (const Pace& plays : {Pace{Difficulty::Easy, 20, {6500, 9000}, 50, {1500, 3500}},
                              Pace{Difficulty::Normal, 15, {3000, 6000}, 90, {1000, 2500}},
                              Pace{Difficulty::Hard, 10, {3000, 5500}, 75, {600, 1800}}})
    {
        SCOPED_TRACE(difficultyName(plays.level));
        Settings settings;
        settings.turnSeconds = plays.turnSeconds;
        settings.computer = {plays.level, plays.level};
        m.game().changeSettings(settings);
        nextMatch(m);
        ASSERT_EQ(m.match().getMatch().config.turnLimitMs, 1000 * plays.turnSeconds);
        std::vector<int> builderTurns, firstKeys;
        std::vector<int> firstDrops; // of the turns in builderTurns, in step
        rules::Match before = m.match().currentMatch();
        bool keyed = false;
        for (int frame = 0; frame < 60 * 300 && builderTurns.size() < 8; ++frame)
        {
            if (m.match().isMatchOver())
            {
                nextMatch(m); // a short match: the next one goes on counting
                firstDrops.resize(builderTurns.size());
                before = m.match().currentMatch();
                keyed = false;
            }
            m.frame(Frame);
            const rules::Match& now = m.match().currentMatch();
            if (before.turn == rules::Role::Builder && now.turnNumber == before.turnNumber &&
                before.blocksLeft == rules::Match::BlocksPerTurn && now.blocksLeft < before.blocksLeft)
            {
                firstDrops.push_back(now.turnMs);
            }
            if (before.turn == rules::Role::Builder && now.turnNumber != before.turnNumber)
            {
                builderTurns.push_back(before.turnMs + FrameMs);
                firstDrops.resize(builderTurns.size(), -1); // a turn without a first drop
            }
            if (now.turn == rules::Role::Runner && now.turnNumber == before.turnNumber && !keyed &&
                now.runner != before.runner)
            {
                firstKeys.push_back(now.turnMs);
                keyed = true;
            }
            keyed = keyed && now.turnNumber == before.turnNumber;
            before = now;
        }
        ASSERT_EQ(builderTurns.size(), 8u);
        ASSERT_GE(firstKeys.size(), 3u);
        // The second drop lands at the turn's planned end, a few frames over it at most, unless
        // the second block needs more keys than a late first drop left time for: once in eight
        // turns at most, and then by a few keys.
        int over = 0;
        for (int ms : builderTurns)
        {
            EXPECT_GE(ms, plays.builderTurnMs.min);
            EXPECT_LE(ms, plays.builderTurnMs.max + 2000);
            over += ms > plays.builderTurnMs.max + 750 ? 1 : 0;
        }
        EXPECT_LE(over, 1);
        // The first block lands at the level's share of the turn, which decides how long it lasts.
        std::vector<int> shares;
        for (std::size_t turn = 0; turn < builderTurns.size(); ++turn)
        {
            if (firstDrops[turn] >= 0)
            {
                shares.push_back(100 * firstDrops[turn] / builderTurns[turn]);
            }
        }
        ASSERT_GE(shares.size(), 6u);
        std::nth_element(shares.begin(), shares.begin() + shares.size() / 2, shares.end());
        EXPECT_NEAR(shares[shares.size() / 2], plays.firstDropPercent, 8);
        const auto [shortest, longest] = std::minmax_element(builderTurns.begin(), builderTurns.end());
        EXPECT_GT(*longest - *shortest, 500) << "the time spreads from turn to turn";
        for (int ms : firstKeys)
        {
            EXPECT_GE(ms, plays.runnerThinkMs.min);
            EXPECT_LE(ms, plays.runnerThinkMs.max + 3 * FrameMs + 250);
        }
        std::fprintf(stderr, "pace %s: Builder turns %d to %d ms, first drop at %d %% (median)\n",
                     difficultyName(plays.level), *shortest, *longest, shares[shares.size() / 2]);
    }
}

// Each level's aim on seeds of the table where it is met: a hard Runner beats an easy Builder (at
// least 90 %), a hard Builder an easy Runner (at least 60 %), normal against normal gives each side
// 35 to 65 %. A Builder win takes all 51 turns, so the sample is small: of the even pair one match
// each way.
TEST_F(BalanceTest, ASampleOfTheTableMeetsTheTargetsOfEachLevel)
{
    EXPECT_EQ(runnerWins(Difficulty::Hard, Difficulty::Easy, {1, 2, 3}), 3);
    EXPECT_EQ(runnerWins(Difficulty::Easy, Difficulty::Hard, {5, 6}), 0);
    EXPECT_EQ(runnerWins(Difficulty::Normal, Difficulty::Normal, {3, 4}), 1) << "one won, one lost";
}
} // namespace orv_gd
