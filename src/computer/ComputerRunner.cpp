#include "computer/ComputerRunner.h"

#include "computer/MatchSource.h"
#include "core/InputManager.h"

namespace orv_gd
{
namespace
{
constexpr int RunnerPlayer = 0;
/// The last key of a turn comes at least this long before the turn's limit.
constexpr int TurnMarginMs = 3000;
} // namespace

ComputerRunner::ComputerRunner(const MatchSource& match, InputManager& input, const ComputerLevel& level,
                               unsigned seed)
    : m_match(match), m_input(input), m_level(level), m_planner(level.runner), m_random(seed)
{
}

void ComputerRunner::update(float dt)
{
    const rules::Match& match = m_match.currentMatch();
    if (!match.runnerActs())
    {
        // A new turn gets a new plan, made once the field has settled into it.
        m_plan = {};
        m_next = 0;
        m_pace.restart();
        m_thinkMs = -1;
        return;
    }
    if (m_thinkMs < 0)
    {
        m_thinkMs = m_level.runnerThinkMs.draw(m_random, match.config.turnLimitMs - TurnMarginMs);
    }
    // Thinking: no key yet, and the pace's wait starts once it is over.
    if (match.turnMs < m_thinkMs || !m_pace.due(dt))
    {
        return;
    }

    const bool planned = m_next > 0 && m_next <= m_plan.expected.size();
    if (planned && m_plan.expected[m_next - 1] != match.runner)
    {
        ++m_surprises;
        m_next = m_plan.actions.size();
    }
    if (m_next >= m_plan.actions.size())
    {
        m_plan = m_planner.planTurn(match, &m_random);
        m_next = 0;
    }
    if (m_next < m_plan.actions.size())
    {
        m_input.pressAction(RunnerPlanner::actionName(m_plan.actions[m_next]), RunnerPlayer);
        ++m_next;
    }
}
} // namespace orv_gd
