#include "match/RunnerStrategy.h"

#include "core/ControllerInput.h"
#include "core/EndState.h"
#include "core/GameStateManager.h"
#include "match/BlockComponent.h"
#include "match/BlockType.h"
#include "match/GridManager.h"
#include "match/MainState.h"
#include "objects/GameObject.h"
#include "support/MatchFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace orv_gd
{
namespace
{
using Key = sf::Keyboard::Key;

/// A match in the Runner's turn on a field without platforms; each test lays its own ground.
class RunnerStrategyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m = std::make_unique<test::MatchFixture>();
        m->clearPlatforms();
        m->giveTurnTo(StrategyType::Runner);
    }

    RunnerStrategy& runner() { return m->runner(); }
    sf::Vector2i cell() const { return m->runnerCell(); }
    bool endScreenRequested()
    {
        GameState* end = m->states().findState("EndState");
        return m->states().getPendingState() == end || m->states().getCurrentState() == end;
    }
    StrategyType winner() { return dynamic_cast<EndState&>(*m->states().findState("EndState")).getWinner(); }
    void endTurnAndComeBack()
    {
        m->tap(Key::Q);
        ASSERT_EQ(m->match().getCurrentStrategy(), StrategyType::Builder);
        m->giveTurnTo(StrategyType::Runner);
    }

    std::unique_ptr<test::MatchFixture> m;
};

TEST_F(RunnerStrategyTest, JumpForceIsEarnedByWalkingAndCappedAtSeven)
{
    m->putFloor(10, 0, 20);
    m->tap(Key::W);
    EXPECT_EQ(cell(), sf::Vector2i(0, 9)) << "no jump before the Runner has walked";

    for (int step = 1; step <= 4; ++step)
    {
        m->tap(Key::D);
        EXPECT_EQ(cell(), sf::Vector2i(step, 9));
        EXPECT_EQ(runner().getJumpForce(), step);
        EXPECT_EQ(runner().getXMovement(), 4 - step);
    }
    m->tap(Key::D);
    EXPECT_EQ(cell(), sf::Vector2i(4, 9)) << "the horizontal budget is spent";

    endTurnAndComeBack();
    EXPECT_EQ(runner().getXMovement(), 4);
    for (int step = 0; step < 4; ++step)
    {
        m->tap(Key::D);
    }
    EXPECT_EQ(runner().getJumpForce(), 7);

    m->tap(Key::W);
    EXPECT_EQ(cell(), sf::Vector2i(8, 8));
    EXPECT_EQ(runner().getJumpForce(), 6);
    m->frames(30);
    EXPECT_EQ(cell(), sf::Vector2i(8, 8)) << "a jump does not fall back within the turn";
}

TEST_F(RunnerStrategyTest, StepsOverAGapDropOneRowEachAndAreLogged)
{
    m->putFloor(10, 0, 1);
    testing::internal::CaptureStdout();
    m->tap(Key::D);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "remaining movement before: 4\n"
                                                      "remaining jump force before: 0\n"
                                                      "moved block from 0, 9 to 1, 9\n"
                                                      "---------------\n"
                                                      "remaining movement after: 3\n"
                                                      "remaining jump force after: 1\n"
                                                      "-------------------------\n");
    m->tap(Key::D);
    EXPECT_EQ(cell(), sf::Vector2i(2, 10));
    m->tap(Key::D);
    EXPECT_EQ(cell(), sf::Vector2i(3, 11));
    m->tap(Key::D);
    EXPECT_EQ(cell(), sf::Vector2i(4, 12));
    EXPECT_EQ(m->object("runner_safezone")->getComponents<BlockComponent>().front()->getGridPosition(),
              sf::Vector2i(3, 11))
        << "the safe zone moves with the Runner";
}

TEST_F(RunnerStrategyTest, WalkingIntoAWallInTheAirFallsOneRow)
{
    m->putFloor(10, 0, 1);
    m->putBlock({3, 10}, static_cast<int>(BlockType::Static));
    m->tap(Key::D);
    m->tap(Key::D);
    ASSERT_EQ(cell(), sf::Vector2i(2, 10));

    testing::internal::CaptureStdout();
    m->tap(Key::D);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(log.find("can't move to 3, 10\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("remaining movement after"), std::string::npos) << "an early stop prints no summary";
    EXPECT_EQ(cell(), sf::Vector2i(2, 11));
    EXPECT_EQ(runner().getXMovement(), 1);
    EXPECT_EQ(runner().getJumpForce(), 3);
}

TEST_F(RunnerStrategyTest, TheBottomRowResetsAndEndsTheTurn)
{
    m->putFloor(10, 0, 1);
    m->placeRunner({5, 12});
    m->tap(Key::D);
    EXPECT_EQ(cell(), sf::Vector2i(6, 13));
    m->tap(Key::D);
    EXPECT_EQ(cell(), sf::Vector2i(7, 14)) << "a fall may end on the bottom row";
    m->press(Key::D);
    m->frame();
    EXPECT_EQ(cell(), sf::Vector2i(0, 9));
    EXPECT_EQ(runner().getResetsLeft(), 1);
    EXPECT_EQ(runner().getXMovement(), 0);
    EXPECT_EQ(runner().getJumpForce(), 0);
    EXPECT_EQ(m->object("runner_safezone")->getComponents<BlockComponent>().front()->getGridPosition(),
              sf::Vector2i(-1, 8));
    EXPECT_EQ(m->match().getCurrentStrategy(), StrategyType::Runner);
    m->frame();
    EXPECT_EQ(m->match().getCurrentStrategy(), StrategyType::Builder) << "the zero budget ends the turn";
}

TEST_F(RunnerStrategyTest, ResetOnACoveredStartCellUsesTheNearestFreeCellAbove)
{
    m->putFloor(10, 0, 10);
    m->placeRunner({6, 9});
    m->putBlock({0, 9}, static_cast<int>(BlockType::Static));
    m->tap(Key::R);
    EXPECT_EQ(cell(), sf::Vector2i(0, 8));
    EXPECT_EQ(m->object("runner_safezone")->getComponents<BlockComponent>().front()->getGridPosition(),
              sf::Vector2i(-1, 7));
}

TEST_F(RunnerStrategyTest, TheThirdResetHandsTheWinToTheBuilder)
{
    m->putFloor(10, 0, 10);
    m->tap(Key::R);
    EXPECT_EQ(runner().getResetsLeft(), 1);
    EXPECT_EQ(m->match().getCurrentStrategy(), StrategyType::Builder);
    m->giveTurnTo(StrategyType::Runner);
    m->tap(Key::R);
    EXPECT_EQ(runner().getResetsLeft(), 0);
    EXPECT_FALSE(endScreenRequested());
    m->giveTurnTo(StrategyType::Runner);

    m->press(Key::R);
    m->frame();
    EXPECT_EQ(runner().getResetsLeft(), -1);
    EXPECT_TRUE(endScreenRequested());
    EXPECT_EQ(winner(), StrategyType::Builder);
    EXPECT_TRUE(m->match().isMatchOver());

    m->release(Key::R);
    m->frame();
    EXPECT_EQ(m->states().getCurrentState(), m->states().findState("EndState"));
    EXPECT_TRUE(m->match().getStrategies().empty()) << "the match was torn down";
}

TEST_F(RunnerStrategyTest, LeftWithRightMovesRightAndRightWithUpJumps)
{
    m->putFloor(10, 0, 10);
    m->tapTogether({Key::A, Key::D});
    EXPECT_EQ(cell(), sf::Vector2i(1, 9));
    m->tapTogether({Key::D, Key::W});
    EXPECT_EQ(cell(), sf::Vector2i(1, 8));
    EXPECT_EQ(runner().getXMovement(), 3);
}

TEST_F(RunnerStrategyTest, TheMapEdgesHoldTheRunnerIn)
{
    m->putFloor(10, 0, 10);
    m->tap(Key::A);
    EXPECT_EQ(cell(), sf::Vector2i(0, 9)) << "column 0 pressing left stays in the map";

    m->putFloor(1, 2, 4);
    m->placeRunner({2, 0});
    m->tap(Key::D);
    ASSERT_EQ(cell(), sf::Vector2i(3, 0));
    m->tap(Key::W);
    EXPECT_EQ(cell(), sf::Vector2i(3, 0)) << "no jump above row 0";
}

TEST_F(RunnerStrategyTest, TheFinishWinsHalfASecondLater)
{
    m->putFloor(10, 0, 10);
    m->putBlock({1, 9}, static_cast<int>(BlockType::Finish));
    m->press(Key::D);
    m->frame(0.1f);
    EXPECT_TRUE(runner().hasReachedFinish());
    EXPECT_EQ(cell(), sf::Vector2i(1, 9)) << "the Runner is shown on the finish cell";
    EXPECT_EQ(m->grid().getBlockAt(1, 9)->getType(), BlockType::Finish);
    m->release(Key::D);
    m->frames(3, 0.1f);
    EXPECT_FALSE(endScreenRequested());
    m->tap(Key::Q);
    EXPECT_EQ(m->match().getCurrentStrategy(), StrategyType::Runner) << "the turn is no longer handed over";
    m->frame(0.1f);
    EXPECT_TRUE(endScreenRequested());
    EXPECT_EQ(winner(), StrategyType::Runner);
}

TEST_F(RunnerStrategyTest, TheFiftyFirstTurnEndsTheMatch)
{
    m->putFloor(10, 0, 10);
    for (int turn = 1; turn <= 50; ++turn)
    {
        endTurnAndComeBack();
    }
    EXPECT_EQ(runner().getTurnsLeft(), 0);
    EXPECT_FALSE(endScreenRequested());

    testing::internal::CaptureStdout();
    m->tap(Key::Q);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(endScreenRequested());
    EXPECT_EQ(winner(), StrategyType::Builder);
    EXPECT_NE(log.find("RunnerStrategy::handleInput() - RunnerEnd\n"), std::string::npos);
    EXPECT_NE(log.find("starting physic updates\n"), std::string::npos);
    EXPECT_EQ(log.find("BuilderStrategy::enter()"), std::string::npos) << "no turn starts after the last";
}

TEST_F(RunnerStrategyTest, TheTurnEndsAfterTenSecondsWithGravity)
{
    m->putFloor(10, 0, 10);
    m->tap(Key::D);
    m->tap(Key::W);
    ASSERT_EQ(cell(), sf::Vector2i(1, 8));
    testing::internal::CaptureStdout();
    m->runFor(10.05f);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(m->match().getCurrentStrategy(), StrategyType::Builder);
    EXPECT_NE(log.find("\n\nstarting physic updates\n"), std::string::npos);
    EXPECT_EQ(cell(), sf::Vector2i(1, 9)) << "one gravity pass after the turn";
    EXPECT_EQ(runner().getTurnsLeft(), 49);
}

TEST_F(RunnerStrategyTest, ControllerStickStepsOncePerDelay)
{
    m->putFloor(10, 0, 10);
    ControllerInput& controllers = ControllerInput::getInstance();
    controllers.setSimulated(true);
    controllers.setConnected(0, true);
    controllers.setAxis(0, sf::Joystick::X, 100.0f);
    m->runFor(0.5f, 0.05f);
    EXPECT_EQ(cell(), sf::Vector2i(1, 9));
    m->runFor(0.3f, 0.05f);
    EXPECT_EQ(cell(), sf::Vector2i(1, 9)) << "held, the stick repeats only after 0.4 s";
    m->runFor(0.2f, 0.05f);
    EXPECT_EQ(cell(), sf::Vector2i(2, 9));

    controllers.setAxis(0, sf::Joystick::X, 0.0f);
    controllers.setButton(0, 1, true);
    m->runFor(0.5f, 0.05f);
    EXPECT_EQ(m->match().getCurrentStrategy(), StrategyType::Builder) << "button 1 ends the turn";
    controllers.resetSimulated();
}
} // namespace
} // namespace orv_gd
