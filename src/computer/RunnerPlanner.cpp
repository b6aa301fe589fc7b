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

/// Where the search keeps the best jump force seen in a cell with so many moves left.
std::size_t forceKey(const Field& field, const rules::RunnerState& state)
{
    constexpr int Moves = RunnerPlanner::MovesPerTurn;
    return static_cast<std::size_t>(cellIndex(field, state.cell) * (Moves + 1) +
                                    std::clamp(state.moves, 0, Moves));
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

void RunnerPlanner::beginSearch(const Field& field, const std::vector<Root>& starts) const
{
    m_bestForce.assign(static_cast<std::size_t>(field.getWidth() * field.getHeight() * (MovesPerTurn + 1)),
                       -1);
    m_entries.clear();
    m_open.clear();
    for (std::size_t i = 0; i < starts.size(); ++i)
    {
        if (field.isInside(starts[i].state.cell) && starts[i].resetsLeft >= 0)
        {
            m_open.push_back(static_cast<int>(m_entries.size()));
            m_entries.push_back({starts[i].state, static_cast<int>(i), -1, starts[i].resetsLeft});
        }
    }
}

bool RunnerPlanner::claim(const Field& field, const RunnerState& state) const
{
    if (state.jumpForce <= m_bestForce[forceKey(field, state)])
    {
        return false;
    }
    // Being here with this force is at least as good as being here with fewer moves left.
    RunnerState weaker = state;
    for (weaker.moves = std::clamp(state.moves, 0, MovesPerTurn); weaker.moves >= 0; --weaker.moves)
    {
        int& seen = m_bestForce[forceKey(field, weaker)];
        seen = std::max(seen, state.jumpForce);
    }
    return true;
}

bool RunnerPlanner::tryKeys(const Field& level, const SearchEntry& entry, int index, Cell& finish) const
{
    for (RunnerAction action : StepKeys)
    {
        const Step step = press(level, entry.state, action);
        if (step.outcome == Outcome::Finished)
        {
            finish = step.state.cell;
            return true;
        }
        if (step.outcome == Outcome::Moved && step.state.jumpForce > m_bestForce[forceKey(level, step.state)])
        {
            m_open.push_back(static_cast<int>(m_entries.size()));
            m_entries.push_back({step.state, entry.root, index, entry.resetsLeft});
        }
    }
    return false;
}

void RunnerPlanner::carryOver(const Field& level, const Field& after, const SearchEntry& entry, int index,
                              Field& own) const
{
    int resetsLeft = entry.resetsLeft;
    RunnerState start = entry.state;
    if (m_options.sharedTurnField)
    {
        // The gravity pass drops the Runner one cell when the cell below it is empty once the cells
        // below have fallen, as the shared field shows them.
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
    if (resetsLeft >= 0 && start.jumpForce > m_bestForce[forceKey(level, start)])
    {
        m_next.push_back(static_cast<int>(m_entries.size()));
        m_entries.push_back({start, entry.root, index, resetsLeft});
    }
}

void RunnerPlanner::traceRoute(int index, Cell finish, std::vector<Cell>& route) const
{
    route.push_back(finish);
    for (int i = index; i >= 0; i = m_entries[static_cast<std::size_t>(i)].parent)
    {
        route.push_back(m_entries[static_cast<std::size_t>(i)].state.cell);
    }
}

std::pair<int, int> RunnerPlanner::search(const Field& field, const std::vector<Root>& starts, int limit,
                                          std::vector<bool>* examined, std::vector<Cell>* route) const
{
    // One pass per turn: the keys of a turn cost nothing, ending it costs one. A state is worth
    // expanding only with more jump force than any state seen before in its cell with the same
    // moves left, in this turn or an earlier one (resets left are not compared: they only decide
    // whether a walled-in start can still be paid for).
    beginSearch(field, starts);
    Field level = field;
    Field own;
    for (int turn = 1; turn <= limit && !m_open.empty(); ++turn)
    {
        const Field after = nextField(level);
        m_next.clear();
        // The open list grows while it is read: the states this turn's keys reach join it.
        for (std::size_t i = 0; i < m_open.size(); ++i)
        {
            const int index = m_open[i];
            SearchEntry entry = m_entries[static_cast<std::size_t>(index)];
            if (m_options.forceCap > 0)
            {
                entry.state.jumpForce = std::min(entry.state.jumpForce, m_options.forceCap);
            }
            if (!claim(field, entry.state))
            {
                continue;
            }
            if (examined)
            {
                markAround(field, entry.state.cell, *examined);
            }
            Cell finish{};
            if (tryKeys(level, entry, index, finish))
            {
                if (route)
                {
                    traceRoute(index, finish, *route);
                }
                return {entry.root, turn};
            }
            carryOver(level, after, entry, index, own);
        }
        m_open.swap(m_next);
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

std::vector<RunnerPlanner::Root> RunnerPlanner::handOverStarts(const rules::Match& match,
                                                               const std::vector<Node>& nodes) const
{
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
            own = match.field;
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
    return starts;
}

std::vector<int> RunnerPlanner::promisingOrder(const std::vector<Root>& starts)
{
    std::vector<int> order(starts.size());
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
    return order;
}

bool RunnerPlanner::takeDetour(const rules::Match& match, const std::vector<Node>& nodes,
                               const std::vector<Root>& starts, std::mt19937* random, TurnPlan& plan) const
{
    if (!random || m_options.detourPercent <= 0 ||
        std::uniform_int_distribution<int>(0, 99)(*random) >= m_options.detourPercent)
    {
        return false;
    }
    std::vector<int> others;
    for (std::size_t i = 1; i < nodes.size(); ++i)
    {
        if (starts[i].resetsLeft == match.resetsLeft && nodes[i].state.cell.x >= match.runner.cell.x - 1)
        {
            others.push_back(static_cast<int>(i));
        }
    }
    if (others.empty())
    {
        return false;
    }
    const auto pick = std::uniform_int_distribution<std::size_t>(0, others.size() - 1)(*random);
    plan = planFrom(nodes, others[pick], true);
    return true;
}

bool RunnerPlanner::resetWorthIt(const rules::Match& match, int limit, TurnPlan& plan) const
{
    RunnerState afterReset = match.runner;
    int resetsAfter = match.resetsLeft;
    Rules::resetRunner(match.field, afterReset, resetsAfter);
    if (resetsAfter < 0 ||
        search(match.field, {Root{afterReset, resetsAfter}}, limit, nullptr, nullptr).second > limit)
    {
        return false;
    }
    plan = TurnPlan();
    plan.actions.push_back(RunnerAction::Reset);
    plan.expected.push_back(afterReset);
    return true;
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
    // The later turns are searched from where each way through this turn leaves the Runner when
    // its next turn begins, most promising first.
    const std::vector<Root> starts = handOverStarts(match, nodes);
    const std::vector<int> order = promisingOrder(starts);
    std::vector<Root> roots;
    for (int i : order)
    {
        roots.push_back(starts[static_cast<std::size_t>(i)]);
    }
    TurnPlan plan;
    if (takeDetour(match, nodes, starts, random, plan))
    {
        return plan;
    }
    const int limit =
        std::min({Horizon, std::max(1, m_options.lookAhead), std::max(1, match.runnerTurnsLeft())});
    const auto [root, turns] = search(nextField(field), roots, limit, nullptr, nullptr);
    if (root >= 0)
    {
        plan = planFrom(nodes, order[static_cast<std::size_t>(root)], true);
        plan.turnsToFinish = 1 + turns;
        return plan;
    }
    if (resetWorthIt(match, limit, plan))
    {
        return plan;
    }
    // No way in sight: as far right as this turn goes.
    return planFrom(nodes, order.front(), true);
}
} // namespace orv_gd
