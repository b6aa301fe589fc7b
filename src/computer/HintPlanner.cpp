#include "computer/HintPlanner.h"

#include "computer/ComputerLevel.h"
#include "rules/ObstacleShapes.h"

namespace orv_gd
{
Hint HintPlanner::plan(const rules::Match& match, CellRange view)
{
    const ComputerLevel& level = ComputerLevel::of(Difficulty::Normal);
    Hint hint;
    hint.role = match.turn;
    hint.turnNumber = match.turnNumber;
    if (match.runnerActs())
    {
        // No detours: the hint is the planner's best turn, the same every time it is asked.
        const RunnerPlanner::TurnPlan plan = RunnerPlanner(level.runner).planTurn(match);
        hint.found = !plan.actions.empty();
        hint.keys = plan.actions;
        hint.turnsToFinish = plan.turnsToFinish;
        hint.path.push_back(match.runner.cell);
        for (const rules::RunnerState& state : plan.expected)
        {
            hint.path.push_back(state.cell);
        }
    }
    else if (match.builderActs() && match.ghost.present)
    {
        const BuilderPlanner::Drop drop = BuilderPlanner(level.builder).chooseDrop(match, view, hint.found);
        hint.quarterTurns = drop.quarterTurns;
        hint.cursor = drop.cursor;
        for (const rules::Cell& offset :
             rules::ObstacleShapes::rotateShape(match.ghost.shape, drop.quarterTurns))
        {
            hint.cells.push_back({drop.cursor.x + offset.x, drop.cursor.y + offset.y});
        }
    }
    return hint;
}
} // namespace orv_gd
