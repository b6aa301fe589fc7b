#pragma once

#include <string>

namespace orv_gd::test
{
/// The title (WM_NAME) of a window (its sf::WindowHandle) as the window system sees it.
std::string x11WindowTitle(unsigned long window);
} // namespace orv_gd::test
