#pragma once

#include <string>

namespace orv_gd
{
/// Tells the installed game from one run in its checkout, and gives the installed one a folder
/// per user for the files it writes (the trace files), so that none land in whatever folder the
/// player started it from. Run from a checkout, nothing changes.
class Installation
{
public:
    /// True for a program in a folder named "games" with the installed data beside it:
    /// "<prefix>/games/tumbrelt" and "<prefix>/share/games/tumbrelt".
    static bool isInstalled(const std::string& executableFolder);
    /// "$XDG_STATE_HOME/tumbrelt", or "$HOME/.local/state/tumbrelt" when XDG_STATE_HOME is unset,
    /// empty or relative (the base-directory rules ignore relative paths); empty when neither
    /// gives an absolute folder. Either argument may be null.
    static std::string stateFolder(const char* xdgStateHome, const char* home);
    /// Creates the folder when it is missing and makes it the working folder. Returns empty on
    /// success, else one line saying which folder could not be used and why.
    static std::string enter(const std::string& folder);

    /// The command line's one option, "--trace"; any other argument is an error, reported in one line.
    /// Whether the trace files are written: always from a checkout (benchmarks and tests read
    /// them); the installed game only when asked, by "--trace" or TUMBRELT_TRACE=1 (may be null).
    static bool writesTrace(bool installed, bool traceOption, const char* traceVariable);
};
} // namespace orv_gd
