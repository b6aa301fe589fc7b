#pragma once

#include <cstdint>
#include <string>

namespace orv_gd
{
/// What the player asked for on the command line for one run. Options take their value as the
/// next word or after "=" ("--port 5000", "--port=5000").
struct CommandLine
{
    static constexpr int DefaultPort = 47474;

    bool help = false;
    bool version = false;
    /// Write the trace files (startup.json, runtime.json) even when installed.
    bool trace = false;
    /// The window for this run only, over what the settings say.
    bool windowed = false;
    bool fullscreen = false;
    bool mute = false;
    /// Open this replay straight away.
    std::string replay;
    /// Check this replay through the rules alone, print one line and exit.
    std::string checkReplay;
    /// Wait for a friend to join, or join a friend at "address[:port]".
    bool host = false;
    std::string join;
    int port = DefaultPort;
    /// "HOST[:PORT]" or "mqtts://HOST[:PORT]": host or join through this relay, by a join code.
    std::string relay;
    /// "runner" or "builder": the host's role.
    std::string role;
    /// The generator seed of the first match (its level and blocks): --seed N, else parse takes
    /// one from the clock, so that every launch plays a fresh level.
    std::uint32_t seed = 1;
    /// One line saying what is wrong with the command line; empty when nothing is.
    std::string error;

    static CommandLine parse(int argc, const char* const* argv);
    /// The text of --help.
    static std::string usage();
    /// "tumbrelt <version>", the text of --version.
    static std::string versionLine();
};
} // namespace orv_gd
