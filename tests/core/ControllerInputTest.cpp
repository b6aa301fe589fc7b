#include "core/ControllerInput.h"

#include <gtest/gtest.h>

namespace orv_gd
{
TEST(ControllerInputTest, SimulatedControllersAnswerForTheRealOnes)
{
    ControllerInput& controllers = ControllerInput::getInstance();
    controllers.setSimulated(true);
    for (unsigned slot = 0; slot < ControllerInput::SlotCount; ++slot)
    {
        EXPECT_FALSE(controllers.isConnected(slot)) << slot;
    }
    controllers.setConnected(1, true);
    controllers.setButton(1, 5, true);
    controllers.setAxis(1, sf::Joystick::X, -45.0f);
    EXPECT_TRUE(controllers.isConnected(1));
    EXPECT_TRUE(controllers.isButtonPressed(1, 5));
    EXPECT_FALSE(controllers.isButtonPressed(1, 4));
    EXPECT_FLOAT_EQ(controllers.getAxisPosition(1, sf::Joystick::X), -45.0f);
    EXPECT_FLOAT_EQ(controllers.getAxisPosition(1, sf::Joystick::Y), 0.0f);

    // A controller that is unplugged reports nothing held, as a real one does.
    controllers.setConnected(1, false);
    EXPECT_FALSE(controllers.isButtonPressed(1, 5));
    EXPECT_FLOAT_EQ(controllers.getAxisPosition(1, sf::Joystick::X), 0.0f);

    controllers.setConnected(1, true);
    controllers.resetSimulated();
    EXPECT_FALSE(controllers.isConnected(1));
    controllers.setConnected(1, true);
    EXPECT_FALSE(controllers.isButtonPressed(1, 5));
}

TEST(ControllerInputTest, OutOfRangeQuestionsAnswerNothingAndAxesStayInRange)
{
    ControllerInput& controllers = ControllerInput::getInstance();
    controllers.setSimulated(true);
    controllers.setConnected(ControllerInput::SlotCount, true);
    controllers.setButton(0, ControllerInput::ButtonCount, true);
    EXPECT_FALSE(controllers.isConnected(ControllerInput::SlotCount));
    EXPECT_FALSE(controllers.isButtonPressed(ControllerInput::SlotCount, 0));
    controllers.setConnected(0, true);
    EXPECT_FALSE(controllers.isButtonPressed(0, ControllerInput::ButtonCount));
    controllers.setAxis(0, sf::Joystick::Y, 250.0f);
    EXPECT_FLOAT_EQ(controllers.getAxisPosition(0, sf::Joystick::Y), 100.0f);
    controllers.setAxis(0, sf::Joystick::Y, -250.0f);
    EXPECT_FLOAT_EQ(controllers.getAxisPosition(0, sf::Joystick::Y), -100.0f);
}

TEST(ControllerInputTest, WithoutSimulationTheDevicesAnswer)
{
    // No controller is plugged into the test machines; the real layer must say so, not crash.
    ControllerInput& controllers = ControllerInput::getInstance();
    controllers.setSimulated(true);
    controllers.setConnected(0, true);
    controllers.setSimulated(false);
    EXPECT_EQ(controllers.isConnected(0), sf::Joystick::isConnected(0));
    EXPECT_FALSE(controllers.isConnected(ControllerInput::SlotCount));
}
} // namespace orv_gd
