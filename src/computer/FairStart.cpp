#include "computer/FairStart.h"

#include "computer/RunnerPlanner.h"
#include "rules/ObstacleShapes.h"
#include "rules/RunnerMoves.h"

#include <algorithm>
#include <cstdlib>

namespace orv_gd
{
bool FairStart::applies(const rules::Match& match)
{
    return rules::Match::StartTurns - match.turnsLeft < GraceTurns &&
           match.runner.cell.x - rules::Match::startCell(match.field.getHeight()).x < PocketColumns;
}

bool FairStart::shutIn(const rules::Field& field, const rules::RunnerState& runner)
{
    if (rules::RunnerMoves::isTrapped(field, runner.cell))
    {
        return true;
    }
    // The pocket's way out: the level up to PocketReach columns right of the Runner, a finish
    // line beyond, which keeps the search as small as the pocket.
    const int width = std::min(field.getWidth(), runner.cell.x + PocketReach + 2);
    rules::Field pocket(width, field.getHeight());
    for (int x = 0; x < width; ++x)
    {
        for (int y = 0; y < field.getHeight(); ++y)
        {
            const rules::Cell cell{x, y};
            if (x == width - 1 && width < field.getWidth())
            {
                pocket.set(cell, rules::CellKind::Finish);
            }
            else if (field.lifeAt(cell) > 0)
            {
                pocket.drop(cell, field.at(cell), field.lifeAt(cell));
            }
            else
            {
                pocket.set(cell, field.at(cell));
            }
        }
    }
    RunnerPlanner::Options keep;
    keep.builderTurnMs = 0; // a pocket that opens only as its walls fade is a pocket all the same
    const RunnerPlanner planner(keep);
    // Without resets: a reset puts a Runner at its start back where it is.
    return planner.turnsToFinish(pocket, runner.cell, runner.jumpForce, 0, EscapeTurns) > EscapeTurns;
}

bool FairStart::seals(const rules::Match& match, const rules::Field& after)
{
    rules::Field field = after;
    rules::RunnerState runner = match.runner;
    // The turn about to begin, then each further turn of the grace after a gravity pass; once
    // nothing falls, the field stays as it is.
    bool changed = true;
    for (int turn = rules::Match::StartTurns - match.turnsLeft; turn < GraceTurns && changed; ++turn)
    {
        if (shutIn(field, runner))
        {
            return true;
        }
        std::vector<std::pair<rules::Cell, rules::Cell>> falls;
        runner.cell = rules::RunnerMoves::gravity(field, runner.cell, &falls);
        changed = !falls.empty();
    }
    return false;
}

void FairStart::keepOpen(const rules::Match& match, std::vector<BuilderPlanner::Drop>& drops)
{
    if (!applies(match) || !match.ghost.present || seals(match, match.field))
    {
        return;
    }
    const auto sealing = [&](const BuilderPlanner::Drop& drop)
    {
        const auto offsets = rules::ObstacleShapes::rotateShape(match.ghost.shape, drop.quarterTurns);
        const bool near =
            std::any_of(offsets.begin(), offsets.end(),
                        [&](rules::Cell offset)
                        { return std::abs(drop.cursor.x + offset.x - match.runner.cell.x) <= PocketReach; });
        return near &&
               seals(match, BuilderPlanner::withDrop(match.field, match.ghost.shape, match.ghost.kind, drop));
    };
    drops.erase(std::remove_if(drops.begin(), drops.end(), sealing), drops.end());
}
} // namespace orv_gd
