#pragma once

#include "rules/Match.h"

#include <string>
#include <vector>

namespace orv_gd::test
{
/// A match on a field drawn row by row: '.' empty, '#' white, 'F' green (the level's), 'a' an
/// amber and 'g' a green Builder cell (both with `lifeMs` of life left), 'R' the Runner (on an
/// empty cell), 's' an empty cell of its safe zone (for the reader). The Runner's turn.
inline rules::Match fieldOf(const std::vector<std::string>& rows, int jumpForce = 0, int moves = 4,
                            int lifeMs = rules::Match::BlockLifeMs)
{
    rules::Match match;
    match.field = rules::Field(static_cast<int>(rows.front().size()), static_cast<int>(rows.size()));
    match.config.width = match.field.getWidth();
    match.config.height = match.field.getHeight();
    match.turn = rules::Role::Runner;
    match.ghost.present = false;
    for (int y = 0; y < match.field.getHeight(); ++y)
    {
        for (int x = 0; x < match.field.getWidth(); ++x)
        {
            const char c = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            const rules::Cell cell{x, y};
            if (c == '#' || c == 'F')
            {
                match.field.set(cell, c == '#' ? rules::CellKind::Static : rules::CellKind::Finish);
            }
            else if (c == 'a' || c == 'g')
            {
                match.field.drop(cell, c == 'a' ? rules::CellKind::Dynamic : rules::CellKind::Finish, lifeMs);
            }
            else if (c == 'R')
            {
                match.runner.cell = cell;
            }
        }
    }
    match.runner.jumpForce = jumpForce;
    match.runner.moves = moves;
    return match;
}
} // namespace orv_gd::test
