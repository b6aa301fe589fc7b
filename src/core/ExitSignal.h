#pragma once

namespace orv_gd
{
/// Turns SIGINT and SIGTERM into a request to end the program, which the frame loop handles
/// like the window's close request: the current screen leaves, the window closes and the
/// trace files are completed. A second signal of the same kind ends the process at once.
class ExitSignal
{
public:
    /// Installs the handlers for SIGINT and SIGTERM.
    static void install();
    static bool isRequested();
    /// The signal that made the request, or 0.
    static int getSignal();
    /// Forgets a request (tests raise signals in-process).
    static void clear();
};
} // namespace orv_gd
