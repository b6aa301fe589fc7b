#include "core/Settings.h"

#include "resources/SafeFile.h"

#include "core/CommandLine.h"
#include "core/InputManager.h"
#include "core/SettingsReader.h"

#include <SFML/Window/Keyboard.hpp>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace orv_gd
{
namespace
{
using Key = sf::Keyboard::Key;

const std::array<BindableAction, Settings::ActionCount> Actions{{
    {"RunnerLeft", 0, Key::A, "Runner: step left"},
    {"RunnerRight", 0, Key::D, "Runner: step right"},
    {"RunnerUp", 0, Key::W, "Runner: jump"},
    {"RunnerEnd", 0, Key::Q, "Runner: end the turn"},
    {"RunnerReset", 0, Key::R, "Runner: reset"},
    {"BuilderLeft", 1, Key::Left, "Builder: block left"},
    {"BuilderRight", 1, Key::Right, "Builder: block right"},
    {"BuilderUp", 1, Key::Up, "Builder: block up"},
    {"BuilderDown", 1, Key::Down, "Builder: block down"},
    {"BuilderPlace", 1, Key::Enter, "Builder: place the block"},
    {"BuilderRotateLeft", 1, Key::PageUp, "Builder: turn left"},
    {"BuilderRotateRight", 1, Key::PageDown, "Builder: turn right"},
}};

// In the order of sf::Keyboard::Key, from A (0) to Pause (KeyCount - 1).
const std::array<const char*, sf::Keyboard::KeyCount> KeyNames{
    "A",         "B",        "C",       "D",         "E",        "F",         "G",        "H",
    "I",         "J",        "K",       "L",         "M",        "N",         "O",        "P",
    "Q",         "R",        "S",       "T",         "U",        "V",         "W",        "X",
    "Y",         "Z",        "Num0",    "Num1",      "Num2",     "Num3",      "Num4",     "Num5",
    "Num6",      "Num7",     "Num8",    "Num9",      "Escape",   "LControl",  "LShift",   "LAlt",
    "LSystem",   "RControl", "RShift",  "RAlt",      "RSystem",  "Menu",      "LBracket", "RBracket",
    "Semicolon", "Comma",    "Period",  "Quote",     "Slash",    "Backslash", "Tilde",    "Equal",
    "Hyphen",    "Space",    "Enter",   "Backspace", "Tab",      "PageUp",    "PageDown", "End",
    "Home",      "Insert",   "Delete",  "Add",       "Subtract", "Multiply",  "Divide",   "Left",
    "Right",     "Up",       "Down",    "Numpad0",   "Numpad1",  "Numpad2",   "Numpad3",  "Numpad4",
    "Numpad5",   "Numpad6",  "Numpad7", "Numpad8",   "Numpad9",  "F1",        "F2",       "F3",
    "F4",        "F5",       "F6",      "F7",        "F8",       "F9",        "F10",      "F11",
    "F12",       "F13",      "F14",     "F15",       "Pause"};

const char* const Header =
    "# Tumbrelt's settings, written by its settings screen (S on the menu).\n"
    "# window: borderless, windowed or fullscreen; volume: 0 to 100 in steps of 10;\n"
    "# mute: yes or no; turn_seconds: 10, 15 or 20; key.<action>: a key's name;\n"
    "# computer_runner, computer_builder: easy, normal or hard (chosen on the menu);\n"
    "# relay: HOST[:PORT] or mqtts://HOST[:PORT]; relay_ca_file, relay_username, relay_password;\n"
    "# palette: standard, colour-blind or high-contrast.\n";

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

rules::MatchConfig Settings::matchConfig() const
{
    rules::MatchConfig config;
    const long long ms = 1000LL * turnSeconds;
    config.turnLimitMs = ms > 0 && ms <= rules::MatchConfig::MaxTurnLimitMs ? static_cast<int>(ms) : 0;
    return rules::MatchConfig::problem(config, 0).empty() ? config : rules::MatchConfig();
}

bool Settings::operator==(const Settings& other) const
{
    return window == other.window && volume == other.volume && mute == other.mute &&
           turnSeconds == other.turnSeconds && computer == other.computer && keys == other.keys &&
           relay == other.relay && relayCaFile == other.relayCaFile && relayUsername == other.relayUsername &&
           relayPassword == other.relayPassword && palette == other.palette;
}

const std::array<BindableAction, Settings::ActionCount>& Settings::actions()
{
    return Actions;
}

std::array<int, Settings::ActionCount> Settings::defaultKeys()
{
    std::array<int, ActionCount> keys{};
    for (std::size_t i = 0; i < ActionCount; ++i)
    {
        keys[i] = Actions[i].defaultKey;
    }
    return keys;
}

std::string Settings::keyName(int key)
{
    return key >= 0 && key < sf::Keyboard::KeyCount ? KeyNames[static_cast<std::size_t>(key)] : "";
}

int Settings::keyFromName(const std::string& name)
{
    for (std::size_t i = 0; i < KeyNames.size(); ++i)
    {
        if (lower(name) == lower(KeyNames[i]))
        {
            return static_cast<int>(i);
        }
    }
    return sf::Keyboard::Unknown;
}

bool Settings::isReservedKey(int key, std::string* use)
{
    const char* what = key == Key::Escape ? "for the menu"
                       : key == Key::P    ? "for the pause"
                       : key == Key::F1   ? "for the overlay"
                       : key == Key::F2   ? "for a hint"
                                          : nullptr;
    if (what && use)
    {
        *use = what;
    }
    return what != nullptr;
}

std::string Settings::rebind(std::size_t action, int key)
{
    const std::string name = keyName(key);
    if (action >= ActionCount || name.empty())
    {
        return "That key cannot be used.";
    }
    std::string use;
    if (isReservedKey(key, &use))
    {
        return name + " is kept " + use + ".";
    }
    for (std::size_t other = 0; other < ActionCount; ++other)
    {
        if (other != action && keys[other] == key)
        {
            return name + " is already the key of \"" + Actions[other].label + "\".";
        }
    }
    keys[action] = key;
    return "";
}

void Settings::applyKeys(InputManager& input) const
{
    for (std::size_t i = 0; i < ActionCount; ++i)
    {
        input.bind(Actions[i].name, keys[i], Actions[i].player);
    }
}

Settings Settings::withCommandLine(const CommandLine& line) const
{
    Settings run = *this;
    if (line.windowed)
    {
        run.window = WindowMode::Windowed;
    }
    if (line.fullscreen)
    {
        run.window = WindowMode::Fullscreen;
    }
    if (line.mute)
    {
        run.mute = true;
    }
    return run;
}

std::string Settings::windowName(WindowMode mode)
{
    switch (mode)
    {
    case WindowMode::Windowed:
        return "windowed";
    case WindowMode::Fullscreen:
        return "fullscreen";
    case WindowMode::Borderless:
        break;
    }
    return "borderless";
}

Settings Settings::parse(const std::string& text, const std::string& fileName,
                         std::vector<std::string>& problems)
{
    return SettingsReader(fileName, problems).read(text);
}

std::string Settings::toText() const
{
    std::ostringstream text;
    text << Header;
    text << "window = " << windowName(window) << "\n";
    text << "volume = " << volume << "\n";
    text << "mute = " << (mute ? "yes" : "no") << "\n";
    text << "turn_seconds = " << turnSeconds << "\n";
    text << "computer_runner = " << difficultyName(computer.runner) << "\n";
    text << "computer_builder = " << difficultyName(computer.builder) << "\n";
    text << "palette = " << paletteName(palette) << "\n";
    for (std::size_t i = 0; i < ActionCount; ++i)
    {
        text << "key." << Actions[i].name << " = " << keyName(keys[i]) << "\n";
    }
    // The relay's lines only when one is set: a file without them plays by address alone.
    for (const auto& [name, value] :
         {std::pair{"relay", &relay}, std::pair{"relay_ca_file", &relayCaFile},
          std::pair{"relay_username", &relayUsername}, std::pair{"relay_password", &relayPassword}})
    {
        if (!value->empty())
        {
            text << name << " = " << *value << "\n";
        }
    }
    return text.str();
}

Settings Settings::load(const std::string& path, std::vector<std::string>& problems)
{
    std::error_code error;
    if (std::filesystem::symlink_status(path, error).type() == std::filesystem::file_type::not_found)
    {
        return Settings{};
    }
    const auto unreadable = [&](const std::string& why)
    {
        problems.push_back(path + ": " + why + "; using the defaults");
        return Settings{};
    };
    if (std::filesystem::is_directory(path, error))
    {
        return unreadable("is a folder, not a file");
    }
    std::ifstream file(path, std::ios::binary);
    if (!file)
    {
        return unreadable(std::string("cannot be read (") + std::strerror(errno) + ")");
    }
    std::string text(MaxFileSize + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (file.bad())
    {
        return unreadable("cannot be read");
    }
    text.resize(static_cast<std::size_t>(file.gcount()));
    if (text.size() > MaxFileSize)
    {
        return unreadable("is larger than " + std::to_string(MaxFileSize / 1024) + " KiB");
    }
    return parse(text, path, problems);
}

std::string Settings::save(const std::string& path) const
{
    std::string why;
    switch (SafeFile::write(path, toText(), why))
    {
    case SafeFile::Outcome::Written:
        return "";
    case SafeFile::Outcome::NoFolder:
        return "could not make the folder " + std::filesystem::path(path).parent_path().string() + " (" +
               why + ")";
    case SafeFile::Outcome::NotWritten:
        break;
    }
    return "could not write " + path + " (" + why + ")";
}

std::string Settings::filePath(bool installed, const char* xdgConfigHome, const char* home)
{
    if (!installed)
    {
        return "settings.ini";
    }
    const auto absolute = [](const char* folder)
    {
        return folder && folder[0] == '/';
    };
    if (absolute(xdgConfigHome))
    {
        return std::string(xdgConfigHome) + "/tumbrelt/settings.ini";
    }
    if (absolute(home))
    {
        return std::string(home) + "/.config/tumbrelt/settings.ini";
    }
    return "";
}
} // namespace orv_gd
