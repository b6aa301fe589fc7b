#pragma once

#include <string>

namespace orv_gd::test
{
/// Talks to a window the way the window system or another program would, through a connection
/// of its own: reads its title and sends it a close request or key presses.
/// The handle is the window's sf::WindowHandle (an X11 window id).
class X11Window
{
public:
    explicit X11Window(unsigned long handle);
    ~X11Window();

    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

    /// The window's title (WM_NAME) as the window system sees it.
    std::string title() const;
    /// Sends WM_DELETE_WINDOW, what a window manager sends when the user closes the window.
    void sendCloseRequest();
    /// Sends a key press of the key with the given X keysym (XK_a is 0x61).
    void sendKeyPress(unsigned long keysym);

private:
    void* m_display;
    unsigned long m_handle;
};
} // namespace orv_gd::test
