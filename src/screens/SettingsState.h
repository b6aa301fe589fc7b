#pragma once

#include "core/GameState.h"
#include "core/Settings.h"

#include <SFML/Graphics/Color.hpp>

#include <cstddef>
#include <memory>
#include <string>

namespace sf
{
class Font;
}

namespace orv_gd
{
class ControllerInput;
class InputManager;

/// The settings screen, from S on the menu or a controller's Back button: the window, the
/// volume, the mute, the turn time, the board's palette and the keys of both roles. Up and Down choose a row,
/// Left and Right change its value, Enter then a key puts an action on that key, Escape saves and goes back
/// to the menu. Every change takes effect at once; the file is written when leaving.
class SettingsState : public GameState
{
public:
    enum Row : std::size_t
    {
        Window,
        Volume,
        Mute,
        TurnTime,
        Palette,
        FirstKey,
        ResetKeys = FirstKey + Settings::ActionCount,
        RowCount
    };

    SettingsState(GameStateManager* gameStateManager, Game* game);

    void init() override;
    void update(float deltaTime) override;
    void draw() override;

    std::size_t getRow() const { return m_row; }
    /// Whether the next key pressed goes to the chosen action.
    bool isWaitingForKey() const { return m_waiting; }
    /// The line under the rows: what the chosen row does.
    std::string describe(std::size_t row) const;
    /// The line that answers the last thing the player did (a refused key, a failed save).
    const std::string& getStatus() const { return m_status; }
    /// A row's name and value as shown.
    std::string label(std::size_t row) const;
    std::string value(std::size_t row) const;

private:
    void move(int rows);
    /// Left (-1) or Right (+1) on the chosen row.
    void change(int step);
    void choose();
    void readKey();
    void leave();
    void say(const std::string& status, bool problem);
    /// Presses of the controller's stick or pad, Back and A, once per push.
    void readController();

    std::size_t m_row = 0;
    bool m_waiting = false;
    std::string m_status;
    bool m_statusIsProblem = false;
    /// The settings when the screen opened: they are saved on leaving only when changed.
    Settings m_atEntry;
    /// A failed save is said once; the next Escape leaves without it.
    bool m_saveFailed = false;
    /// Per direction (up, down, left, right, A, B): held in the last frame.
    std::array<bool, 6> m_controllerHeld{};

    std::shared_ptr<sf::Font> m_font;
    InputManager& m_input;
    ControllerInput& m_controllers;
};
} // namespace orv_gd
