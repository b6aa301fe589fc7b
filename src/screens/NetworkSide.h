#pragma once

#include "net/Lockstep.h"
#include "net/NetPlay.h"
#include "rules/Event.h"
#include "rules/Match.h"
#include "rules/MatchLog.h"
#include "rules/Rng.h"

#include <string>

namespace orv_gd
{
/// This side of a network match on the match screen: the friend's game kept in step, whether the
/// friend has begun the match yet, and the banner's words.
class NetworkSide
{
public:
    static constexpr const char* ClosedEarly = "the connection to your friend closed before the match began";

    /// The generator and numbers of the match the host's Start describes; false when there is no
    /// Start or the connection closed before the match began.
    static bool readStart(const NetPlay* net, rules::Rng& start, rules::MatchConfig& config);

    /// `match`: just started from the Start. Says the first turn's digest: the friend's game hears
    /// this side has begun.
    NetworkSide(NetPlay& net, rules::Match& match);

    net::Lockstep& getLockstep() { return m_lockstep; }
    const net::Lockstep& getLockstep() const { return m_lockstep; }
    /// The friend's game has begun the match: from then on time passes.
    bool isFriendHere() const { return m_friendHere; }

    /// Takes the friend's messages and lets `ms` of the match pass; the friend's actions go into
    /// `log` at their stamps, and the turns into its count. Returns what happened.
    rules::Events exchange(int ms, rules::MatchLog& log);

    /// The banner over the match as it stands.
    std::string banner() const;
    /// The role played here, the wait for the friend, who paused.
    static std::string bannerLine(rules::Role local, bool friendHere, bool paused, rules::Role pausedBy,
                                  bool resumed);

private:
    net::Lockstep m_lockstep;
    bool m_friendHere = false;
};
} // namespace orv_gd
