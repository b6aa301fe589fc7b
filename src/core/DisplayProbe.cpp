#include "core/DisplayProbe.h"

#include <cstdlib>

#if defined(__unix__) && !defined(__APPLE__)
// Xlib defines macros such as None and Bool; this file must not include SFML after it.
#include <X11/Xlib.h>
#endif

namespace orv_gd
{
std::string DisplayProbe::check()
{
#if defined(__unix__) && !defined(__APPLE__)
    // DISPLAY alone proves nothing (the server may be gone), so really open the display.
    Display* display = XOpenDisplay(nullptr);
    if (display != nullptr)
    {
        XCloseDisplay(display);
        return {};
    }
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0')
    {
        return "cannot open the display (DISPLAY is not set)";
    }
    return std::string("cannot open the display \"") + name + "\"";
#else
    return {};
#endif
}
} // namespace orv_gd
