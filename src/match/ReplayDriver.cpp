#include "match/ReplayDriver.h"

#include <algorithm>
#include <climits>

namespace orv_gd
{
ReplayDriver::ReplayDriver(const rules::MatchLog& log) : m_log(log) {}

void ReplayDriver::faster()
{
    m_speed = std::min(m_speed + 1, Speeds.size() - 1);
}

void ReplayDriver::slower()
{
    m_speed = m_speed == 0 ? 0 : m_speed - 1;
}

int ReplayDriver::until(const rules::Match& match, int turn, int ms) const
{
    if (match.over || match.reachedFinish || turn < match.turnNumber ||
        (turn == match.turnNumber && ms < match.turnMs))
    {
        return -1;
    }
    const long long limit = match.config.turnLimitMs;
    const long long distance = turn == match.turnNumber
                                   ? ms - match.turnMs
                                   : (limit - match.turnMs) + (turn - match.turnNumber - 1) * limit + ms;
    return static_cast<int>(std::min<long long>(distance, INT_MAX));
}

void ReplayDriver::play(Stage& stage, int ms)
{
    const std::vector<rules::MatchLog::Entry>& entries = m_log.getEntries();
    int left = std::max(ms, 0);
    while (m_problem.empty() && m_next < entries.size())
    {
        const rules::MatchLog::Entry& entry = entries[m_next];
        const int distance = until(stage.match(), entry.turn, entry.ms);
        if (distance < 0)
        {
            m_problem = "the match has passed turn " + std::to_string(entry.turn) + " ms " +
                        std::to_string(entry.ms) + ", where the log's next action lies";
            return;
        }
        if (distance > left)
        {
            break;
        }
        stage.pass(distance);
        left -= distance;
        const rules::Match& match = stage.match();
        if (match.turnNumber != entry.turn || match.turnMs != entry.ms)
        {
            m_problem = "the match did not reach turn " + std::to_string(entry.turn) + " ms " +
                        std::to_string(entry.ms) + ", where the log's next action lies";
            return;
        }
        ++m_next;
        if (!stage.act(entry.action))
        {
            m_problem = "the rules refuse the log's action " + std::to_string(m_next) + " there";
            return;
        }
    }
    if (!m_problem.empty())
    {
        return;
    }
    if (m_next >= entries.size() && !m_log.hasEnded())
    {
        // A match that was left stands still where it was left.
        left = std::min(left, std::max(until(stage.match(), m_log.getEndTurn(), m_log.getEndMs()), 0));
    }
    if (left > 0)
    {
        stage.pass(left);
    }
}

void ReplayDriver::nextTurn(Stage& stage)
{
    const int turn = stage.match().turnNumber;
    const std::size_t rounds = m_log.getEntries().size() + 2;
    for (std::size_t round = 0; round < rounds && m_problem.empty() && !stage.match().over &&
                                stage.match().turnNumber == turn && !isAtEnd(stage.match());
         ++round)
    {
        // To the turn's end, or to the next action when it comes first (it may end the turn early).
        int distance =
            stage.match().reachedFinish ? rules::Match::FinishDelayMs : until(stage.match(), turn + 1, 0);
        if (m_next < m_log.getEntries().size())
        {
            const rules::MatchLog::Entry& entry = m_log.getEntries()[m_next];
            const int toAction = until(stage.match(), entry.turn, entry.ms);
            distance = toAction >= 0 ? std::min(distance, toAction) : distance;
        }
        play(stage, std::max(distance, 0));
    }
}

bool ReplayDriver::isAtEnd(const rules::Match& match) const
{
    if (m_next < m_log.getEntries().size())
    {
        return false;
    }
    return match.over || (!m_log.hasEnded() && until(match, m_log.getEndTurn(), m_log.getEndMs()) <= 0);
}
} // namespace orv_gd
