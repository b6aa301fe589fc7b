#include "computer/RunnerPlanner.h"

#include <algorithm>
#include <numeric>

namespace orv_gd
{
namespace
{
constexpr RunnerAction StepKeys[] = {RunnerAction::Right, RunnerAction::Left, RunnerAction::Up};

int cellIndex(const FieldSnapshot& field, sf::Vector2i cell)
{
    return cell.x * field.getHeight() + cell.y;
}

/// Marks the cell and its eight neighbours: every cell a move from or into `cell` looks at.
void markAround(const FieldSnapshot& field, sf::Vector2i cell, std::vector<bool>& examined)
{
    for (int dx = -1; dx <= 1; ++dx)
    {
        for (int dy = -1; dy <= 1; ++dy)
        {
            const sf::Vector2i near{cell.x + dx, cell.y + dy};
            if (field.isInside(near))
            {
                examined[static_cast<std::size_t>(cellIndex(field, near))] = true;
            }
        }
    }
}

/// A field whose amber blocks are gone: they fade within a few Builder turns.
FieldSnapshot withoutAmberBlocks(const FieldSnapshot& field)
{
    FieldSnapshot relaxed = field;
    for (int x = 0; x < field.getWidth(); ++x)
    {
        for (int y = 0; y < field.getHeight(); ++y)
        {
            if (field.at({x, y}) == CellKind::Dynamic)
            {
                relaxed.set({x, y}, CellKind::Empty);
            }
        }
    }
    return relaxed;
}
} // namespace

RunnerPlanner::Step RunnerPlanner::press(const FieldSnapshot& field, const RunnerState& state,
                                         RunnerAction action)
{
    Step step{state, Outcome::Nothing};
    sf::Vector2i target = state.cell;
    bool jump = false;
    switch (action)
    {
    case RunnerAction::Left:
    case RunnerAction::Right:
        if (state.xMovement < 1)
        {
            return step;
        }
        target.x += action == RunnerAction::Left ? -1 : 1;
        break;
    case RunnerAction::Up:
        if (state.jumpForce < 1)
        {
            return step;
        }
        target.y -= 1;
        jump = true;
        break;
    default:
        return step;
    }

    RunnerState& next = step.state;
    if (field.at(target) == CellKind::Finish)
    {
        // The finish cell is entered even though it is taken; the step is paid as any other.
        next.cell = target;
        if (jump)
        {
            next.jumpForce -= 1;
        }
        else
        {
            next.jumpForce += next.jumpForce < MaxJumpForce ? 1 : 0;
            next.xMovement -= 1;
        }
        step.outcome = Outcome::Finished;
        return step;
    }
    if (!field.isFree(target))
    {
        // Bumping into something: in mid-air the Runner drops one row instead, for one move and
        // one more jump force; standing on the bottom row it is sent back to the start.
        const sf::Vector2i below{state.cell.x, state.cell.y + 1};
        if (below.y >= field.getHeight())
        {
            step.outcome = Outcome::Reset;
            return step;
        }
        if (!field.isFree(below))
        {
            return step;
        }
        next.xMovement = std::max(0, next.xMovement - 1);
        next.jumpForce += 1;
        next.cell = below;
    }
    else
    {
        if (target.y + 1 >= field.getHeight())
        {
            step.outcome = Outcome::Reset;
            return step;
        }
        next.cell = target;
        if (jump)
        {
            next.jumpForce -= 1;
        }
        else
        {
            if (next.jumpForce < MaxJumpForce)
            {
                next.jumpForce += 1;
            }
            next.xMovement -= 1;
            // A step over a gap falls one cell, however deep the gap.
            if (field.at({target.x, target.y + 1}) == CellKind::Empty)
            {
                next.cell.y += 1;
            }
        }
    }
    step.outcome = isTrapped(field, next.cell) ? Outcome::Reset : Outcome::Moved;
    return step;
}

bool RunnerPlanner::isTrapped(const FieldSnapshot& field, sf::Vector2i cell)
{
    return !field.isFree({cell.x - 1, cell.y}) && !field.isFree({cell.x + 1, cell.y}) &&
           !field.isFree({cell.x, cell.y - 1}) && !field.isFree({cell.x, cell.y + 1});
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

void RunnerPlanner::expandTurn(const FieldSnapshot& field, const RunnerState& start,
                               std::vector<Node>& nodes) const
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
                                                  std::clamp(s.xMovement, 0, MovesPerTurn));
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

RunnerState RunnerPlanner::nextTurn(const FieldSnapshot& fieldAfterGravity, const RunnerState& end)
{
    RunnerState next{end.cell, end.jumpForce, MovesPerTurn};
    const sf::Vector2i below{end.cell.x, end.cell.y + 1};
    if (below.y < fieldAfterGravity.getHeight() && fieldAfterGravity.at(below) == CellKind::Empty)
    {
        next.cell = below;
    }
    if (isTrapped(fieldAfterGravity, next.cell))
    {
        next.cell = {-1, -1};
    }
    return next;
}

std::pair<int, int> RunnerPlanner::bestRoot(const FieldSnapshot& field, const std::vector<RunnerState>& roots,
                                            int limit) const
{
    return search(field, roots, limit, nullptr, nullptr);
}

std::pair<int, int> RunnerPlanner::search(const FieldSnapshot& field, const std::vector<RunnerState>& starts,
                                          int limit, std::vector<bool>* examined,
                                          std::vector<sf::Vector2i>* route) const
{
    // One pass per turn: the keys of a turn cost nothing, ending it costs one. A state is worth
    // expanding only with more jump force than any state seen before in its cell with the same
    // moves left, in this turn or an earlier one.
    const auto key = [&](const RunnerState& s)
    {
        return static_cast<std::size_t>(cellIndex(field, s.cell) * (MovesPerTurn + 1) +
                                        std::clamp(s.xMovement, 0, MovesPerTurn));
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
        if (field.isInside(starts[i].cell))
        {
            open.push_back(static_cast<int>(all.size()));
            all.push_back({starts[i], static_cast<int>(i), -1});
        }
    }
    // The cells the Runner passes on its way, the finish cell first.
    const auto traceRoute = [&](int index, sf::Vector2i finish)
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
    // Bumps in mid-air raise the force without a cap, but force far beyond what walking gives
    // rarely buys anything; counting it would keep the search going over ever stronger copies
    // of one state.
    const int forceCap = MaxJumpForce + 2;
    FieldSnapshot level = field;
    for (int turn = 1; turn <= limit && !open.empty(); ++turn)
    {
        FieldSnapshot after = level;
        after.applyGravity({-1, -1});
        next.clear();
        for (std::size_t i = 0; i < open.size(); ++i)
        {
            const int index = open[i];
            SearchEntry entry = all[static_cast<std::size_t>(index)];
            entry.state.jumpForce = std::min(entry.state.jumpForce, forceCap);
            if (entry.state.jumpForce <= m_bestForce[key(entry.state)])
            {
                continue;
            }
            // Being here with this force is at least as good as being here with fewer moves left.
            RunnerState weaker = entry.state;
            for (weaker.xMovement = std::clamp(entry.state.xMovement, 0, MovesPerTurn); weaker.xMovement >= 0;
                 --weaker.xMovement)
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
                    all.push_back({step.state, entry.root, index});
                }
            }
            const RunnerState start = nextTurn(after, entry.state);
            if (start.cell.x >= 0 && start.jumpForce > m_bestForce[key(start)])
            {
                next.push_back(static_cast<int>(all.size()));
                all.push_back({start, entry.root, index});
            }
        }
        open.swap(next);
        level = after;
    }
    return {-1, limit + 1};
}

int RunnerPlanner::turnsToFinish(const FieldSnapshot& field, sf::Vector2i start, int jumpForce, int limit,
                                 std::vector<bool>* examined, std::vector<sf::Vector2i>* route) const
{
    if (isTrapped(field, start))
    {
        // The next turn begins with a reset: that turn is lost and the force with it.
        if (limit < 1)
        {
            return limit + 1;
        }
        return 1 + turnsToFinish(field, field.resetCell(), 0, limit - 1, examined, route);
    }
    return search(field, {RunnerState{start, jumpForce, MovesPerTurn}}, limit, examined, route).second;
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

RunnerPlanner::TurnPlan RunnerPlanner::planTurn(const FieldSnapshot& field) const
{
    std::vector<Node> nodes;
    expandTurn(field, field.runner, nodes);
    for (std::size_t i = 0; i < nodes.size(); ++i)
    {
        if (nodes[i].finished)
        {
            TurnPlan plan = planFrom(nodes, static_cast<int>(i), false);
            plan.turnsToFinish = 1;
            return plan;
        }
    }

    // Where each way through this turn leaves the Runner when its next turn begins, most
    // promising first: further right, then more jump force, then fewer keys.
    FieldSnapshot after = field;
    after.applyGravity({-1, -1});
    std::vector<int> order(nodes.size());
    std::iota(order.begin(), order.end(), 0);
    std::vector<RunnerState> starts(nodes.size());
    for (std::size_t i = 0; i < nodes.size(); ++i)
    {
        starts[i] = nextTurn(after, nodes[i].state);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b)
                     {
                         const RunnerState& sa = starts[static_cast<std::size_t>(a)];
                         const RunnerState& sb = starts[static_cast<std::size_t>(b)];
                         if (sa.cell.x != sb.cell.x)
                         {
                             return sa.cell.x > sb.cell.x;
                         }
                         return sa.jumpForce > sb.jumpForce;
                     });
    std::vector<RunnerState> roots;
    for (int i : order)
    {
        roots.push_back(starts[static_cast<std::size_t>(i)]);
    }

    const int limit = std::min(Horizon, std::max(1, field.turnsLeft + 1));
    const auto [root, turns] = bestRoot(after, roots, limit);
    if (root >= 0)
    {
        TurnPlan plan = planFrom(nodes, order[static_cast<std::size_t>(root)], true);
        plan.turnsToFinish = 1 + turns;
        return plan;
    }

    // Stuck: when a fresh start can still reach the finish and a reset is left to spare, reset.
    if (field.resetsLeft >= 1 && turnsToFinish(field, field.resetCell(), 0, limit, nullptr) <= limit)
    {
        TurnPlan plan;
        plan.actions.push_back(RunnerAction::Reset);
        plan.expected.push_back({field.resetCell(), 0, 0});
        return plan;
    }
    // Walled in by amber blocks, which fade: head for where the way will open.
    const FieldSnapshot relaxed = withoutAmberBlocks(after);
    const int relaxedRoot = bestRoot(relaxed, roots, limit).first;
    const int chosen = relaxedRoot >= 0 ? order[static_cast<std::size_t>(relaxedRoot)] : order.front();
    return planFrom(nodes, chosen, true);
}
} // namespace orv_gd
