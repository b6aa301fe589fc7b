#include "screens/NetworkSide.h"

namespace orv_gd
{
bool NetworkSide::readStart(const NetPlay* net, rules::Rng& start, rules::MatchConfig& config)
{
    if (!net || !net->getStart() || !net->isOpen())
    {
        return false;
    }
    // Both sides start from the host's generator and numbers: the host's turn time holds.
    const net::Message& begin = *net->getStart();
    start = rules::Rng::resumed(begin.seed, begin.draws);
    config = begin.config;
    return true;
}

NetworkSide::NetworkSide(NetPlay& net, rules::Match& match)
    : m_lockstep(*net.getLink(), net.localRole(), match)
{
}

rules::Events NetworkSide::exchange(int ms, rules::MatchLog& log)
{
    rules::Events events;
    m_lockstep.update(ms, events);
    // The friend's first digest says its game has begun the match.
    m_friendHere = m_friendHere || m_lockstep.comparedTurns() > 0;
    for (const rules::MatchLog::Entry& entry : m_lockstep.takeRemoteActions())
    {
        log.record(entry.turn, entry.ms, entry.action);
    }
    log.noteTurns(events);
    return events;
}

std::string NetworkSide::banner() const
{
    return bannerLine(m_lockstep.local(), m_friendHere, m_lockstep.paused(), m_lockstep.pausedBy(),
                      m_lockstep.resumed());
}

std::string NetworkSide::bannerLine(rules::Role local, bool friendHere, bool paused, rules::Role pausedBy,
                                    bool resumed)
{
    const auto name = [](rules::Role role)
    {
        return role == rules::Role::Runner ? std::string("Runner") : std::string("Builder");
    };
    if (!friendHere)
    {
        return "NETWORK  waiting for your friend to begin the match";
    }
    if (paused || resumed)
    {
        return std::string(paused ? "PAUSED" : "RESUMED") +
               (pausedBy == local ? " by you (the " : " by your friend (the ") + name(pausedBy) + ")";
    }
    return "NETWORK  you play the " + name(local);
}
} // namespace orv_gd
