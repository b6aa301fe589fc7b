#include "net/Lockstep.h"

#include "rules/Rules.h"

#include <algorithm>

namespace orv_gd::net
{
namespace
{
const char* roleName(rules::Role role)
{
    return role == rules::Role::Runner ? "Runner" : "Builder";
}

std::string at(Stamp stamp)
{
    return "turn " + std::to_string(stamp.turn) + ", ms " + std::to_string(stamp.ms);
}

bool refused(const rules::Events& events, std::size_t from)
{
    return events.size() > from && events[from].kind == rules::Event::Kind::Refused;
}
} // namespace

rules::Match startMatch(const Message& start, rules::Events* events)
{
    return rules::Rules::start(rules::Rng::resumed(start.seed, start.draws), start.config, nullptr, events);
}

Lockstep::Lockstep(Link& link, rules::Role local, rules::Match& match)
    : m_link(link), m_local(local), m_match(match), m_remoteClock(clock()), m_lastClockSent(clock())
{
    const int turn = m_match.turnNumber;
    m_localDigests[turn] = m_match.digest();
    m_link.send(Message::turnDigest(turn, m_localDigests[turn]));
}

bool Lockstep::owns() const
{
    return m_match.reachedFinish || m_match.turn == m_local;
}

bool Lockstep::act(const rules::Action& action, rules::Events& events)
{
    const std::size_t from = events.size();
    if (failed() || m_match.over || !owns() || action.isRunners() != (m_local == rules::Role::Runner))
    {
        rules::Event no;
        no.kind = rules::Event::Kind::Refused;
        no.why = rules::Refusal::NotYourTurn;
        events.push_back(no);
        return false;
    }
    const Stamp stamp = clock();
    rules::Rules::apply(m_match, action, events);
    if (refused(events, from))
    {
        return false;
    }
    m_link.send(Message::act(stamp, action));
    noteTurns(events, from);
    return true;
}

void Lockstep::update(int ms, rules::Events& events)
{
    Message message;
    while (!failed() && m_link.receive(message))
    {
        handle(message, events);
    }
    if (failed())
    {
        return;
    }
    if (!m_link.isOpen())
    {
        m_problem = m_link.problem().empty() ? "the connection to your friend closed" : m_link.problem();
        return;
    }
    if (m_match.over || paused() || ms <= 0)
    {
        return;
    }
    if (!owns())
    {
        // The friend's turn goes on by the friend's clock, which must move.
        m_stalledMs += ms;
        if (m_stalledMs >= m_match.config.turnLimitMs + StalledClockMs)
        {
            fail(ByeReason::Refused, "your friend's game stopped its clock");
        }
        return;
    }
    m_stalledMs = 0;
    const std::size_t from = events.size();
    const int turn = m_match.turnNumber;
    // This side's time stops at the end of its turn: the friend's turn goes on by the friend's clock.
    int step = std::min(ms, MaxFrameMs);
    step = m_match.reachedFinish ? step : std::min(step, m_match.config.turnLimitMs - m_match.turnMs);
    rules::Rules::advance(m_match, step, events);
    noteTurns(events, from);
    m_sinceClockMs += step;
    if (m_match.turnNumber != turn || m_match.over || m_sinceClockMs >= ClockEveryMs)
    {
        m_sinceClockMs = 0;
        m_lastClockSent = clock();
        m_link.send(Message::clock(m_lastClockSent));
    }
}

bool Lockstep::plausible(Stamp stamp, bool atLimit) const
{
    const int limit = m_match.config.turnLimitMs;
    return !(stamp < m_remoteClock) && !(stamp < clock()) &&
           (stamp.ms < limit || (atLimit && stamp.ms == limit));
}

bool Lockstep::follow(Stamp target, rules::Events& events, const std::string& line)
{
    // A turn at a time: the rules say where each one ends (a walled-in Runner's at 0 ms), and the
    // friend's word never spends this side's own turn.
    while (!m_match.over && !owns() && clock() < target)
    {
        const std::size_t from = events.size();
        const int end = m_match.turnNumber < target.turn ? m_match.config.turnLimitMs
                                                         : std::min(target.ms, m_match.config.turnLimitMs);
        rules::Rules::advance(m_match, end - m_match.turnMs, events);
        noteTurns(events, from);
    }
    if (clock() != target && !m_match.over)
    {
        fail(ByeReason::Refused, line);
        return false;
    }
    if (m_remoteClock < target)
    {
        m_remoteClock = target;
        m_stalledMs = 0;
    }
    return !failed();
}

void Lockstep::takeAction(const Message& message, rules::Events& events)
{
    const Stamp stamp = message.stamp;
    const std::string outOfTurn = "connection closed: your friend acted out of turn (" + at(stamp) + ")";
    if (message.action.isRunners() != (remote() == rules::Role::Runner))
    {
        fail(ByeReason::Refused, std::string("connection closed: your friend sent an action of the ") +
                                     roleName(m_local) + ", whom this side plays");
        return;
    }
    if (!plausible(stamp, false) || !follow(stamp, events, outOfTurn) || m_match.over ||
        m_match.turn != remote())
    {
        fail(ByeReason::Refused, outOfTurn);
        return;
    }
    const std::size_t from = events.size();
    rules::Rules::apply(m_match, message.action, events);
    if (refused(events, from))
    {
        fail(ByeReason::Refused,
             "connection closed: the rules refuse your friend's action (" + at(stamp) + ")");
        return;
    }
    noteTurns(events, from);
    m_remoteActions.push_back({stamp.turn, stamp.ms, message.action});
}

void Lockstep::handle(const Message& message, rules::Events& events)
{
    switch (message.type)
    {
    case Message::Type::Action:
        takeAction(message, events);
        return;
    case Message::Type::Clock:
    {
        // The friend's clock never goes back and never passes a turn's limit; it is followed a turn
        // at a time, and a clock that lands in this side's own turn is out of turn. It stands at the
        // limit only when the turn's end ended the match (the Runner out of turns).
        const std::string outOfTurn =
            "connection closed: your friend's clock is out of turn (" + at(message.stamp) + ")";
        if (m_match.over)
        {
            return;
        }
        if (!plausible(message.stamp, true))
        {
            fail(ByeReason::Refused, outOfTurn);
            return;
        }
        follow(message.stamp, events, outOfTurn);
        return;
    }
    case Message::Type::Digest:
        m_remoteDigests[message.stamp.turn] = message.digest;
        compare(message.stamp.turn);
        if (m_remoteDigests.size() > MaxPendingDigests)
        {
            fail(ByeReason::Refused, "connection closed: your friend's game runs turns ahead of this one");
        }
        return;
    case Message::Type::Pause:
        if (message.paused == m_paused)
        {
            // Both pressed at once: both name the same player.
            m_pausedBy = rules::Role::Runner;
            return;
        }
        m_paused = message.paused;
        m_pausedBy = remote();
        m_resumedTurn = m_paused ? m_resumedTurn : m_match.turnNumber;
        m_stalledMs = 0;
        return;
    default:
        fail(ByeReason::Refused, std::string("connection closed: refused ") + Message::named(message.type) +
                                     " message during the match");
        return;
    }
}

void Lockstep::noteTurns(const rules::Events& events, std::size_t from)
{
    const auto began = [](const rules::Event& e)
    {
        return e.kind == rules::Event::Kind::TurnBegan;
    };
    const auto first = events.begin() + static_cast<std::ptrdiff_t>(from);
    int turn = m_match.turnNumber - static_cast<int>(std::count_if(first, events.end(), began));
    for (auto it = first; it != events.end() && !failed(); ++it)
    {
        if (!began(*it))
        {
            continue;
        }
        turn += 1;
        m_localDigests[turn] = it->digest;
        m_link.send(Message::turnDigest(turn, it->digest));
        m_sinceClockMs = 0;
        compare(turn);
    }
    if (m_localDigests.size() > MaxPendingDigests)
    {
        fail(ByeReason::Refused, "connection closed: your friend's game sends no digests");
    }
}

void Lockstep::compare(int turn)
{
    const auto mine = m_localDigests.find(turn);
    const auto theirs = m_remoteDigests.find(turn);
    if (mine == m_localDigests.end() || theirs == m_remoteDigests.end())
    {
        return;
    }
    if (mine->second != theirs->second)
    {
        fail(ByeReason::OutOfStep, "out of step with your friend");
        return;
    }
    m_localDigests.erase(mine);
    m_remoteDigests.erase(theirs);
    m_compared += 1;
}

void Lockstep::setPaused(bool paused)
{
    if (paused != m_paused && !failed())
    {
        m_paused = paused;
        m_pausedBy = m_local;
        m_resumedTurn = paused ? m_resumedTurn : m_match.turnNumber;
        m_stalledMs = 0;
        m_link.send(Message::pause(paused, m_local));
    }
}

std::vector<rules::MatchLog::Entry> Lockstep::takeRemoteActions()
{
    std::vector<rules::MatchLog::Entry> taken;
    taken.swap(m_remoteActions);
    return taken;
}

void Lockstep::fail(ByeReason reason, const std::string& line)
{
    if (failed())
    {
        return;
    }
    m_problem = line;
    m_link.close(reason, line);
}
} // namespace orv_gd::net
