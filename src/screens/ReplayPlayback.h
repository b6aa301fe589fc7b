#pragma once

#include "replay/ReplayDriver.h"
#include "rules/Match.h"
#include "rules/MatchLog.h"

#include <string>

namespace orv_gd
{
class InputManager;

/// A match watched from its log on the match screen: the driver that plays both roles, the pace
/// keys, the screen Escape leads back to, and the banner's words.
class ReplayPlayback
{
public:
    /// `returnTo`: the screen the watch was opened from.
    ReplayPlayback(const rules::MatchLog& log, std::string returnTo);

    ReplayDriver& getDriver() { return m_driver; }
    const ReplayDriver& getDriver() const { return m_driver; }
    const std::string& getReturnTo() const { return m_returnTo; }

    /// Faster or slower as the pace keys ask; they count even once the match is over.
    void readPace(InputManager& input);
    /// Says on stderr why the log stopped playing, once for each new reason.
    void reportProblem();
    /// The banner over the match as it stands.
    std::string banner(const rules::Match& match, bool paused) const;
    /// "REPLAY 4×", with "paused", where a left match stops, or why it could not go on.
    static std::string bannerLine(int speed, bool paused, bool leftHere, const std::string& problem);

private:
    ReplayDriver m_driver;
    std::string m_returnTo;
    std::string m_reportedProblem;
};
} // namespace orv_gd
