#include "core/ControllerInput.h"

namespace orv_gd
{
ControllerInput& ControllerInput::getInstance()
{
    static ControllerInput instance;
    return instance;
}

bool ControllerInput::isConnected(unsigned slot) const
{
    if (slot >= SlotCount || m_ignored[slot])
    {
        return false;
    }
    return m_simulated ? m_controllers[slot].connected : sf::Joystick::isConnected(slot);
}

bool ControllerInput::isButtonPressed(unsigned slot, unsigned button) const
{
    if (slot >= SlotCount || button >= ButtonCount || m_ignored[slot])
    {
        return false;
    }
    if (m_simulated)
    {
        const SimulatedController& controller = m_controllers[slot];
        return controller.connected && controller.buttons[button];
    }
    return sf::Joystick::isButtonPressed(slot, button);
}

float ControllerInput::getAxisPosition(unsigned slot, sf::Joystick::Axis axis) const
{
    const auto axisIndex = static_cast<unsigned>(axis);
    if (slot >= SlotCount || axisIndex >= AxisCount || m_ignored[slot])
    {
        return 0.0f;
    }
    if (m_simulated)
    {
        const SimulatedController& controller = m_controllers[slot];
        return controller.connected ? controller.axes[axisIndex] : 0.0f;
    }
    return sf::Joystick::getAxisPosition(slot, axis);
}

void ControllerInput::setIgnored(unsigned slot, bool ignored)
{
    if (slot < SlotCount)
    {
        m_ignored[slot] = ignored;
    }
}

void ControllerInput::clearIgnored()
{
    m_ignored.fill(false);
}

void ControllerInput::setSimulated(bool simulated)
{
    m_simulated = simulated;
}

void ControllerInput::setConnected(unsigned slot, bool connected)
{
    if (slot < SlotCount)
    {
        m_controllers[slot].connected = connected;
    }
}

void ControllerInput::setButton(unsigned slot, unsigned button, bool pressed)
{
    if (slot < SlotCount && button < ButtonCount)
    {
        m_controllers[slot].buttons[button] = pressed;
    }
}

void ControllerInput::setAxis(unsigned slot, sf::Joystick::Axis axis, float position)
{
    const auto axisIndex = static_cast<unsigned>(axis);
    if (slot < SlotCount && axisIndex < AxisCount)
    {
        // Real sticks never report beyond the full deflection.
        m_controllers[slot].axes[axisIndex] =
            position < -100.0f ? -100.0f : (position > 100.0f ? 100.0f : position);
    }
}

void ControllerInput::resetSimulated()
{
    for (SimulatedController& controller : m_controllers)
    {
        controller = SimulatedController{};
    }
}
} // namespace orv_gd
