#include "computer/BuilderPlanner.h"

#include "match/ObstacleShapes.h"

#include <algorithm>
#include <cstdlib>

namespace orv_gd
{
namespace
{
/// The Builder may not drop into the last three columns, where the finish line stands.
constexpr int FinishColumns = 3;
/// How much longer than today's way the search looks: any drop beyond it is as good as a wall.
constexpr int ExtraTurnsLooked = 4;
/// How many of the best guessed drops are measured by a search each, which keeps a decision
/// under five milliseconds.
constexpr std::size_t MeasuredDrops = 5;

bool onSafeZone(const FieldSnapshot& field, sf::Vector2i cell)
{
    return std::find(field.safeZone.begin(), field.safeZone.end(), cell) != field.safeZone.end();
}

bool allowed(const FieldSnapshot& field, sf::Vector2i cell)
{
    return field.isInside(cell) && cell.x >= field.viewMin.x && cell.x <= field.viewMax.x &&
           cell.y >= field.viewMin.y && cell.y <= field.viewMax.y &&
           cell.x < field.getWidth() - FinishColumns && !onSafeZone(field, cell);
}

} // namespace

std::vector<BuilderPlanner::Drop> BuilderPlanner::candidates(const FieldSnapshot& field, const Shape& shape)
{
    std::vector<Drop> drops;
    std::vector<Shape> seen;
    for (int turns = 0; turns < 4; ++turns)
    {
        Shape rotated = ObstacleShapes::rotateShape(shape, turns);
        Shape sorted = rotated;
        std::sort(sorted.begin(), sorted.end(),
                  [](sf::Vector2i a, sf::Vector2i b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
        // A single cell or a square turned about its anchor may look the same twice.
        if (std::find(seen.begin(), seen.end(), sorted) != seen.end())
        {
            continue;
        }
        seen.push_back(sorted);
        for (int x = field.viewMin.x; x <= field.viewMax.x; ++x)
        {
            for (int y = field.viewMin.y; y <= field.viewMax.y; ++y)
            {
                const sf::Vector2i cursor{x, y};
                const bool fits =
                    std::all_of(rotated.begin(), rotated.end(),
                                [&](sf::Vector2i offset) { return allowed(field, cursor + offset); });
                if (fits)
                {
                    drops.push_back({turns, cursor, 0});
                }
            }
        }
    }
    return drops;
}

FieldSnapshot BuilderPlanner::withDrop(const FieldSnapshot& field, const Shape& shape, CellKind kind,
                                       const Drop& drop)
{
    FieldSnapshot result = field;
    for (const sf::Vector2i& offset : ObstacleShapes::rotateShape(shape, drop.quarterTurns))
    {
        const sf::Vector2i cell = drop.cursor + offset;
        const CellKind there = field.at(cell);
        if (kind != CellKind::Finish && (there == CellKind::Static || there == CellKind::Finish))
        {
            continue;
        }
        result.set(cell, kind);
    }
    return result;
}

BuilderPlanner::Drop BuilderPlanner::chooseDrop(const FieldSnapshot& field, const Shape& shape, CellKind kind,
                                                bool& found) const
{
    const std::vector<Drop> drops = candidates(field, shape);
    found = !drops.empty();
    if (!found)
    {
        return {};
    }
    const sf::Vector2i runner = field.runner.cell;
    const std::size_t cellCount = static_cast<std::size_t>(field.getWidth() * field.getHeight());
    std::vector<bool> examined(cellCount, false);
    std::vector<sf::Vector2i> route;
    const int today = m_runner.turnsToFinish(field, runner, field.runner.jumpForce, RunnerPlanner::Horizon,
                                             &examined, &route);
    // Cells on the Runner's way and the three above each: a block there stands in its way or
    // raises the wall it must jump.
    std::vector<bool> onRoute(cellCount, false);
    for (const sf::Vector2i& cell : route)
    {
        for (int up = 0; up <= 3; ++up)
        {
            if (field.isInside({cell.x, cell.y - up}))
            {
                onRoute[static_cast<std::size_t>(cell.x * field.getHeight() + cell.y - up)] = true;
            }
        }
    }

    // A first guess for every drop: a finish cell is best where the Runner's search never looked
    // (it cannot shorten the way there); any other block is best across the Runner's way, most
    // of it blocked. Nearer the Runner's front comes first when all else is equal.
    struct Guess
    {
        std::size_t drop;
        int blocked;
        int nearness;
    };
    std::vector<Guess> guesses;
    for (std::size_t i = 0; i < drops.size(); ++i)
    {
        int blocked = 0;
        int seen = 0;
        for (const sf::Vector2i& offset : ObstacleShapes::rotateShape(shape, drops[i].quarterTurns))
        {
            const sf::Vector2i cell = drops[i].cursor + offset;
            const CellKind there = field.at(cell);
            if (kind != CellKind::Finish && (there == CellKind::Static || there == CellKind::Finish))
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

    // The best guesses are measured: the Runner's way searched again on the field after the drop.
    const int limit = std::min(RunnerPlanner::Horizon, today + ExtraTurnsLooked);
    Drop best = drops[guesses.front().drop];
    best.runnerTurns = today;
    for (std::size_t i = 0; i < guesses.size() && i < MeasuredDrops; ++i)
    {
        if ((kind != CellKind::Finish && guesses[i].blocked == 0) || today > RunnerPlanner::Horizon)
        {
            break; // off the Runner's way, or no way to block: the drop changes nothing measurable
        }
        Drop drop = drops[guesses[i].drop];
        drop.runnerTurns =
            m_runner.turnsToFinish(withDrop(field, shape, kind, drop), runner, field.runner.jumpForce, limit);
        if (drop.runnerTurns > best.runnerTurns || (i == 0 && kind == CellKind::Finish))
        {
            best = drop;
        }
    }
    return best;
}

BuilderPlanner::Drop BuilderPlanner::chooseRandomDrop(const FieldSnapshot& field, const Shape& shape,
                                                      std::mt19937& random, bool& found)
{
    const std::vector<Drop> drops = candidates(field, shape);
    found = !drops.empty();
    if (!found)
    {
        return {};
    }
    std::uniform_int_distribution<std::size_t> pick(0, drops.size() - 1);
    return drops[pick(random)];
}
} // namespace orv_gd
