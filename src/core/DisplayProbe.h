#pragma once

#include <string>

namespace orv_gd
{
/// Opens a connection to the window system before any window or GL object exists: without a
/// display SFML aborts the process instead of reporting an error. The connection stays open as
/// long as the probe lives, because a server whose last client leaves resets itself and refuses
/// new clients for a moment, the game's own window among them.
class DisplayProbe
{
public:
    DisplayProbe();
    ~DisplayProbe();

    DisplayProbe(const DisplayProbe&) = delete;
    DisplayProbe& operator=(const DisplayProbe&) = delete;

    bool isOpen() const { return m_problem.empty(); }
    /// Empty when the display opened; otherwise one line saying which display failed.
    const std::string& getProblem() const { return m_problem; }

private:
    void* m_display = nullptr;
    std::string m_problem;
};
} // namespace orv_gd
