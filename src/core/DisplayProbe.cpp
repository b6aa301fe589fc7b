#include "core/DisplayProbe.h"

#include <cstdlib>

#if defined(__unix__) && !defined(__APPLE__)
// Xlib defines macros such as None and Bool; this file must not include SFML after it.
#include <X11/Xlib.h>
#endif

namespace orv_gd
{
DisplayProbe::DisplayProbe()
{
#if defined(__unix__) && !defined(__APPLE__)
    // DISPLAY alone proves nothing (the server may be gone), so really open the display.
    Display* display = XOpenDisplay(nullptr);
    if (display != nullptr)
    {
        m_display = display;
        return;
    }
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0')
    {
        m_problem = "cannot open the display (DISPLAY is not set)";
    }
    else
    {
        m_problem = std::string("cannot open the display \"") + name + "\"";
    }
#endif
}

DisplayProbe::~DisplayProbe()
{
#if defined(__unix__) && !defined(__APPLE__)
    if (m_display != nullptr)
    {
        XCloseDisplay(static_cast<Display*>(m_display));
    }
#endif
}
} // namespace orv_gd
