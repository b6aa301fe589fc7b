#include "replay/ReplayDriver.h"

#include "replay/ReplayFile.h"
#include "rules/Rules.h"

#include <gtest/gtest.h>

#include <random>

namespace orv_gd
{
namespace
{
/// The rules as the stage: time passes and actions apply to a plain match, and the stage counts them.
class RulesStage : public ReplayDriver::Stage
{
public:
    explicit RulesStage(const rules::MatchLog& log)
        : m_match(rules::Rules::start(log.getStart(), log.getConfig()))
    {
    }
    const rules::Match& match() const override { return m_match; }
    void pass(int ms) override { rules::Rules::advance(m_match, ms); }
    bool act(const rules::Action& action) override
    {
        const rules::Events events = rules::Rules::apply(m_match, action);
        ++acted;
        return events.empty() || events.front().kind != rules::Event::Kind::Refused;
    }

    int acted = 0;

private:
    rules::Match m_match;
};

rules::ReplayFile::Replay saved(const std::string& name = "third-reset")
{
    rules::ReplayFile::Replay replay;
    std::string error;
    EXPECT_TRUE(
        rules::ReplayFile::loadChecked("tests/replay/data/" + name + ".tumbrelt-replay", replay, error))
        << error;
    return replay;
}
} // namespace

// However the frames fall (short, long, a turn skipped now and then) the log plays to the match it
// was: each action at its stamp.
TEST(ReplayDriverTest, AnyFramesPlayTheLogToTheMatchItWas)
{
    const rules::ReplayFile::Replay replay = saved();
    std::mt19937 random(7);
    for (int run = 0; run < 20; ++run)
    {
        ReplayDriver driver(replay.log);
        RulesStage stage(replay.log);
        for (int frame = 0; frame < 100000 && !driver.isAtEnd(stage.match()); ++frame)
        {
            if (run % 2 == 1 && random() % 50 == 0)
            {
                const int turn = stage.match().turnNumber;
                driver.nextTurn(stage);
                ASSERT_TRUE(stage.match().over ||
                            (stage.match().turnNumber == turn + 1 && stage.match().turnMs == 0))
                    << "turn " << turn << " to " << stage.match().turnNumber << " ms "
                    << stage.match().turnMs;
            }
            driver.play(stage, static_cast<int>(random() % (run < 10 ? 40 : 3000)));
            ASSERT_EQ(driver.getProblem(), "");
        }
        EXPECT_EQ(stage.acted, 27);
        EXPECT_TRUE(stage.match().over);
        EXPECT_EQ(stage.match().digest(), replay.digest);
    }
}

// The Runner walled in as turn 6 begins: the rules end that turn at 0 ms, and the log's next action
// lies at turn 7 ms 5. Frames of 16 ms at each speed, or turn by turn, play it as the rules do.
TEST(ReplayDriverTest, AZeroMillisecondTurnIsPlayedThroughAtEverySpeed)
{
    const rules::ReplayFile::Replay replay = saved("walled-in");
    for (const int frameMs : {16, 32, 64, 128, 0})
    {
        ReplayDriver driver(replay.log);
        RulesStage stage(replay.log);
        for (int frame = 0; frame < 10000 && !driver.isAtEnd(stage.match()); ++frame)
        {
            const int turn = stage.match().turnNumber;
            frameMs > 0 ? driver.play(stage, frameMs) : driver.nextTurn(stage);
            ASSERT_EQ(driver.getProblem(), "") << frameMs << " ms frames";
            ASSERT_TRUE(frameMs > 0 || driver.isAtEnd(stage.match()) ||
                        stage.match().turnNumber == (turn == 5 ? 7 : turn + 1));
        }
        EXPECT_EQ(stage.acted, 14);
        EXPECT_EQ(stage.match().digest(), replay.digest) << frameMs << " ms frames";
    }
}

// A left match stops where it was left, whatever is asked; an action the rules refuse stops the
// replay with a reason, and it stands still after it.
TEST(ReplayDriverTest, ALeftMatchOrARefusedActionStopsTheReplayAndTheSlowestSpeedIsOne)
{
    const rules::MatchLog log = saved().log;
    rules::MatchLog left(log.getStart(), log.getConfig());
    for (std::size_t i = 0; i < 10; ++i)
    {
        left.record(log.getEntries()[i].turn, log.getEntries()[i].ms, log.getEntries()[i].action);
    }
    left.finishAt(3, 50, false);
    ReplayDriver driver(left);
    RulesStage stage(left);
    driver.play(stage, 1000000);
    EXPECT_TRUE(driver.isAtEnd(stage.match()));
    EXPECT_EQ(stage.match().turnNumber, 3);
    EXPECT_EQ(stage.match().turnMs, 50);
    driver.nextTurn(stage);
    EXPECT_EQ(stage.match().turnMs, 50);
    driver.slower();
    EXPECT_EQ(driver.getSpeed(), 1) << "nothing slower than 1x";

    rules::MatchLog wrong(log.getStart(), log.getConfig());
    wrong.record(1, 100, rules::Action::jump());
    wrong.finishAt(1, 200, false);
    ReplayDriver refusing(wrong);
    RulesStage refused(wrong);
    refusing.play(refused, 150);
    EXPECT_EQ(refusing.getProblem(), "the rules refuse the log's action 1 there");
    refusing.play(refused, 1000);
    EXPECT_EQ(refused.match().turnMs, 100);
}
} // namespace orv_gd
