#include "support/X11Window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h> // its macros (None, Bool) stay out of the tests this way

#include <cstdint>
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

X11Icon x11WindowIcon(unsigned long window)
{
    const std::unique_ptr<Display, decltype(&XCloseDisplay)> display(XOpenDisplay(nullptr), &XCloseDisplay);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display.get(), window, XInternAtom(display.get(), "_NET_WM_ICON", False), 0, 1L << 20,
                       False, XA_CARDINAL, &type, &format, &count, &remaining, &data);
    X11Icon icon;
    // Format-32 properties come back as longs, of which the low 32 bits count: width, height, then one
    // ARGB value per pixel.
    const auto* values = reinterpret_cast<const unsigned long*>(data);
    if (values != nullptr && count >= 2 && count >= 2 + values[0] * values[1])
    {
        icon = {values[0], values[1],
                std::vector<std::uint32_t>(values + 2, values + 2 + values[0] * values[1])};
    }
    XFree(data);
    return icon;
}

void x11RequestCloseThenPress(unsigned long window, unsigned long keysym)
{
    Display* display = XOpenDisplay(nullptr);
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, window, False, NoEventMask, &close);
    XEvent press{};
    press.xkey.type = KeyPress;
    press.xkey.display = display;
    press.xkey.window = window;
    press.xkey.root = DefaultRootWindow(display);
    press.xkey.same_screen = True;
    press.xkey.keycode = XKeysymToKeycode(display, keysym);
    XSendEvent(display, window, True, KeyPressMask, &press);
    XSync(display, False);
    XCloseDisplay(display);
}
} // namespace orv_gd::test
