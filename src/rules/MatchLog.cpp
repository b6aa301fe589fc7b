#include "rules/MatchLog.h"

#include "rules/Rules.h"

#include <algorithm>

namespace orv_gd::rules
{
MatchLog::MatchLog(const Rng& start, const MatchConfig& config) : m_start(start), m_config(config) {}

void MatchLog::record(int turn, int ms, const Action& action)
{
    m_entries.push_back({turn, ms, action});
}

void MatchLog::noteTurns(const Events& events)
{
    for (const Event& event : events)
    {
        if (event.kind == Event::Kind::TurnBegan)
        {
            m_turnDigests.push_back(event.digest);
        }
    }
}

void MatchLog::finish(const Match& match)
{
    m_endTurn = match.turnNumber;
    m_endMs = match.turnMs;
    m_ended = match.over;
}

void MatchLog::finishAt(int turn, int ms, bool ended)
{
    m_endTurn = turn;
    m_endMs = ms;
    m_ended = ended;
}

void MatchLog::advanceTo(Match& match, int turn, int ms, Events& events, int frameMs)
{
    while (!match.over && (match.turnNumber < turn || (match.turnNumber == turn && match.turnMs < ms)))
    {
        int step = match.reachedFinish       ? Match::FinishDelayMs
                   : match.turnNumber < turn ? match.config.turnLimitMs - match.turnMs
                                             : ms - match.turnMs;
        if (frameMs > 0)
        {
            step = std::min(step, frameMs);
        }
        Rules::advance(match, step, events);
    }
}

Match MatchLog::replay(std::string* error, int frameMs, std::size_t* faultyEntry) const
{
    Events events;
    Match match = Rules::start(m_start, m_config, nullptr, &events);
    MatchLog again(m_start, m_config);
    const auto fail = [&](std::size_t entry, const std::string& why)
    {
        if (faultyEntry)
        {
            *faultyEntry = entry;
        }
        if (error)
        {
            *error = faultyEntry
                         ? why
                         : (entry == 0 ? std::string("at the end") : "entry " + std::to_string(entry)) +
                               ": " + why;
        }
        return match;
    };
    // The turns begun so far must have begun as they did in play.
    const auto sameTurns = [&]
    {
        again.noteTurns(events);
        events.clear();
        const std::size_t seen = again.m_turnDigests.size();
        for (std::size_t i = 0; i < seen && i < m_turnDigests.size(); ++i)
        {
            if (again.m_turnDigests[i] != m_turnDigests[i])
            {
                return false;
            }
        }
        return true;
    };
    for (std::size_t i = 0; i < m_entries.size(); ++i)
    {
        const Entry& entry = m_entries[i];
        if (match.turnNumber > entry.turn || (match.turnNumber == entry.turn && match.turnMs > entry.ms))
        {
            return fail(i + 1, "stamped before the action ahead of it");
        }
        advanceTo(match, entry.turn, entry.ms, events, frameMs);
        if (!sameTurns())
        {
            return fail(i + 1, "turn " + std::to_string(match.turnNumber) + " began otherwise than in play");
        }
        Rules::apply(match, entry.action, events);
        if (!events.empty() && events.front().kind == Event::Kind::Refused)
        {
            return fail(i + 1, "the rules refuse this action here");
        }
        if (!sameTurns())
        {
            return fail(i + 1, "turn " + std::to_string(match.turnNumber) + " began otherwise than in play");
        }
    }
    if (m_ended)
    {
        // Played on until the match is over: by the wait on green, or by turns that run out.
        advanceTo(match, match.turnNumber + 4 * (Match::StartTurns + 2), 0, events, frameMs);
    }
    else
    {
        advanceTo(match, m_endTurn, m_endMs, events, frameMs);
    }
    const bool turnsKnown = !m_turnDigests.empty();
    if (!sameTurns() || (turnsKnown && again.m_turnDigests.size() != m_turnDigests.size()))
    {
        return fail(0, "the turns differ from those played");
    }
    return match;
}
} // namespace orv_gd::rules
