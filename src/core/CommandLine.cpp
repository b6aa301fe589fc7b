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
} // namespace

CommandLine CommandLine::parse(int argc, const char* const* argv)
{
    CommandLine line;
    line.seed = clockSeed();
    const std::vector<std::string> words(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    for (std::size_t i = 0; i < words.size() && line.error.empty(); ++i)
    {
        bool hasValue = false;
        const auto [name, inlineValue] = split(words[i], hasValue);
        // The value of an option that takes one: after "=", else the next word.
        const auto value = [&, name = name, inlineValue = inlineValue](std::string& into) -> bool
        {
            if (hasValue)
            {
                into = inlineValue;
            }
            else if (i + 1 < words.size())
            {
                into = words[++i];
            }
            if (into.empty())
            {
                line.error = name + " needs a value (see --help)";
                return false;
            }
            return true;
        };
        const bool flag = !hasValue;
        if (flag && (name == "--help" || name == "-h"))
        {
            line.help = true;
        }
        else if (flag && (name == "--version" || name == "-v"))
        {
            line.version = true;
        }
        else if (flag && name == "--trace")
        {
            line.trace = true;
        }
        else if (flag && name == "--windowed")
        {
            line.windowed = true;
        }
        else if (flag && name == "--fullscreen")
        {
            line.fullscreen = true;
        }
        else if (flag && name == "--mute")
        {
            line.mute = true;
        }
        else if (flag && name == "--host")
        {
            line.host = true;
        }
        else if (name == "--replay")
        {
            value(line.replay);
        }
        else if (name == "--check-replay")
        {
            value(line.checkReplay);
        }
        else if (name == "--join")
        {
            value(line.join);
        }
        else if (name == "--relay")
        {
            value(line.relay);
        }
        else if (name == "--port")
        {
            std::string port;
            if (value(port) && !parsePort(port, line.port))
            {
                line.error = "--port takes a number from 1 to 65535, not \"" + port + "\"";
            }
        }
        else if (name == "--seed")
        {
            std::string seed;
            if (value(seed) && !parseSeed(seed, line.seed))
            {
                line.error = "--seed takes a number from 0 to 4294967295, not \"" + seed + "\"";
            }
        }
        else if (name == "--role")
        {
            if (value(line.role) && line.role != "runner" && line.role != "builder")
            {
                line.error = "--role takes runner or builder, not \"" + line.role + "\"";
            }
        }
        else
        {
            line.error = "unknown option \"" + words[i] + "\" (see --help)";
        }
    }
    if (line.error.empty() && line.windowed && line.fullscreen)
    {
        line.error = "--windowed and --fullscreen do not go together";
    }
    if (line.error.empty() && line.host && !line.join.empty())
    {
        line.error = "--host and --join do not go together";
    }
    if (line.error.empty() && !line.relay.empty() && !line.host && line.join.empty())
    {
        line.error = "--relay goes with --host or --join";
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
