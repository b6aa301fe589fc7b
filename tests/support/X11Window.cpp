#include "support/X11Window.h"

// Xlib defines macros such as None and Bool: no SFML header may follow it here.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdexcept>

namespace orv_gd::test
{
namespace
{
Display* display(void* handle)
{
    return static_cast<Display*>(handle);
}
} // namespace

X11Window::X11Window(unsigned long handle) : m_display(XOpenDisplay(nullptr)), m_handle(handle)
{
    if (m_display == nullptr)
    {
        throw std::runtime_error("X11Window: cannot open the display");
    }
}

X11Window::~X11Window()
{
    XCloseDisplay(display(m_display));
}

std::string X11Window::title() const
{
    char* name = nullptr;
    std::string result;
    if (XFetchName(display(m_display), m_handle, &name) != 0 && name != nullptr)
    {
        result = name;
        XFree(name);
    }
    return result;
}

void X11Window::sendCloseRequest()
{
    Display* dpy = display(m_display);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = m_handle;
    event.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, m_handle, False, NoEventMask, &event);
    XSync(dpy, False);
}

void X11Window::sendKeyPress(unsigned long keysym)
{
    Display* dpy = display(m_display);
    XEvent event{};
    event.xkey.type = KeyPress;
    event.xkey.display = dpy;
    event.xkey.window = m_handle;
    event.xkey.root = DefaultRootWindow(dpy);
    event.xkey.time = CurrentTime;
    event.xkey.same_screen = True;
    event.xkey.keycode = XKeysymToKeycode(dpy, keysym);
    XSendEvent(dpy, m_handle, True, KeyPressMask, &event);
    XSync(dpy, False);
}
} // namespace orv_gd::test
