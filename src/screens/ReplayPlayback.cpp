#include "screens/ReplayPlayback.h"

#include "core/InputManager.h"

#include <iostream>
#include <utility>

namespace orv_gd
{
ReplayPlayback::ReplayPlayback(const rules::MatchLog& log, std::string returnTo)
    : m_driver(log), m_returnTo(std::move(returnTo))
{
}

void ReplayPlayback::readPace(InputManager& input)
{
    if (input.isKeyPressed("ReplayFaster", 0))
    {
        m_driver.faster();
    }
    if (input.isKeyPressed("ReplaySlower", 0))
    {
        m_driver.slower();
    }
}

void ReplayPlayback::reportProblem()
{
    if (!m_driver.getProblem().empty() && m_reportedProblem != m_driver.getProblem())
    {
        m_reportedProblem = m_driver.getProblem();
        std::cerr << "tumbrelt: the replay stops: " << m_reportedProblem << std::endl;
    }
}

std::string ReplayPlayback::banner(const rules::Match& match, bool paused) const
{
    return bannerLine(m_driver.getSpeed(), paused, !m_driver.getLog().hasEnded() && m_driver.isAtEnd(match),
                      m_driver.getProblem());
}

std::string ReplayPlayback::bannerLine(int speed, bool paused, bool leftHere, const std::string& problem)
{
    std::string banner = "REPLAY " + std::to_string(speed) + "\xc3\x97";
    if (!problem.empty())
    {
        return banner + "  stopped: " + problem;
    }
    if (leftHere)
    {
        return banner + "  the match was left here (Escape)";
    }
    return paused ? banner + "  paused" : banner;
}
} // namespace orv_gd
