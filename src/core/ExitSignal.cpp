#include "core/ExitSignal.h"

#include <csignal>

namespace orv_gd
{
namespace
{
// Only a volatile sig_atomic_t may be written from a signal handler.
volatile std::sig_atomic_t s_requestedBy = 0;

extern "C" void handleExitSignal(int signal)
{
    s_requestedBy = signal;
    // Back to the default action, so a second Ctrl+C still ends a program that hangs.
    std::signal(signal, SIG_DFL);
}
} // namespace

void ExitSignal::install()
{
    std::signal(SIGINT, handleExitSignal);
    std::signal(SIGTERM, handleExitSignal);
}

bool ExitSignal::isRequested()
{
    return s_requestedBy != 0;
}

int ExitSignal::getSignal()
{
    return s_requestedBy;
}

void ExitSignal::clear()
{
    s_requestedBy = 0;
}
} // namespace orv_gd
