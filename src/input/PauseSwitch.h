#pragma once

#include "core/ControllerInput.h"

#include <array>

namespace orv_gd
{
class InputManager;

/// Pauses and resumes a match: "Pause" (P) on the keyboard or Start on any controller, once per
/// press. While paused the match runs nothing, so its turn clock, fades and slides all wait.
class PauseSwitch
{
public:
    PauseSwitch(InputManager& input, ControllerInput& controllers);

    /// Unpaused; a Start button already held (it may have started the match) counts only once let go.
    void reset();
    /// Reads this frame's presses; returns whether the match is paused now.
    bool update();
    bool isPaused() const { return m_paused; }
    /// Pauses without a press of the pause key (the first Escape of a match); P or Start resume.
    void pause() { m_paused = true; }
    /// Takes the state a network match's one pause is in, for the next press to change.
    void hold(bool paused) { m_paused = paused; }

private:
    InputManager& m_input;
    ControllerInput& m_controllers;
    bool m_paused = false;
    std::array<bool, ControllerInput::SlotCount> m_startHeld{};
};
} // namespace orv_gd
