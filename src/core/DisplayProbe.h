#pragma once

#include <string>

namespace orv_gd
{
/// Checks that the window system can be reached before any window or GL object exists:
/// without a display SFML aborts the process instead of reporting an error.
class DisplayProbe
{
public:
    /// Empty when the display opens; otherwise one line saying which display failed.
    static std::string check();
};
} // namespace orv_gd
