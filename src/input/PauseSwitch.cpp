#include "input/PauseSwitch.h"

#include "core/InputManager.h"

namespace orv_gd
{
PauseSwitch::PauseSwitch(InputManager& input, ControllerInput& controllers)
    : m_input(input), m_controllers(controllers)
{
}

void PauseSwitch::reset()
{
    m_paused = false;
    for (unsigned slot = 0; slot < ControllerInput::SlotCount; ++slot)
    {
        m_startHeld[slot] = m_controllers.isConnected(slot) &&
                            m_controllers.isButtonPressed(slot, ControllerInput::ButtonStart);
    }
}

bool PauseSwitch::update()
{
    bool toggle = m_input.isKeyPressed("Pause", 0);
    for (unsigned slot = 0; slot < ControllerInput::SlotCount; ++slot)
    {
        const bool held = m_controllers.isConnected(slot) &&
                          m_controllers.isButtonPressed(slot, ControllerInput::ButtonStart);
        // Two controllers pressing Start in one frame toggle once.
        toggle = toggle || (held && !m_startHeld[slot]);
        m_startHeld[slot] = held;
    }
    if (toggle)
    {
        m_paused = !m_paused;
    }
    return m_paused;
}
} // namespace orv_gd
