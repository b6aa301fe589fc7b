#include "core/SettingsReader.h"

#include <SFML/Window/Keyboard.hpp>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

namespace orv_gd
{
namespace
{
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

// Each reader below reads one setting's value into `settings`; on a bad value it returns the
// message's end (what is wrong and the default used) and leaves the setting at its default.

std::string readWindow(Settings& settings, const std::string& value)
{
    for (WindowMode mode : {WindowMode::Borderless, WindowMode::Windowed, WindowMode::Fullscreen})
    {
        if (lower(value) == Settings::windowName(mode))
        {
            settings.window = mode;
            return "";
        }
    }
    return "is not borderless, windowed or fullscreen; using " + Settings::windowName(Settings().window);
}

std::string readVolume(Settings& settings, const std::string& value)
{
    int volume = 0;
    if (parseNumber(value, volume) && volume <= 100 && volume % Settings::VolumeStep == 0)
    {
        settings.volume = volume;
        return "";
    }
    return "is not 0 to 100 in steps of 10; using " + std::to_string(Settings().volume);
}

std::string readMute(Settings& settings, const std::string& value)
{
    const std::string word = lower(value);
    if (word == "yes" || word == "no" || word == "true" || word == "false")
    {
        settings.mute = word == "yes" || word == "true";
        return "";
    }
    return std::string("is not yes or no; using ") + (Settings().mute ? "yes" : "no");
}

std::string readTurnSeconds(Settings& settings, const std::string& value)
{
    int seconds = 0;
    const auto& choices = Settings::TurnChoices;
    if (parseNumber(value, seconds) && std::find(choices.begin(), choices.end(), seconds) != choices.end())
    {
        settings.turnSeconds = seconds;
        return "";
    }
    return "is not 10, 15 or 20; using " + std::to_string(Settings().turnSeconds);
}

std::string readRelay(Settings& settings, const std::string& value)
{
    if (isRelay(value))
    {
        settings.relay = value;
        return "";
    }
    return "is not HOST[:PORT] or mqtts://HOST[:PORT]; using none";
}

std::string readLevel(Difficulty& level, const std::string& value)
{
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

std::string readPalette(Settings& settings, const std::string& value)
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
           paletteName(Settings().palette);
}

/// A setting the file holds as written (a file name, a login).
template <auto Field>
std::string keepText(Settings& settings, const std::string& value)
{
    settings.*Field = value;
    return "";
}

template <auto Level>
std::string readComputer(Settings& settings, const std::string& value)
{
    return readLevel(settings.computer.*Level, value);
}

template <auto Field>
void putBack(Settings& settings, const Settings& defaults)
{
    settings.*Field = defaults.*Field;
}

template <auto Level>
void putBackComputer(Settings& settings, const Settings& defaults)
{
    settings.computer.*Level = defaults.computer.*Level;
}

/// Every setting but the keys: how its value is read, and how its default is put back.
struct Entry
{
    const char* name;
    std::string (*read)(Settings& settings, const std::string& value);
    void (*reset)(Settings& settings, const Settings& defaults);
};
const Entry Entries[] = {
    {"window", readWindow, putBack<&Settings::window>},
    {"volume", readVolume, putBack<&Settings::volume>},
    {"mute", readMute, putBack<&Settings::mute>},
    {"turn_seconds", readTurnSeconds, putBack<&Settings::turnSeconds>},
    {"relay", readRelay, putBack<&Settings::relay>},
    {"relay_ca_file", keepText<&Settings::relayCaFile>, putBack<&Settings::relayCaFile>},
    {"relay_username", keepText<&Settings::relayUsername>, putBack<&Settings::relayUsername>},
    {"relay_password", keepText<&Settings::relayPassword>, putBack<&Settings::relayPassword>},
    {"computer_runner", readComputer<&ComputerLevels::runner>, putBackComputer<&ComputerLevels::runner>},
    {"computer_builder", readComputer<&ComputerLevels::builder>, putBackComputer<&ComputerLevels::builder>},
    {"palette", readPalette, putBack<&Settings::palette>},
};

const Entry* entryOf(const std::string& name)
{
    const auto found =
        std::find_if(std::begin(Entries), std::end(Entries), [&](const Entry& e) { return name == e.name; });
    return found == std::end(Entries) ? nullptr : found;
}

/// The action a "key.<action>" name binds; Settings::ActionCount for none.
std::size_t actionOf(const std::string& name)
{
    const auto& actions = Settings::actions();
    return static_cast<std::size_t>(std::find_if(actions.begin(), actions.end(),
                                                 [&](const BindableAction& a)
                                                 { return name == std::string("key.") + a.name; }) -
                                    actions.begin());
}

bool isKnownName(const std::string& name)
{
    return entryOf(name) || actionOf(name) < Settings::ActionCount;
}

std::string readKey(Settings& settings, std::size_t action, const std::string& value)
{
    const int defaultKey = Settings::actions()[action].defaultKey;
    const int key = Settings::keyFromName(value);
    std::string use;
    if (key == sf::Keyboard::Unknown)
    {
        return "is not a key's name; using " + Settings::keyName(defaultKey);
    }
    if (Settings::isReservedKey(key, &use))
    {
        return "is the key " + use + "; using " + Settings::keyName(defaultKey);
    }
    settings.keys[action] = key;
    return "";
}

/// Reads a known setting's value (see the readers above).
std::string readValue(Settings& settings, const std::string& name, const std::string& value)
{
    const Entry* entry = entryOf(name);
    return entry ? entry->read(settings, value) : readKey(settings, actionOf(name), value);
}

/// The default of one known setting put back.
void resetOne(Settings& settings, const std::string& name)
{
    const Settings defaults;
    if (const Entry* entry = entryOf(name))
    {
        entry->reset(settings, defaults);
        return;
    }
    const std::size_t action = actionOf(name);
    settings.keys[action] = defaults.keys[action];
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

SettingsReader::SettingsReader(const std::string& fileName, std::vector<std::string>& problems)
    : m_fileName(fileName), m_problems(problems)
{
}

Settings SettingsReader::read(const std::string& text)
{
    // A byte order mark some editors put first.
    std::size_t start = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    for (int number = 1; start < text.size(); ++number)
    {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
        {
            end = text.size();
        }
        const std::string problem = readLine(text.substr(start, end - start), number);
        start = end + 1;
        if (!problem.empty())
        {
            m_problems.push_back(m_fileName + ":" + std::to_string(number) + ": " + problem);
        }
    }
    checkKeys();
    return m_settings;
}

std::string SettingsReader::readLine(std::string line, int number)
{
    if (!line.empty() && line.back() == '\r')
    {
        line.pop_back();
    }
    if (line.size() > Settings::MaxLineLength)
    {
        return "the line is longer than " + std::to_string(Settings::MaxLineLength) + " characters; ignored";
    }
    if (!isText(line))
    {
        return "the line holds bytes that are not text; ignored";
    }
    line = trim(line);
    if (line.empty() || line[0] == '#' || line[0] == ';')
    {
        return "";
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos)
    {
        return inQuotes(line) + " is not \"name = value\"; ignored";
    }
    return readSetting(trim(line.substr(0, equals)), trim(line.substr(equals + 1)), number);
}

std::string SettingsReader::readSetting(const std::string& name, const std::string& value, int number)
{
    if (!isKnownName(name))
    {
        return "unknown setting " + inQuotes(name) + "; ignored";
    }
    if (const auto first = m_firstLine.find(name); first != m_firstLine.end())
    {
        resetOne(m_settings, name);
        return name + " is set again (first on line " + std::to_string(first->second) + "); using " +
               defaultText(name);
    }
    m_firstLine[name] = number;
    const std::string wrong = readValue(m_settings, name, value);
    return wrong.empty() ? "" : name + " " + inQuotes(value) + " " + wrong;
}

void SettingsReader::checkKeys()
{
    const auto& actions = Settings::actions();
    for (std::size_t i = 0; i < Settings::ActionCount; ++i)
    {
        for (std::size_t j = 0; j < i; ++j)
        {
            if (m_settings.keys[i] == m_settings.keys[j])
            {
                const std::string name = std::string("key.") + actions[i].name;
                const std::string earlier = std::string("key.") + actions[j].name;
                const int line = m_firstLine.count(name) ? m_firstLine[name] : m_firstLine[earlier];
                m_problems.push_back(m_fileName + ":" + std::to_string(line) + ": " + name + " " +
                                     inQuotes(Settings::keyName(m_settings.keys[i])) + " is " + earlier +
                                     "'s key too; using the default keys");
                m_settings.resetKeys();
                return;
            }
        }
    }
}
} // namespace orv_gd
