#include "core/CommandLine.h"

#include <chrono>
#include <cstdlib>
#include <vector>

#ifndef TUMBRELT_VERSION
#define TUMBRELT_VERSION "unknown"
#endif

namespace orv_gd
{
namespace
{
/// Splits "--name=value" into its name and value; other words come back whole.
std::pair<std::string, std::string> split(const std::string& word, bool& hasValue)
{
    const std::size_t equals = word.find('=');
    hasValue = word.rfind("--", 0) == 0 && equals != std::string::npos;
    return hasValue ? std::pair{word.substr(0, equals), word.substr(equals + 1)}
                    : std::pair{word, std::string()};
}

bool parsePort(const std::string& text, int& port)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
    {
        return false;
    }
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value < 1 || value > 65535)
    {
        return false;
    }
    port = static_cast<int>(value);
    return true;
}

bool parseSeed(const std::string& text, std::uint32_t& seed)
{
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
    {
        return false;
    }
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    if (value > 0xffffffffULL)
    {
        return false;
    }
    seed = static_cast<std::uint32_t>(value);
    return true;
}

/// A seed from the clock: launches a moment apart get different ones.
std::uint32_t clockSeed()
{
    const auto ticks =
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    return static_cast<std::uint32_t>(ticks ^ (ticks >> 32));
}

/// The options that take no value, each setting one switch; "--help=x" is no such option.
struct Flag
{
    const char* name;
    const char* shortName;
    bool CommandLine::*field;
};
const Flag Flags[] = {{"--help", "-h", &CommandLine::help},
                      {"--version", "-v", &CommandLine::version},
                      {"--trace", nullptr, &CommandLine::trace},
                      {"--windowed", nullptr, &CommandLine::windowed},
                      {"--fullscreen", nullptr, &CommandLine::fullscreen},
                      {"--mute", nullptr, &CommandLine::mute},
                      {"--host", nullptr, &CommandLine::host}};

void checkPort(CommandLine& line, const std::string& port)
{
    if (!parsePort(port, line.port))
    {
        line.error = "--port takes a number from 1 to 65535, not \"" + port + "\"";
    }
}

void checkSeed(CommandLine& line, const std::string& seed)
{
    if (!parseSeed(seed, line.seed))
    {
        line.error = "--seed takes a number from 0 to 4294967295, not \"" + seed + "\"";
    }
}

void checkRole(CommandLine& line, const std::string& role)
{
    if (role != "runner" && role != "builder")
    {
        line.error = "--role takes runner or builder, not \"" + role + "\"";
    }
}

/// The options that take a value: kept as written in `field` (when there is one) and checked by
/// `check` (when there is one).
struct ValueOption
{
    const char* name;
    std::string CommandLine::*field;
    void (*check)(CommandLine& line, const std::string& value);
};
const ValueOption ValueOptions[] = {{"--replay", &CommandLine::replay, nullptr},
                                    {"--check-replay", &CommandLine::checkReplay, nullptr},
                                    {"--join", &CommandLine::join, nullptr},
                                    {"--relay", &CommandLine::relay, nullptr},
                                    {"--port", nullptr, checkPort},
                                    {"--seed", nullptr, checkSeed},
                                    {"--role", &CommandLine::role, checkRole}};

/// Sets the flag called `name`; false when no flag is called so.
bool setFlag(CommandLine& line, const std::string& name)
{
    for (const Flag& flag : Flags)
    {
        if (name == flag.name || (flag.shortName && name == flag.shortName))
        {
            line.*flag.field = true;
            return true;
        }
    }
    return false;
}

const ValueOption* findValueOption(const std::string& name)
{
    for (const ValueOption& option : ValueOptions)
    {
        if (name == option.name)
        {
            return &option;
        }
    }
    return nullptr;
}

/// The words after the program's name, taken one at a time.
class Words
{
public:
    Words(int argc, const char* const* argv)
        : m_words(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0))
    {
    }
    bool done() const { return m_at >= m_words.size(); }
    const std::string& next() { return m_words[m_at++]; }
    /// The next word into `into`, when there is one; `into` keeps what it held when not.
    void nextInto(std::string& into)
    {
        if (!done())
        {
            into = next();
        }
    }

private:
    std::vector<std::string> m_words;
    std::size_t m_at = 0;
};

/// Options each fine on its own that do not go together.
std::string combinationProblem(const CommandLine& line)
{
    if (line.windowed && line.fullscreen)
    {
        return "--windowed and --fullscreen do not go together";
    }
    if (line.host && !line.join.empty())
    {
        return "--host and --join do not go together";
    }
    if (!line.relay.empty() && !line.host && line.join.empty())
    {
        return "--relay goes with --host or --join";
    }
    return "";
}
} // namespace

CommandLine CommandLine::parse(int argc, const char* const* argv)
{
    CommandLine line;
    line.seed = clockSeed();
    Words words(argc, argv);
    while (!words.done() && line.error.empty())
    {
        const std::string& word = words.next();
        bool hasValue = false;
        const auto [name, inlineValue] = split(word, hasValue);
        if (!hasValue && setFlag(line, name))
        {
            continue;
        }
        const ValueOption* option = findValueOption(name);
        if (!option)
        {
            line.error = "unknown option \"" + word + "\" (see --help)";
            continue;
        }
        // The value: after "=", else the next word.
        std::string value;
        std::string& into = option->field ? line.*option->field : value;
        if (hasValue)
        {
            into = inlineValue;
        }
        else
        {
            words.nextInto(into);
        }
        if (into.empty())
        {
            line.error = name + " needs a value (see --help)";
        }
        else if (option->check)
        {
            option->check(line, into);
        }
    }
    if (line.error.empty())
    {
        line.error = combinationProblem(line);
    }
    return line;
}

std::string CommandLine::usage()
{
    return "Usage: tumbrelt [OPTION]...\n"
           "A two-player game for one desktop: the Runner steers a blue block to the green line, the\n"
           "Builder drops blocks in its way.\n"
           "\n"
           "  --replay FILE        watch a saved match\n"
           "  --check-replay FILE  replay a saved match through the rules alone, print how it ended\n"
           "  --host               wait for a friend to join over the network\n"
           "  --role runner|builder  the host's role (with --host)\n"
           "  --join ADDRESS[:PORT]  join a friend who hosts\n"
           "  --port N             the port to host on or join (default 47474)\n"
           "  --relay HOST[:PORT]  host through this MQTT relay (mqtts://HOST for TLS), or join\n"
           "                       with --join CODE, the host's join code\n"
           "  --seed N             the first match's level and blocks (default: the clock's);\n"
           "                       a replay's \"generator N 0\" line gives its N\n"
           "  --windowed           play in a window for this run\n"
           "  --fullscreen         play full screen for this run\n"
           "  --mute               no sound for this run\n"
           "  --trace              write the trace files startup.json and runtime.json\n"
           "  -h, --help           show this help and exit\n"
           "  -v, --version        show the version and exit\n";
}

std::string CommandLine::versionLine()
{
    return std::string("tumbrelt ") + TUMBRELT_VERSION;
}
} // namespace orv_gd
