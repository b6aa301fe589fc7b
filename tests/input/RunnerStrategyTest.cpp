#include "input/RunnerStrategy.h"

#include "core/ControllerInput.h"
#include "support/MatchFixture.h"
#include "view/GridRenderer.h"

#include <algorithm>

namespace orv_gd
{
using Key = sf::Keyboard::Key;
using Cell = sf::Vector2i;

/// A match in the Runner's turn; tests lay their own ground above the level's platforms (rows 10 to 12).
class RunnerStrategyTest : public ::testing::Test
{
protected:
    RunnerStrategyTest()
    {
        m.placeRunner({0, 4});
        m.giveTurnTo(StrategyType::Runner);
        controllers.setSimulated(true);
        controllers.setConnected(0, true);
    }
    test::MatchFixture m;
    ControllerInput& controllers = ControllerInput::getInstance();
};

TEST_F(RunnerStrategyTest, JumpForceIsEarnedByWalkingAndGravityFollowsTheTurn)
{
    m.put(5, 0, 20);
    m.tap({Key::W});
    EXPECT_EQ(m.runnerCell(), Cell(0, 4)) << "no jump before the Runner has walked";
    m.tap({Key::D}, 5);
    EXPECT_EQ(m.runnerCell(), Cell(4, 4)) << "four steps per turn";
    controllers.setButton(0, 1, true);
    m.runFor(0.5f, 0.05f);
    controllers.setButton(0, 1, false);
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Builder) << "button 1 ends the turn";
    m.giveTurnTo(StrategyType::Runner);
    m.tap({Key::D}, 4);
    EXPECT_EQ(m.runner().getJumpForce(), 7);
    m.tap({Key::D, Key::W});
    EXPECT_EQ(m.runnerCell(), Cell(8, 3)) << "right with up jumps";
    m.runFor(9.7f - m.runner().getTimeInTurn());
    EXPECT_EQ(m.runnerCell(), Cell(8, 3)) << "a jump does not fall back within the turn";
    EXPECT_NE(test::stdoutOf([&] { m.runFor(0.3f); }).find("\n\nstarting physic updates\n"),
              std::string::npos);
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Builder) << "ten seconds end the turn";
    EXPECT_EQ(m.runnerCell(), Cell(8, 4)) << "one gravity pass";
}

TEST_F(RunnerStrategyTest, TheFrameThatEndsTheTurnTakesNoStepAndNoReset)
{
    m.put(5, 0, 20);
    while (m.runner().getTimeInTurn() < 9.9f)
    {
        m.frame(0.05f);
    }
    const std::string log = test::stdoutOf([&] { m.tap({Key::D}, 1, 0.1f); });
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Builder) << "ten seconds end the turn";
    EXPECT_EQ(m.runnerCell(), Cell(0, 4)) << "no step in the Builder's turn, after the gravity pass";
    EXPECT_EQ(log.find("remaining movement before"), std::string::npos) << log;

    // Ending the turn and asking for a reset in one frame, by keys or on the controller: the turn
    // ends, and the reset would have been spent in the Builder's turn.
    for (bool controller : {false, true})
    {
        SCOPED_TRACE(controller ? "controller B and Y" : "keys Q and R");
        m.giveTurnTo(StrategyType::Runner);
        m.placeRunner({2, 4});
        m.frame(0.5f);
        controllers.setButton(0, ControllerInput::ButtonB, controller);
        controllers.setButton(0, ControllerInput::ButtonY, controller);
        controller ? m.frame() : m.tap({Key::Q, Key::R}); // one frame with both buttons, or both keys tapped
        controllers.setButton(0, ControllerInput::ButtonB, false);
        controllers.setButton(0, ControllerInput::ButtonY, false);
        EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Builder);
        EXPECT_EQ(m.runnerCell(), Cell(2, 4));
        EXPECT_EQ(m.runner().getResetsLeft(), 2);
    }
}

TEST_F(RunnerStrategyTest, LeftWithRightStepsRightAndEachStepOverAGapFallsOneRowAsDoesAWallInTheAir)
{
    m.put(5, 0, 1);
    m.tap({Key::A}); // in column 0 left stays in the map; then left with right steps right, and a
    // jump with no force to pay for it yields to the step
    const std::string step = test::stdoutOf([&] { m.tap({Key::A, Key::D, Key::W}); });
    EXPECT_EQ(step,
              "remaining movement before: 4\nremaining jump force before: 0\nmoved block from 0, 4 to 1, 4\n"
              "---------------\nremaining movement after: 3\nremaining jump force after: 1\n"
              "-------------------------\n");
    m.tap({Key::D});
    EXPECT_EQ(m.runnerCell(), Cell(2, 5));
    m.put(5, 3, 3);
    const std::string log = test::stdoutOf([&] { m.tap({Key::D}); });
    EXPECT_NE(log.find("can't move to 3, 5\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("remaining movement after"), std::string::npos) << "an early stop prints no summary";
    EXPECT_EQ(m.runnerCell(), Cell(2, 6));
}

TEST_F(RunnerStrategyTest, TheStickStepsEitherWayWithFourTenthsOfASecondBetweenControllerActions)
{
    m.put(5, 0, 20);
    std::string cells;
    for (int frame = 0; frame < 19; ++frame) // right for 12 frames, then left
    {
        controllers.setAxis(0, sf::Joystick::X, frame < 12 ? 100.0f : -100.0f);
        m.frame(0.1f);
        cells += std::to_string(m.runnerCell().x);
    }
    // A step only once more than 0.4 s have passed since the last (here six frames of 0.1 s).
    EXPECT_EQ(cells, "0000011111122222211");
}

} // namespace orv_gd
