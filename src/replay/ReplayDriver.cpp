#include "replay/ReplayDriver.h"

#include "rules/Rules.h"

#include <algorithm>

namespace orv_gd
{
namespace
{
/// The match's clock has reached turn `turn`, millisecond `ms`, or gone past it, or can go no
/// further (over, or waiting on green).
bool reached(const rules::Match& match, int turn, int ms)
{
    return match.over || match.reachedFinish || match.turnNumber > turn ||
           (match.turnNumber == turn && match.turnMs >= ms);
}
} // namespace

ReplayDriver::ReplayDriver(const rules::MatchLog& log) : m_log(log) {}

void ReplayDriver::faster()
{
    m_speed = std::min(m_speed + 1, Speeds.size() - 1);
}

void ReplayDriver::slower()
{
    m_speed = m_speed == 0 ? 0 : m_speed - 1;
}

int ReplayDriver::nextStop(const rules::Match& match) const
{
    // Time goes no further than the turn's end (the rules say when, and a walled-in Runner's turn
    // ends at once), so a turn shorter than the limit is never stepped over.
    int step = rules::Rules::msToTurnEnd(match);
    const std::vector<rules::MatchLog::Entry>& entries = m_log.getEntries();
    const bool leftHere = m_next >= entries.size() && !m_log.hasEnded();
    const int turn = leftHere ? m_log.getEndTurn() : m_next < entries.size() ? entries[m_next].turn : -1;
    const int ms = leftHere ? m_log.getEndMs() : m_next < entries.size() ? entries[m_next].ms : 0;
    if (turn == match.turnNumber && !match.reachedFinish)
    {
        step = std::min(step, ms - match.turnMs);
    }
    return step;
}

void ReplayDriver::play(Stage& stage, int ms)
{
    const std::vector<rules::MatchLog::Entry>& entries = m_log.getEntries();
    int left = std::max(ms, 0);
    while (m_problem.empty())
    {
        const rules::Match& match = stage.match();
        if (m_next < entries.size())
        {
            const rules::MatchLog::Entry& entry = entries[m_next];
            if (match.turnNumber == entry.turn && match.turnMs == entry.ms && !match.over &&
                !match.reachedFinish)
            {
                ++m_next;
                if (!stage.act(entry.action))
                {
                    m_problem = "the rules refuse the log's action " + std::to_string(m_next) + " there";
                }
                continue;
            }
            if (reached(match, entry.turn, entry.ms))
            {
                m_problem = "the match has passed turn " + std::to_string(entry.turn) + " ms " +
                            std::to_string(entry.ms) + ", where the log's next action lies";
                return;
            }
        }
        else if (match.over || (!m_log.hasEnded() && reached(match, m_log.getEndTurn(), m_log.getEndMs())))
        {
            // A match that was left stands still where it was left.
            return;
        }
        if (left <= 0)
        {
            return;
        }
        const int step = std::min(left, nextStop(match));
        stage.pass(step);
        left -= step;
    }
}

void ReplayDriver::nextTurn(Stage& stage)
{
    const int turn = stage.match().turnNumber;
    // Each round reaches the turn's end or an action (which may end the turn early).
    const std::size_t rounds = 2 * m_log.getEntries().size() + 4;
    for (std::size_t round = 0;
         round < rounds && m_problem.empty() && stage.match().turnNumber == turn && !isAtEnd(stage.match());
         ++round)
    {
        play(stage, nextStop(stage.match()));
    }
}

bool ReplayDriver::isAtEnd(const rules::Match& match) const
{
    if (m_next < m_log.getEntries().size())
    {
        return false;
    }
    return match.over || (!m_log.hasEnded() && reached(match, m_log.getEndTurn(), m_log.getEndMs()));
}
} // namespace orv_gd
