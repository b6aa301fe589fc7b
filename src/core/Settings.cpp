#include "core/Settings.h"

#include "resources/SafeFile.h"

#include "core/CommandLine.h"
#include "core/InputManager.h"

#include <SFML/Window/Keyboard.hpp>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
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

std::string trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
    {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

/// A value as a message shows it: in quotes, cut short when long.
std::string inQuotes(const std::string& value)
{
    constexpr std::size_t Shown = 40;
    return "\"" + (value.size() > Shown ? value.substr(0, Shown) + "..." : value) + "\"";
}

bool isText(const std::string& line)
{
    return std::none_of(line.begin(), line.end(),
                        [](unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7f; });
}

bool parseNumber(const std::string& text, int& number)
{
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
    {
        return false;
    }
    number = std::atoi(text.c_str());
    return true;
}

/// "HOST[:PORT]", "mqtts://" before it for TLS: letters, digits, '.', '-', a port of 1 to 65535.
bool isRelay(const std::string& value)
{
    const std::string rest = value.rfind("mqtts://", 0) == 0 ? value.substr(8) : value;
    const std::size_t colon = rest.find(':');
    const std::string host = rest.substr(0, colon);
    const std::string port = colon == std::string::npos ? "1" : rest.substr(colon + 1);
    const bool hostFine =
        !host.empty() && std::all_of(host.begin(), host.end(),
                                     [](unsigned char c) { return std::isalnum(c) || c == '.' || c == '-'; });
    const bool portFine = !port.empty() && port.size() <= 5 &&
                          port.find_first_not_of("0123456789") == std::string::npos &&
                          std::atol(port.c_str()) >= 1 && std::atol(port.c_str()) <= 65535;
    return hostFine && portFine;
}

/// Reads one setting's value into `settings`; on a bad value returns the message's end (what is
/// wrong and the default used) and leaves the setting at its default.
std::string readValue(Settings& settings, const std::string& name, const std::string& value)
{
    const Settings defaults;
    if (name == "window")
    {
        for (WindowMode mode : {WindowMode::Borderless, WindowMode::Windowed, WindowMode::Fullscreen})
        {
            if (lower(value) == Settings::windowName(mode))
            {
                settings.window = mode;
                return "";
            }
        }
        return "is not borderless, windowed or fullscreen; using " + Settings::windowName(defaults.window);
    }
    if (name == "volume")
    {
        int volume = 0;
        if (parseNumber(value, volume) && volume <= 100 && volume % Settings::VolumeStep == 0)
        {
            settings.volume = volume;
            return "";
        }
        return "is not 0 to 100 in steps of 10; using " + std::to_string(defaults.volume);
    }
    if (name == "mute")
    {
        const std::string word = lower(value);
        if (word == "yes" || word == "no" || word == "true" || word == "false")
        {
            settings.mute = word == "yes" || word == "true";
            return "";
        }
        return std::string("is not yes or no; using ") + (defaults.mute ? "yes" : "no");
    }
    if (name == "turn_seconds")
    {
        int seconds = 0;
        const auto& choices = Settings::TurnChoices;
        if (parseNumber(value, seconds) &&
            std::find(choices.begin(), choices.end(), seconds) != choices.end())
        {
            settings.turnSeconds = seconds;
            return "";
        }
        return "is not 10, 15 or 20; using " + std::to_string(defaults.turnSeconds);
    }
    if (name == "relay")
    {
        if (isRelay(value))
        {
            settings.relay = value;
            return "";
        }
        return "is not HOST[:PORT] or mqtts://HOST[:PORT]; using none";
    }
    if (name == "relay_ca_file" || name == "relay_username" || name == "relay_password")
    {
        (name == "relay_ca_file"    ? settings.relayCaFile
         : name == "relay_username" ? settings.relayUsername
                                    : settings.relayPassword) = value;
        return "";
    }
    if (name == "computer_runner" || name == "computer_builder")
    {
        Difficulty& level = name == "computer_runner" ? settings.computer.runner : settings.computer.builder;
        for (Difficulty choice : Difficulties)
        {
            if (lower(value) == difficultyName(choice))
            {
                level = choice;
                return "";
            }
        }
        return std::string("is not easy, normal or hard; using ") + difficultyName(Difficulty::Normal);
    }
    if (name == "palette")
    {
        for (PaletteChoice choice : PaletteChoices)
        {
            if (lower(value) == paletteName(choice))
            {
                settings.palette = choice;
                return "";
            }
        }
        return std::string("is not standard, colour-blind or high-contrast; using ") +
               paletteName(defaults.palette);
    }
    // A key: the caller has checked the name.
    const auto& actions = Settings::actions();
    const std::size_t index = static_cast<std::size_t>(
        std::find_if(actions.begin(), actions.end(),
                     [&](const BindableAction& a) { return name == std::string("key.") + a.name; }) -
        actions.begin());
    const int key = Settings::keyFromName(value);
    std::string use;
    if (key == sf::Keyboard::Unknown)
    {
        return "is not a key's name; using " + Settings::keyName(actions[index].defaultKey);
    }
    if (Settings::isReservedKey(key, &use))
    {
        return "is the key " + use + "; using " + Settings::keyName(actions[index].defaultKey);
    }
    settings.keys[index] = key;
    return "";
}

bool isKnownName(const std::string& name)
{
    if (name == "window" || name == "volume" || name == "mute" || name == "turn_seconds" ||
        name == "computer_runner" || name == "computer_builder" || name == "relay" ||
        name == "relay_ca_file" || name == "relay_username" || name == "relay_password" || name == "palette")
    {
        return true;
    }
    const auto& actions = Settings::actions();
    return std::any_of(actions.begin(), actions.end(),
                       [&](const BindableAction& a) { return name == std::string("key.") + a.name; });
}

/// The default of one setting put back.
void resetOne(Settings& settings, const std::string& name)
{
    const Settings defaults;
    if (name == "window")
    {
        settings.window = defaults.window;
    }
    else if (name == "volume")
    {
        settings.volume = defaults.volume;
    }
    else if (name == "mute")
    {
        settings.mute = defaults.mute;
    }
    else if (name == "turn_seconds")
    {
        settings.turnSeconds = defaults.turnSeconds;
    }
    else if (name == "computer_runner")
    {
        settings.computer.runner = defaults.computer.runner;
    }
    else if (name.rfind("relay", 0) == 0)
    {
        (name == "relay"            ? settings.relay
         : name == "relay_ca_file"  ? settings.relayCaFile
         : name == "relay_username" ? settings.relayUsername
                                    : settings.relayPassword)
            .clear();
    }
    else if (name == "computer_builder")
    {
        settings.computer.builder = defaults.computer.builder;
    }
    else if (name == "palette")
    {
        settings.palette = defaults.palette;
    }
    else
    {
        for (std::size_t i = 0; i < Settings::ActionCount; ++i)
        {
            if (name == std::string("key.") + Settings::actions()[i].name)
            {
                settings.keys[i] = defaults.keys[i];
            }
        }
    }
}

std::string defaultText(const std::string& name)
{
    Settings defaults;
    std::istringstream text(defaults.toText());
    std::string line;
    while (std::getline(text, line))
    {
        if (line.rfind(name + " = ", 0) == 0)
        {
            return line.substr(name.size() + 3);
        }
    }
    return "";
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
    Settings settings;
    // The line each setting was first given on; a setting given twice is bad on every line.
    std::map<std::string, int> firstLine;
    std::size_t start = 0;
    // A byte order mark some editors put first.
    if (text.rfind("\xEF\xBB\xBF", 0) == 0)
    {
        start = 3;
    }
    for (int number = 1; start < text.size(); ++number)
    {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
        {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
        {
            line.pop_back();
        }
        const std::string where = fileName + ":" + std::to_string(number) + ": ";
        if (line.size() > MaxLineLength)
        {
            problems.push_back(where + "the line is longer than " + std::to_string(MaxLineLength) +
                               " characters; ignored");
            continue;
        }
        if (!isText(line))
        {
            problems.push_back(where + "the line holds bytes that are not text; ignored");
            continue;
        }
        line = trim(line);
        if (line.empty() || line[0] == '#' || line[0] == ';')
        {
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
        {
            problems.push_back(where + inQuotes(line) + " is not \"name = value\"; ignored");
            continue;
        }
        const std::string name = trim(line.substr(0, equals));
        const std::string value = trim(line.substr(equals + 1));
        if (!isKnownName(name))
        {
            problems.push_back(where + "unknown setting " + inQuotes(name) + "; ignored");
            continue;
        }
        if (const auto first = firstLine.find(name); first != firstLine.end())
        {
            resetOne(settings, name);
            problems.push_back(where + name + " is set again (first on line " +
                               std::to_string(first->second) + "); using " + defaultText(name));
            continue;
        }
        firstLine[name] = number;
        const std::string wrong = readValue(settings, name, value);
        if (!wrong.empty())
        {
            problems.push_back(where + name + " " + inQuotes(value) + " " + wrong);
        }
    }
    // Two actions on one key would both fire: the whole set of keys goes back to its defaults.
    for (std::size_t i = 0; i < ActionCount; ++i)
    {
        for (std::size_t j = 0; j < i; ++j)
        {
            if (settings.keys[i] == settings.keys[j])
            {
                const std::string name = std::string("key.") + Actions[i].name;
                const std::string earlier = std::string("key.") + Actions[j].name;
                const int line = firstLine.count(name) ? firstLine[name] : firstLine[earlier];
                problems.push_back(fileName + ":" + std::to_string(line) + ": " + name + " " +
                                   inQuotes(keyName(settings.keys[i])) + " is " + earlier +
                                   "'s key too; using the default keys");
                settings.resetKeys();
                return settings;
            }
        }
    }
    return settings;
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
