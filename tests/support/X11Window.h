#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orv_gd::test
{
/// The title (WM_NAME) of a window (its sf::WindowHandle) as the window system sees it.
std::string x11WindowTitle(unsigned long window);
/// The window's icon (_NET_WM_ICON): its size and its pixels as ARGB, row by row; empty when it
/// has none.
struct X11Icon
{
    unsigned long width = 0;
    unsigned long height = 0;
    std::vector<std::uint32_t> pixels;
};
X11Icon x11WindowIcon(unsigned long window);
/// Asks the window to close as a window manager does (WM_DELETE_WINDOW), then presses `keysym` in
/// it; returns once both are on their way.
void x11RequestCloseThenPress(unsigned long window, unsigned long keysym);
} // namespace orv_gd::test
