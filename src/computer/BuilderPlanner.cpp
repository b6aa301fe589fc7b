#include "computer/BuilderPlanner.h"

#include "computer/FairStart.h"

#include "rules/Rules.h"
#include "rules/RunnerMoves.h"

#include <algorithm>
#include <cstdlib>

namespace orv_gd
{
namespace
{
using rules::Cell;
using rules::CellKind;
using rules::Field;
using rules::ObstacleShapes;

/// Cells on the Runner's way and the three above each: a block there stands in its way or raises
/// the wall it must jump.
std::vector<bool> nearRoute(const Field& field, const std::vector<Cell>& route)
{
    std::vector<bool> onRoute(static_cast<std::size_t>(field.getWidth() * field.getHeight()), false);
    for (const Cell& cell : route)
    {
        for (int up = 0; up <= 3; ++up)
        {
            if (field.isInside({cell.x, cell.y - up}))
            {
                onRoute[static_cast<std::size_t>(cell.x * field.getHeight() + cell.y - up)] = true;
            }
        }
    }
    return onRoute;
}

/// A first guess at how much a drop holds the Runner back, before it is measured.
struct Guess
{
    std::size_t drop;
    int blocked;
    int nearness;
};

/// A first guess for every drop, best first: a finish cell is best where the Runner's search never
/// looked (it cannot shorten the way there); any other block is best across the Runner's way, most
/// of it blocked. Nearer the Runner's front comes first when all else is equal.
std::vector<Guess> guess(const rules::Match& match, const std::vector<BuilderPlanner::Drop>& drops,
                         const std::vector<bool>& onRoute, const std::vector<bool>& examined)
{
    const Field& field = match.field;
    const CellKind kind = match.ghost.kind;
    const Cell runner = match.runner.cell;
    std::vector<Guess> guesses;
    for (std::size_t i = 0; i < drops.size(); ++i)
    {
        int blocked = 0;
        int seen = 0;
        for (const Cell& offset : ObstacleShapes::rotateShape(match.ghost.shape, drops[i].quarterTurns))
        {
            const Cell cell = drops[i].cursor + offset;
            if (!rules::Rules::lands(field, cell, kind))
            {
                continue;
            }
            const std::size_t index = static_cast<std::size_t>(cell.x * field.getHeight() + cell.y);
            blocked += onRoute[index] ? 1 : 0;
            seen += examined[index] ? 1 : 0;
        }
        const int nearness =
            std::abs(drops[i].cursor.x - (runner.x + 3)) + std::abs(drops[i].cursor.y - runner.y);
        guesses.push_back({i, kind == CellKind::Finish ? -seen : blocked, nearness});
    }
    std::stable_sort(guesses.begin(), guesses.end(),
                     [](const Guess& a, const Guess& b)
                     { return a.blocked != b.blocked ? a.blocked > b.blocked : a.nearness < b.nearness; });
    return guesses;
}
} // namespace

std::vector<BuilderPlanner::Drop> BuilderPlanner::candidates(const rules::Match& match, const Shape& shape,
                                                             CellRange view)
{
    std::vector<Drop> drops;
    std::vector<Shape> seen;
    for (int turns = 0; turns < 4; ++turns)
    {
        Shape rotated = ObstacleShapes::rotateShape(shape, turns);
        Shape sorted = rotated;
        std::sort(sorted.begin(), sorted.end(),
                  [](Cell a, Cell b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
        // A single cell or a square turned about its anchor may look the same twice.
        if (std::find(seen.begin(), seen.end(), sorted) != seen.end())
        {
            continue;
        }
        seen.push_back(sorted);
        for (int x = view.min.x; x <= view.max.x; ++x)
        {
            for (int y = view.min.y; y <= view.max.y; ++y)
            {
                const Cell cursor{x, y};
                const bool inSight = std::all_of(rotated.begin(), rotated.end(),
                                                 [&](Cell offset)
                                                 {
                                                     const Cell cell = cursor + offset;
                                                     return match.field.isInside(cell) && view.contains(cell);
                                                 });
                if (inSight && rules::Rules::dropProblem(match, rotated, cursor) == rules::Refusal::None)
                {
                    drops.push_back({turns, cursor, 0});
                }
            }
        }
    }
    return drops;
}

Field BuilderPlanner::withDrop(const Field& field, const Shape& shape, CellKind kind, const Drop& drop)
{
    Field result = field;
    rules::Rules::place(result, ObstacleShapes::rotateShape(shape, drop.quarterTurns), kind, drop.cursor);
    return result;
}

BuilderPlanner::Drop BuilderPlanner::chooseDrop(const rules::Match& match, CellRange view, bool& found) const
{
    const Field& field = match.field;
    const Shape& shape = match.ghost.shape;
    const CellKind kind = match.ghost.kind;
    std::vector<Drop> drops = candidates(match, shape, view);
    FairStart::keepOpen(match, drops);
    found = match.ghost.present && !drops.empty();
    if (!found)
    {
        return {};
    }
    if (kind == CellKind::Finish)
    {
        return chooseGreenDrop(match, drops, found);
    }
    const Cell runner = match.runner.cell;
    const int force = match.runner.jumpForce;
    const std::size_t cellCount = static_cast<std::size_t>(field.getWidth() * field.getHeight());
    std::vector<bool> examined(cellCount, false);
    std::vector<Cell> route;
    const int today = m_runner.turnsToFinish(field, runner, force, match.resetsLeft, RunnerPlanner::Horizon,
                                             &examined, &route);
    const std::vector<Guess> guesses = guess(match, drops, nearRoute(field, route), examined);

    // The best guesses are measured: the Runner's way searched again on the field after the drop.
    const int limit = std::min(RunnerPlanner::Horizon, today + m_options.extraTurnsLooked);
    Drop best = drops[guesses.front().drop];
    best.runnerTurns = today;
    for (std::size_t i = 0; i < guesses.size() && i < m_options.measuredDrops; ++i)
    {
        if ((kind != CellKind::Finish && guesses[i].blocked == 0) || today > RunnerPlanner::Horizon)
        {
            break; // off the Runner's way, or no way to block: the drop changes nothing measurable
        }
        Drop drop = drops[guesses[i].drop];
        drop.runnerTurns = m_runner.turnsToFinish(withDrop(field, shape, kind, drop), runner, force,
                                                  match.resetsLeft, limit);
        if (drop.runnerTurns > best.runnerTurns || (i == 0 && kind == CellKind::Finish))
        {
            best = drop;
        }
    }
    return best;
}

BuilderPlanner::Drop BuilderPlanner::chooseGreenDrop(const rules::Match& match,
                                                     const std::vector<Drop>& drops, bool& found) const
{
    // The field as the Runner might find it at worst: its way cleared of every amber block.
    Field cleared = match.field;
    for (int x = 0; x < cleared.getWidth(); ++x)
    {
        for (int y = 0; y < cleared.getHeight(); ++y)
        {
            if (cleared.at({x, y}) == CellKind::Dynamic)
            {
                cleared.expire({x, y});
            }
        }
    }
    RunnerPlanner::Options still = m_options.runner;
    still.builderTurnMs = 0; // the green is taken to last
    const RunnerPlanner reach(still);
    const Cell runner = match.runner.cell;
    const int force = match.runner.jumpForce;
    const int without = reach.turnsToFinish(cleared, runner, force, match.resetsLeft, GreenReachTurns);

    // Furthest from the Runner first.
    std::vector<std::pair<int, std::size_t>> order;
    for (std::size_t i = 0; i < drops.size(); ++i)
    {
        order.push_back({std::abs(drops[i].cursor.x - runner.x) + std::abs(drops[i].cursor.y - runner.y), i});
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    constexpr std::size_t Tried = 24;
    Drop best;
    best.runnerTurns = 0;
    for (std::size_t i = 0; i < order.size() && i < Tried; ++i)
    {
        Drop drop = drops[order[i].second];
        drop.runnerTurns = reach.turnsToFinish(withDrop(cleared, match.ghost.shape, CellKind::Finish, drop),
                                               runner, force, match.resetsLeft, GreenReachTurns);
        if (drop.runnerTurns >= without)
        {
            return drop; // out of the Runner's reach while it lasts
        }
        if (drop.runnerTurns > best.runnerTurns)
        {
            best = drop;
        }
    }
    found = best.runnerTurns > 1;
    return best;
}

bool BuilderPlanner::sealsStart(const Field& after, Cell runner)
{
    const Cell start = rules::RunnerMoves::resetCell(after, runner);
    if (rules::RunnerMoves::isTrapped(after, start))
    {
        return true;
    }
    RunnerPlanner::Options keep;
    keep.builderTurnMs = 0; // nothing fades: the start stays open whatever the Builder's pace
    const RunnerPlanner planner(keep);
    return planner.turnsToFinish(after, start, 0, rules::Match::StartResets, RunnerPlanner::Horizon) >
           RunnerPlanner::Horizon;
}

BuilderPlanner::Drop BuilderPlanner::chooseNearCursorDrop(const rules::Match& match, CellRange view,
                                                          std::mt19937& random, bool& found, int reach) const
{
    std::vector<Drop> drops = candidates(match, match.ghost.shape, view);
    FairStart::keepOpen(match, drops);
    found = match.ghost.present && !drops.empty();
    if (!found)
    {
        return {};
    }
    // Nearest the cursor first, in a random order among those within reach.
    const Cell cursor = match.ghost.cursor;
    const auto distance = [&](const Drop& drop)
    {
        const int d = std::abs(drop.cursor.x - cursor.x) + std::abs(drop.cursor.y - cursor.y);
        return std::max(d, reach);
    };
    std::shuffle(drops.begin(), drops.end(), random);
    std::stable_sort(drops.begin(), drops.end(),
                     [&](const Drop& a, const Drop& b) { return distance(a) < distance(b); });
    const bool openBefore = !sealsStart(match.field, match.runner.cell);
    for (const Drop& drop : drops)
    {
        if (!openBefore ||
            !sealsStart(withDrop(match.field, match.ghost.shape, match.ghost.kind, drop), match.runner.cell))
        {
            return drop;
        }
    }
    // Every drop in sight would seal the start: the turn runs out instead.
    found = false;
    return {};
}

BuilderPlanner::Drop BuilderPlanner::chooseRandomDrop(const rules::Match& match, CellRange view,
                                                      std::mt19937& random, bool& found)
{
    std::vector<Drop> drops = candidates(match, match.ghost.shape, view);
    FairStart::keepOpen(match, drops);
    found = match.ghost.present && !drops.empty();
    if (!found)
    {
        return {};
    }
    std::uniform_int_distribution<std::size_t> pick(0, drops.size() - 1);
    return drops[pick(random)];
}
} // namespace orv_gd
