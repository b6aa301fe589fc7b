#include "support/X11Window.h"

#include <X11/Xlib.h> // its macros (None, Bool) stay out of the tests this way

#include <memory>

namespace orv_gd::test
{
std::string x11WindowTitle(unsigned long window)
{
    const std::unique_ptr<Display, decltype(&XCloseDisplay)> display(XOpenDisplay(nullptr), &XCloseDisplay);
    char* name = nullptr;
    XFetchName(display.get(), window, &name);
    const std::string title = name != nullptr ? name : "";
    XFree(name);
    return title;
}
} // namespace orv_gd::test
