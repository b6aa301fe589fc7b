#pragma once

#include "core/Game.h"
#include "support/TempWorkDir.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace orv_gd
{
class ControllerInput;
class EndState;
class InputManager;
class MenuState;
class TutorialState;
} // namespace orv_gd

namespace orv_gd::test
{
class RecordingState;

/// The three picture screens in a real Game: an 800x600 window (needs an X display), the game's
/// key bindings, every asset of the catalogue, simulated controllers, and a recording stand-in
/// registered as "MainState". Frames are driven by hand; keys go in as window events through
/// the input manager, and standard output is captured.
class ScreenFixture
{
public:
    static constexpr float Step = 1.0f / 60.0f;

    ScreenFixture();
    ~ScreenFixture();

    ScreenFixture(const ScreenFixture&) = delete;
    ScreenFixture& operator=(const ScreenFixture&) = delete;

    /// One frame as the game runs it: input tables shift, then the state manager updates.
    void frame(float dt = Step);
    void runFor(float seconds, float dt = Step);
    /// Requests a screen and runs the frame that makes it current.
    void enter(const std::string& name, float dt = Step);

    void press(sf::Keyboard::Key key);
    void release(sf::Keyboard::Key key);
    /// Press, one frame, release, one frame.
    void tap(sf::Keyboard::Key key, float dt = Step);

    /// Clears, draws the current screen and returns the window's back buffer.
    sf::Image render();

    /// The name under which the current screen is registered ("" when none is).
    std::string current();
    std::string output() const { return m_output.str(); }
    unsigned removeAllWidgetsCount() { return m_game.getGui().getRemoveAllWidgetsCount(); }

    Game& game() { return m_game; }
    InputManager& input() { return m_input; }
    ControllerInput& controllers() { return m_controllers; }
    MenuState& menu() { return *m_menu; }
    TutorialState& tutorial() { return *m_tutorial; }
    EndState& end() { return *m_end; }
    RecordingState& match() { return *m_match; }

private:
    TempWorkDir m_workDir;
    Game m_game;
    InputManager& m_input;
    ControllerInput& m_controllers;
    std::shared_ptr<MenuState> m_menu;
    std::shared_ptr<TutorialState> m_tutorial;
    std::shared_ptr<EndState> m_end;
    std::vector<std::string> m_log;
    std::shared_ptr<RecordingState> m_match;
    std::ostringstream m_output;
    std::streambuf* m_previousOutput;
};
} // namespace orv_gd::test
