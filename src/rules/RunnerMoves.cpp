#include "rules/RunnerMoves.h"

#include <algorithm>

namespace orv_gd::rules
{
RunnerMoves::Result RunnerMoves::move(const Field& field, const RunnerState& state, Move move)
{
    Result result;
    result.state = state;
    const bool jump = move == Move::Up;
    if ((jump && state.jumpForce < 1) || (!jump && state.moves < 1))
    {
        return result;
    }
    const Cell from = state.cell;
    result.target = from + (jump ? Cell{0, -1} : Cell{move == Move::Left ? -1 : 1, 0});
    RunnerState& next = result.state;
    const auto pay = [&]
    {
        if (jump)
        {
            next.jumpForce -= 1;
            return;
        }
        next.jumpForce += next.jumpForce < Match::MaxJumpForce ? 1 : 0;
        next.moves -= 1;
    };

    if (field.isInside(result.target) && field.at(result.target) == CellKind::Finish)
    {
        // Green is entered although it is taken; the step is paid as any other.
        next.cell = result.target;
        pay();
        result.outcome = Outcome::Finished;
        return result;
    }
    const Cell below{from.x, from.y + 1};
    if (!field.isFree(result.target))
    {
        result.blocked = true;
        // A wall met in mid-air: the Runner drops one row instead, for one move and one more jump
        // force, past the cap that only limits the force earned by walking.
        if (below.y >= field.getHeight())
        {
            result.outcome = Outcome::Fell;
        }
        else if (field.isFree(below))
        {
            next.moves = std::max(0, next.moves - 1);
            next.jumpForce += 1;
            next.cell = below;
            result.outcome = Outcome::Bumped;
        }
        else
        {
            result.outcome = Outcome::Blocked;
        }
    }
    else if (result.target.y + 1 >= field.getHeight())
    {
        // A free cell in the bottom row is a fall out of the map.
        result.outcome = Outcome::Fell;
    }
    else
    {
        next.cell = result.target;
        result.stepped = result.target;
        pay();
        // A step over a gap falls one row, however deep the gap.
        const Cell under{result.target.x, result.target.y + 1};
        if (!jump && field.isFree(under))
        {
            next.cell = under;
        }
        result.outcome = Outcome::Moved;
    }
    result.walledIn = result.outcome != Outcome::Fell && isTrapped(field, next.cell);
    return result;
}

bool RunnerMoves::isTrapped(const Field& field, Cell cell)
{
    return !field.isFree({cell.x - 1, cell.y}) && !field.isFree({cell.x + 1, cell.y}) &&
           !field.isFree({cell.x, cell.y - 1}) && !field.isFree({cell.x, cell.y + 1});
}

Cell RunnerMoves::resetCell(const Field& field, Cell runner)
{
    const Cell start = Match::startCell(field.getHeight());
    for (int row = start.y; row >= 0; --row)
    {
        const Cell cell{start.x, row};
        if (cell == runner || field.isFree(cell))
        {
            return cell;
        }
    }
    return runner;
}

Cell RunnerMoves::gravity(Field& field, Cell runner, std::vector<std::pair<Cell, Cell>>* falls)
{
    // Rows are scanned upwards on the live field, so a cell that has just fallen is not looked at
    // again: every block falls at most one cell.
    for (int x = 0; x < field.getWidth(); ++x)
    {
        for (int y = field.getHeight() - 2; y >= 0; --y)
        {
            const Cell cell{x, y};
            const Cell below{x, y + 1};
            if (!field.isFree(below) || below == runner)
            {
                continue;
            }
            if (cell == runner)
            {
                runner = below;
            }
            else if (field.at(cell) == CellKind::Dynamic)
            {
                field.fall(cell);
            }
            else
            {
                continue;
            }
            if (falls)
            {
                falls->emplace_back(cell, below);
            }
        }
    }
    return runner;
}
} // namespace orv_gd::rules
