#pragma once

#include "core/ControllerInput.h"
#include "core/InputManager.h"

#include <SFML/Window/Event.hpp>

namespace orv_gd::test
{
/// A key going down or up, as the window reports it to the input.
inline void sendKey(sf::Keyboard::Key code, bool down)
{
    sf::Event event{};
    event.type = down ? sf::Event::KeyPressed : sf::Event::KeyReleased;
    event.key.code = code;
    InputManager::getInstance().process(event);
}

/// Puts the input back as a fresh process has it when it goes: no window, no key held, the real
/// controllers. A test that gives the input manager a window or presses keys holds one.
struct InputRestore
{
    InputRestore() = default;
    InputRestore(const InputRestore&) = delete;
    InputRestore& operator=(const InputRestore&) = delete;
    ~InputRestore()
    {
        InputManager& input = InputManager::getInstance();
        input.setRenderWindow(nullptr);
        sf::Event focusLost{};
        focusLost.type = sf::Event::LostFocus;
        input.process(focusLost);
        input.update(); // released this frame
        input.update(); // and up since the last
        input.takeTyped();
        ControllerInput::getInstance().resetSimulated();
        ControllerInput::getInstance().setSimulated(false);
    }
};
} // namespace orv_gd::test
