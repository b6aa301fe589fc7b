#include "screens/SettingsState.h"

#include "core/ControllerInput.h"
#include "core/Game.h"
#include "core/GameStateManager.h"
#include "core/InputManager.h"
#include "resources/AssetManager.h"
#include "resources/TraceRecorder.h"
#include "screens/ScreenHelper.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/View.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace orv_gd
{
namespace
{
const sf::Color Background{24, 24, 28};
const sf::Color Chosen{245, 158, 11};
const sf::Color Plain{230, 230, 230};
const sf::Color Quiet{160, 160, 170};
const sf::Color Problem{255, 120, 120};
const sf::Color Good{120, 220, 140};
constexpr float StickThreshold = 50.0f;

const char* const Footer = "Up/Down: choose   Left/Right: change   Enter: set a key   Esc: save and back";

template <typename T, std::size_t N>
T stepThrough(const std::array<T, N>& choices, T current, int step)
{
    const auto at = std::find(choices.begin(), choices.end(), current);
    const int index = at == choices.end() ? 0 : static_cast<int>(at - choices.begin());
    const int count = static_cast<int>(N);
    return choices[static_cast<std::size_t>(((index + step) % count + count) % count)];
}
} // namespace

SettingsState::SettingsState(GameStateManager* gameStateManager, Game* game)
    : GameState(gameStateManager, game), m_input(InputManager::getInstance()),
      m_controllers(ControllerInput::getInstance())
{
}

void SettingsState::init()
{
    TRACE_SCOPE("orv_gd::SettingsState::init");
    m_font = AssetManager::getInstance().GetFont("consolab");
    m_row = 0;
    m_waiting = false;
    m_status.clear();
    m_saveFailed = false;
    m_atEntry = m_game->getSettings();
    // What brought the player here is still held: it must be let go first.
    m_controllerHeld.fill(true);
}

void SettingsState::update(float deltaTime)
{
    TRACE_SCOPE("orv_gd::SettingsState::update");
    m_timeInState += deltaTime;
    if (m_waiting)
    {
        readKey();
        return;
    }
    if (m_input.isKeyPressed(sf::Keyboard::Up))
    {
        move(-1);
    }
    if (m_input.isKeyPressed(sf::Keyboard::Down))
    {
        move(1);
    }
    if (m_input.isKeyPressed(sf::Keyboard::Left))
    {
        change(-1);
    }
    if (m_input.isKeyPressed(sf::Keyboard::Right))
    {
        change(1);
    }
    if (m_input.isKeyPressed(sf::Keyboard::Enter))
    {
        choose();
    }
    if (m_input.isKeyPressed(sf::Keyboard::Escape))
    {
        leave();
        return;
    }
    readController();
}

void SettingsState::readController()
{
    std::array<bool, 6> held{};
    ScreenHelper::forEachController(
        m_controllers,
        [&](unsigned slot)
        {
            const float x = m_controllers.getAxisPosition(slot, sf::Joystick::X);
            const float y = m_controllers.getAxisPosition(slot, sf::Joystick::Y);
            held[0] = held[0] || y < -StickThreshold;
            held[1] = held[1] || y > StickThreshold;
            held[2] = held[2] || x < -StickThreshold;
            held[3] = held[3] || x > StickThreshold;
            held[4] = held[4] || m_controllers.isButtonPressed(slot, ScreenHelper::SelectButton);
            held[5] = held[5] || m_controllers.isButtonPressed(slot, ScreenHelper::ExitButton) ||
                      m_controllers.isButtonPressed(slot, ControllerInput::ButtonBack);
        });
    std::array<bool, 6> pushed{};
    for (std::size_t i = 0; i < held.size(); ++i)
    {
        pushed[i] = held[i] && !m_controllerHeld[i];
    }
    m_controllerHeld = held;
    if (pushed[0] || pushed[1])
    {
        move(pushed[0] ? -1 : 1);
    }
    if (pushed[2] || pushed[3])
    {
        change(pushed[2] ? -1 : 1);
    }
    // A controller cannot press a key: A changes the rows that have a value to change.
    if (pushed[4])
    {
        m_row < FirstKey ? change(1) : choose();
    }
    if (pushed[5])
    {
        leave();
    }
}

void SettingsState::move(int rows)
{
    const int count = static_cast<int>(RowCount);
    m_row = static_cast<std::size_t>(((static_cast<int>(m_row) + rows) % count + count) % count);
    m_status.clear();
}

void SettingsState::change(int step)
{
    // The rows show the run's values (the command line's over the file's): a change starts there.
    const Settings run = m_game->getRunSettings();
    Settings chosen = run;
    switch (m_row)
    {
    case Window:
        chosen.window = stepThrough(
            std::array<WindowMode, 3>{WindowMode::Borderless, WindowMode::Windowed, WindowMode::Fullscreen},
            run.window, step);
        break;
    case Volume:
        chosen.volume = std::clamp(run.volume + step * Settings::VolumeStep, 0, 100);
        break;
    case Mute:
        chosen.mute = !run.mute;
        break;
    case TurnTime:
        chosen.turnSeconds = stepThrough(Settings::TurnChoices, run.turnSeconds, step);
        break;
    case Palette:
        chosen.palette = stepThrough(PaletteChoices, run.palette, step);
        break;
    default:
        return;
    }
    m_status.clear();
    m_game->changeSettings(chosen);
}

void SettingsState::choose()
{
    if (m_row >= FirstKey && m_row < ResetKeys)
    {
        m_waiting = true;
        const std::size_t action = m_row - FirstKey;
        say("Press the new key for \"" + std::string(Settings::actions()[action].label) + "\" (Esc: keep " +
                Settings::keyName(m_game->getSettings().keys[action]) + ").",
            false);
    }
    else if (m_row == ResetKeys)
    {
        Settings chosen = m_game->getRunSettings();
        chosen.resetKeys();
        m_game->changeSettings(chosen);
        say("Every key is back to its default.", false);
    }
    else
    {
        change(1);
    }
}

void SettingsState::readKey()
{
    for (int key = 0; key < sf::Keyboard::KeyCount; ++key)
    {
        if (!m_input.isKeyPressed(key))
        {
            continue;
        }
        m_waiting = false;
        if (key == sf::Keyboard::Escape)
        {
            m_status.clear();
            return;
        }
        const std::size_t action = m_row - FirstKey;
        Settings chosen = m_game->getRunSettings();
        const std::string refused = chosen.rebind(action, key);
        if (!refused.empty())
        {
            say(refused + " Enter to try another.", true);
            return;
        }
        m_game->changeSettings(chosen);
        say(std::string(Settings::actions()[action].label) + " is now " + Settings::keyName(key) + ".",
            false);
        return;
    }
}

void SettingsState::leave()
{
    if (m_game->getSettings() != m_atEntry && !m_saveFailed)
    {
        const std::string problem = m_game->saveSettings();
        if (!problem.empty())
        {
            std::cerr << "tumbrelt: " << problem << std::endl;
            m_saveFailed = true;
            say("Not saved: " + problem + ". Esc again to go back anyway.", true);
            return;
        }
    }
    m_gameStateManager->setState("MenuState");
}

void SettingsState::say(const std::string& status, bool problem)
{
    m_status = status;
    m_statusIsProblem = problem;
}

std::string SettingsState::label(std::size_t row) const
{
    switch (row)
    {
    case Window:
        return "Window";
    case Volume:
        return "Volume";
    case Mute:
        return "Mute";
    case TurnTime:
        return "Turn time";
    case Palette:
        return "Palette";
    case ResetKeys:
        return "Reset keys to defaults";
    default:
        return row < ResetKeys ? Settings::actions()[row - FirstKey].label : "";
    }
}

std::string SettingsState::value(std::size_t row) const
{
    const Settings run = m_game->getRunSettings();
    switch (row)
    {
    case Window:
        return Settings::windowName(run.window);
    case Volume:
        return std::to_string(run.volume) + " %";
    case Mute:
        return run.mute ? "on" : "off";
    case TurnTime:
        return std::to_string(run.turnSeconds) + " s";
    case Palette:
        return paletteName(run.palette);
    case ResetKeys:
        return "";
    default:
        if (m_waiting && row == m_row)
        {
            return "...";
        }
        return row < ResetKeys ? Settings::keyName(run.keys[row - FirstKey]) : "";
    }
}

std::string SettingsState::describe(std::size_t row) const
{
    const Settings run = m_game->getRunSettings();
    const CommandLine& line = m_game->getCommandLine();
    switch (row)
    {
    case Window:
        if (line.windowed || line.fullscreen)
        {
            return std::string("This run is ") + (line.windowed ? "--windowed" : "--fullscreen") +
                   "; Left/Right chooses for good.";
        }
        return run.window == WindowMode::Windowed
                   ? "A 1280x720 window with a frame: drag its edges to resize it."
               : run.window == WindowMode::Fullscreen ? "The whole display for the game alone."
                                                      : "The whole desktop without a frame, as at first.";
    case Volume:
        return "How loud the sounds play: Left and Right in steps of 10 %.";
    case Mute:
        return line.mute ? "This run is --mute; Left/Right chooses for good."
                         : "On: no sound at all, whatever the volume.";
    case TurnTime:
        return "How long each turn lasts, for the Runner and the Builder alike.";
    case Palette:
        return run.palette == PaletteChoice::ColourBlind
                   ? "Colours told apart by every kind of colour vision."
               : run.palette == PaletteChoice::HighContrast ? "Strong steps of lightness between the cells."
                                                            : "The game's own colours.";
    case ResetKeys:
        return "Enter puts every key of both roles back to its default.";
    default:
        return "Enter, then the new key. A key in use elsewhere is refused.";
    }
}

void SettingsState::draw()
{
    TRACE_SCOPE("orv_gd::SettingsState::draw");
    sf::RenderWindow& window = m_game->getWindow();
    const sf::Vector2f size(window.getSize());
    // Laid out for the window's size every frame, so a resized window shows it whole.
    window.setView(sf::View(sf::FloatRect(0.0f, 0.0f, size.x, size.y)));
    sf::RectangleShape background(size);
    background.setFillColor(Background);
    window.draw(background);
    if (!m_font)
    {
        return;
    }
    const float unit = size.y / 100.0f;
    const unsigned rowSize =
        static_cast<unsigned>(std::max(12.0f, std::min(2.6f * unit, 1.45f * size.x / 100.0f)));
    const auto text = [&](const std::string& words, unsigned characterSize, sf::Color color, float x, float y,
                          bool centred = false)
    {
        sf::Text line(words, *m_font, characterSize);
        line.setFillColor(color);
        const sf::FloatRect bounds = line.getLocalBounds();
        line.setPosition(std::round(centred ? x - bounds.width / 2.0f - bounds.left : x), std::round(y));
        window.draw(line);
    };

    text("SETTINGS", static_cast<unsigned>(std::max(16.0f, 5.0f * unit)), Plain, size.x / 2.0f, 3.0f * unit,
         true);
    const float labelX = size.x * 0.5f - 30.0f * static_cast<float>(rowSize) * 0.55f;
    const float valueX = size.x * 0.5f + 8.0f * static_cast<float>(rowSize) * 0.55f;
    const float top = 12.0f * unit;
    const float step = 3.6f * unit;
    for (std::size_t row = 0; row < RowCount; ++row)
    {
        // A gap before the keys and before the reset sets the groups apart.
        const float y = top + step * static_cast<float>(row) + (row >= FirstKey ? step * 0.4f : 0.0f) +
                        (row >= ResetKeys ? step * 0.4f : 0.0f);
        const bool chosen = row == m_row;
        if (chosen)
        {
            sf::RectangleShape band(
                {labelX * -2.0f + size.x + 4.0f * static_cast<float>(rowSize), step * 0.92f});
            band.setPosition(labelX - 2.0f * static_cast<float>(rowSize), y - step * 0.12f);
            band.setFillColor(sf::Color(60, 60, 70));
            window.draw(band);
        }
        const sf::Color color = chosen ? Chosen : Plain;
        text(label(row), rowSize, color, labelX, y);
        std::string shown = value(row);
        if (chosen && row < FirstKey)
        {
            shown = "< " + shown + " >";
        }
        text(shown, rowSize, color, valueX, y);
    }
    text(describe(m_row), rowSize, Quiet, size.x / 2.0f, 85.0f * unit, true);
    if (!m_status.empty())
    {
        text(m_status, rowSize, m_statusIsProblem ? Problem : Good, size.x / 2.0f, 90.5f * unit, true);
    }
    text(Footer, rowSize, Quiet, size.x / 2.0f, 95.0f * unit, true);
}
} // namespace orv_gd
