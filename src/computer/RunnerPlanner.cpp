#include "computer/RunnerPlanner.h"

#include "rules/Rules.h"
#include "rules/RunnerMoves.h"

#include <algorithm>
#include <numeric>

namespace orv_gd
{
namespace
{
using rules::Cell;
using rules::Field;
using rules::Rules;
using rules::RunnerMoves;

constexpr RunnerAction StepKeys[] = {RunnerAction::Right, RunnerAction::Left, RunnerAction::Up};

int cellIndex(const Field& field, Cell cell)
{
    return cell.x * field.getHeight() + cell.y;
}

/// Marks the cell and its eight neighbours: every cell a move from or into `cell` looks at.
void markAround(const Field& field, Cell cell, std::vector<bool>& examined)
{
    for (int dx = -1; dx <= 1; ++dx)
    {
        for (int dy = -1; dy <= 1; ++dy)
        {
            const Cell near{cell.x + dx, cell.y + dy};
            if (field.isInside(near))
            {
                examined[static_cast<std::size_t>(cellIndex(field, near))] = true;
            }
        }
    }
}
} // namespace

RunnerPlanner::Step RunnerPlanner::press(const Field& field, const RunnerState& state, RunnerAction action)
{
    if (action != RunnerAction::Left && action != RunnerAction::Right && action != RunnerAction::Up)
    {
        return {state, Outcome::Nothing};
    }
    const RunnerMoves::Move move = action == RunnerAction::Left    ? RunnerMoves::Move::Left
                                   : action == RunnerAction::Right ? RunnerMoves::Move::Right
                                                                   : RunnerMoves::Move::Up;
    const RunnerMoves::Result result = RunnerMoves::move(field, state, move);
    switch (result.outcome)
    {
    case RunnerMoves::Outcome::Refused:
        return {state, Outcome::Nothing};
    case RunnerMoves::Outcome::Finished:
        return {result.state, Outcome::Finished};
    case RunnerMoves::Outcome::Fell:
        return {result.state, Outcome::Reset};
    default:
        break;
    }
    if (result.walledIn)
    {
        return {result.state, Outcome::Reset};
    }
    return {result.state,
            result.outcome == RunnerMoves::Outcome::Blocked ? Outcome::Nothing : Outcome::Moved};
}

const char* RunnerPlanner::actionName(RunnerAction action)
{
    switch (action)
    {
    case RunnerAction::Left:
        return "RunnerLeft";
    case RunnerAction::Right:
        return "RunnerRight";
    case RunnerAction::Up:
        return "RunnerUp";
    case RunnerAction::End:
        return "RunnerEnd";
    case RunnerAction::Reset:
        return "RunnerReset";
    }
    return "RunnerEnd";
}

void RunnerPlanner::expandTurn(const Field& field, const RunnerState& start, std::vector<Node>& nodes) const
{
    nodes.clear();
    nodes.push_back({start, -1, RunnerAction::End, false});
    // Best jump force seen per (cell, moves left): a state with no more force is no better.
    // Within one turn the Runner never leaves a small box around its start, so the box indexes it;
    // a new generation number empties the table without clearing it.
    ++m_generation;
    const auto seenAt = [&](const RunnerState& s) -> int&
    {
        const int dx = std::clamp(s.cell.x - start.cell.x + TurnReach, 0, TurnSide - 1);
        const int dy = std::clamp(s.cell.y - start.cell.y + TurnReach, 0, TurnSide - 1);
        const auto key = static_cast<std::size_t>((dx * TurnSide + dy) * (MovesPerTurn + 1) +
                                                  std::clamp(s.moves, 0, MovesPerTurn));
        if (m_turnGeneration[key] != m_generation)
        {
            m_turnGeneration[key] = m_generation;
            m_turnBest[key] = -1;
        }
        return m_turnBest[key];
    };
    seenAt(start) = start.jumpForce;
    for (std::size_t i = 0; i < nodes.size(); ++i)
    {
        if (nodes[i].finished)
        {
            continue;
        }
        const RunnerState from = nodes[i].state;
        for (RunnerAction action : StepKeys)
        {
            const Step step = press(field, from, action);
            if (step.outcome == Outcome::Nothing || step.outcome == Outcome::Reset)
            {
                continue;
            }
            if (step.outcome == Outcome::Finished)
            {
                nodes.push_back({step.state, static_cast<int>(i), action, true});
                continue;
            }
            int& seen = seenAt(step.state);
            if (step.state.jumpForce <= seen)
            {
                continue;
            }
            seen = step.state.jumpForce;
            nodes.push_back({step.state, static_cast<int>(i), action, false});
        }
    }
}

Field RunnerPlanner::nextField(const Field& field) const
{
    Field next = field;
    Rules::betweenTurns(next, {-1, -1}, m_options.builderTurnMs);
    return next;
}

std::pair<int, int> RunnerPlanner::search(const Field& field, const std::vector<Root>& starts, int limit,
                                          std::vector<bool>* examined, std::vector<Cell>* route) const
{
    // One pass per turn: the keys of a turn cost nothing, ending it costs one. A state is worth
    // expanding only with more jump force than any state seen before in its cell with the same
    // moves left, in this turn or an earlier one (resets left are not compared: they only decide
    // whether a walled-in start can still be paid for).
    const auto key = [&](const RunnerState& s)
    {
        return static_cast<std::size_t>(cellIndex(field, s.cell) * (MovesPerTurn + 1) +
                                        std::clamp(s.moves, 0, MovesPerTurn));
    };
    m_bestForce.assign(static_cast<std::size_t>(field.getWidth() * field.getHeight() * (MovesPerTurn + 1)),
                       -1);
    std::vector<SearchEntry>& all = m_entries;
    std::vector<int>& open = m_open;
    std::vector<int>& next = m_next;
    all.clear();
    open.clear();
    for (std::size_t i = 0; i < starts.size(); ++i)
    {
        if (field.isInside(starts[i].state.cell) && starts[i].resetsLeft >= 0)
        {
            open.push_back(static_cast<int>(all.size()));
            all.push_back({starts[i].state, static_cast<int>(i), -1, starts[i].resetsLeft});
        }
    }
    // The cells the Runner passes on its way, the finish cell first.
    const auto traceRoute = [&](int index, Cell finish)
    {
        if (!route)
        {
            return;
        }
        route->push_back(finish);
        for (int i = index; i >= 0; i = all[static_cast<std::size_t>(i)].parent)
        {
            route->push_back(all[static_cast<std::size_t>(i)].state.cell);
        }
    };
    Field level = field;
    Field own;
    for (int turn = 1; turn <= limit && !open.empty(); ++turn)
    {
        const Field after = nextField(level);
        next.clear();
        for (std::size_t i = 0; i < open.size(); ++i)
        {
            const int index = open[i];
            SearchEntry entry = all[static_cast<std::size_t>(index)];
            if (m_options.forceCap > 0)
            {
                entry.state.jumpForce = std::min(entry.state.jumpForce, m_options.forceCap);
            }
            if (entry.state.jumpForce <= m_bestForce[key(entry.state)])
            {
                continue;
            }
            // Being here with this force is at least as good as being here with fewer moves left.
            RunnerState weaker = entry.state;
            for (weaker.moves = std::clamp(entry.state.moves, 0, MovesPerTurn); weaker.moves >= 0;
                 --weaker.moves)
            {
                int& seen = m_bestForce[key(weaker)];
                seen = std::max(seen, entry.state.jumpForce);
            }
            if (examined)
            {
                markAround(field, entry.state.cell, *examined);
            }
            for (RunnerAction action : StepKeys)
            {
                const Step step = press(level, entry.state, action);
                if (step.outcome == Outcome::Finished)
                {
                    traceRoute(index, step.state.cell);
                    return {entry.root, turn};
                }
                if (step.outcome == Outcome::Moved && step.state.jumpForce > m_bestForce[key(step.state)])
                {
                    open.push_back(static_cast<int>(all.size()));
                    all.push_back({step.state, entry.root, index, entry.resetsLeft});
                }
            }
            int resetsLeft = entry.resetsLeft;
            RunnerState start = entry.state;
            if (m_options.sharedTurnField)
            {
                // The gravity pass drops the Runner one cell when the cell below it is empty once
                // the cells below have fallen, as the shared field shows them.
                if (after.isFree({start.cell.x, start.cell.y + 1}))
                {
                    start.cell.y += 1;
                }
                Rules::beginRunnerTurn(after, start, resetsLeft);
            }
            else
            {
                own = level;
                Rules::handOver(own, start, resetsLeft, m_options.builderTurnMs);
            }
            if (resetsLeft >= 0 && start.jumpForce > m_bestForce[key(start)])
            {
                next.push_back(static_cast<int>(all.size()));
                all.push_back({start, entry.root, index, resetsLeft});
            }
        }
        open.swap(next);
        level = after;
    }
    return {-1, limit + 1};
}

int RunnerPlanner::turnsToFinish(const Field& field, Cell start, int jumpForce, int resetsLeft, int limit,
                                 std::vector<bool>* examined, std::vector<Cell>* route) const
{
    RunnerState first{start, jumpForce, MovesPerTurn};
    Rules::beginRunnerTurn(field, first, resetsLeft);
    return search(field, {Root{first, resetsLeft}}, limit, examined, route).second;
}

RunnerPlanner::TurnPlan RunnerPlanner::planFrom(const std::vector<Node>& nodes, int node, bool endTurn) const
{
    TurnPlan plan;
    for (int i = node; i > 0; i = nodes[static_cast<std::size_t>(i)].parent)
    {
        plan.actions.push_back(nodes[static_cast<std::size_t>(i)].action);
        plan.expected.push_back(nodes[static_cast<std::size_t>(i)].state);
    }
    std::reverse(plan.actions.begin(), plan.actions.end());
    std::reverse(plan.expected.begin(), plan.expected.end());
    if (endTurn)
    {
        plan.actions.push_back(RunnerAction::End);
        plan.expected.push_back(nodes[static_cast<std::size_t>(node)].state);
    }
    return plan;
}

RunnerPlanner::TurnPlan RunnerPlanner::planTurn(const rules::Match& match, std::mt19937* random) const
{
    const Field& field = match.field;
    std::vector<Node> nodes;
    expandTurn(field, match.runner, nodes);
    for (std::size_t i = 0; i < nodes.size(); ++i)
    {
        if (nodes[i].finished)
        {
            TurnPlan plan = planFrom(nodes, static_cast<int>(i), false);
            plan.turnsToFinish = 1;
            return plan;
        }
    }

    // Where each way through this turn leaves the Runner when its next turn begins, after the
    // hand-over as the game plays it (worked out once per cell the turn may end in). The later
    // turns are searched from there.
    std::vector<Root> starts(nodes.size());
    std::vector<std::pair<Cell, Root>> handedOver;
    Field own;
    for (std::size_t i = 0; i < nodes.size(); ++i)
    {
        const RunnerState& end = nodes[i].state;
        const auto known = std::find_if(handedOver.begin(), handedOver.end(),
                                        [&](const auto& entry) { return entry.first == end.cell; });
        if (known == handedOver.end())
        {
            own = field;
            int resetsLeft = match.resetsLeft;
            RunnerState start = end;
            Rules::handOver(own, start, resetsLeft, m_options.builderTurnMs);
            handedOver.push_back({end.cell, Root{start, resetsLeft}});
            starts[i] = handedOver.back().second;
        }
        else
        {
            starts[i] = known->second;
        }
        if (starts[i].state.moves > 0)
        {
            starts[i].state.jumpForce = end.jumpForce;
        }
    }
    // Most promising first: further right, then more jump force, then fewer keys.
    std::vector<int> order(nodes.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b)
                     {
                         const RunnerState& sa = starts[static_cast<std::size_t>(a)].state;
                         const RunnerState& sb = starts[static_cast<std::size_t>(b)].state;
                         if (sa.cell.x != sb.cell.x)
                         {
                             return sa.cell.x > sb.cell.x;
                         }
                         return sa.jumpForce > sb.jumpForce;
                     });
    std::vector<Root> roots;
    for (int i : order)
    {
        roots.push_back(starts[static_cast<std::size_t>(i)]);
    }

    // Now and then a person takes another way than the best: any end of this turn that costs no
    // reset and goes back at most one column.
    if (random && m_options.detourPercent > 0 &&
        std::uniform_int_distribution<int>(0, 99)(*random) < m_options.detourPercent)
    {
        std::vector<int> others;
        for (std::size_t i = 1; i < nodes.size(); ++i)
        {
            if (starts[i].resetsLeft == match.resetsLeft && nodes[i].state.cell.x >= match.runner.cell.x - 1)
            {
                others.push_back(static_cast<int>(i));
            }
        }
        if (!others.empty())
        {
            const auto pick = std::uniform_int_distribution<std::size_t>(0, others.size() - 1)(*random);
            return planFrom(nodes, others[pick], true);
        }
    }

    const int limit =
        std::min({Horizon, std::max(1, m_options.lookAhead), std::max(1, match.runnerTurnsLeft())});
    const auto [root, turns] = search(nextField(field), roots, limit, nullptr, nullptr);
    if (root >= 0)
    {
        TurnPlan plan = planFrom(nodes, order[static_cast<std::size_t>(root)], true);
        plan.turnsToFinish = 1 + turns;
        return plan;
    }

    // Stuck: when a fresh start can still reach the finish and a reset is left to spare, reset.
    // The reset spends the rest of this turn.
    RunnerState afterReset = match.runner;
    int resetsAfter = match.resetsLeft;
    Rules::resetRunner(field, afterReset, resetsAfter);
    if (resetsAfter >= 0)
    {
        if (search(field, {Root{afterReset, resetsAfter}}, limit, nullptr, nullptr).second <= limit)
        {
            TurnPlan plan;
            plan.actions.push_back(RunnerAction::Reset);
            plan.expected.push_back(afterReset);
            return plan;
        }
    }
    // No way in sight: as far right as this turn goes.
    return planFrom(nodes, order.front(), true);
}
} // namespace orv_gd
