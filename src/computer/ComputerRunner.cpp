#include "computer/ComputerRunner.h"

#include "computer/MatchSource.h"
#include "core/InputManager.h"

namespace orv_gd
{
namespace
{
constexpr int RunnerPlayer = 0;
} // namespace

ComputerRunner::ComputerRunner(const MatchSource& match, InputManager& input) : m_match(match), m_input(input)
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
        return;
    }
    if (!m_pace.due(dt))
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
        m_plan = m_planner.planTurn(match);
        m_next = 0;
    }
    if (m_next < m_plan.actions.size())
    {
        m_input.pressAction(RunnerPlanner::actionName(m_plan.actions[m_next]), RunnerPlayer);
        ++m_next;
    }
}
} // namespace orv_gd
