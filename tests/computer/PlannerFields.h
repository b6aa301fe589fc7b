#pragma once

#include "computer/RunnerPlanner.h"
#include "rules/Match.h"
#include "rules/Rules.h"

#include <algorithm>
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

/// The rules' action for a key of the Runner, in the order of RunnerAction.
inline rules::Action actionOf(RunnerAction key)
{
    const rules::Action actions[] = {rules::Action::stepLeft(), rules::Action::stepRight(),
                                     rules::Action::jump(), rules::Action::endTurn(), rules::Action::reset()};
    return actions[static_cast<int>(key)];
}

/// One action through the rules, then `waitMs` of play; whether the rules took it (no refusal).
inline bool act(rules::Match& match, const rules::Action& action, int waitMs = 0)
{
    const rules::Events events = rules::Rules::apply(match, action);
    rules::Rules::advance(match, waitMs);
    return std::none_of(events.begin(), events.end(),
                        [](const rules::Event& e) { return e.kind == rules::Event::Kind::Refused; });
}

/// A Builder's drop keyed through the rules as a person keys it: the quarter turns, the cursor a cell
/// at a time, the drop, each followed by `waitMs` of play. False at the first action refused.
inline bool keyDrop(rules::Match& match, int quarterTurns, rules::Cell cursor, int waitMs = 0)
{
    bool steered = act(match, rules::Action::rotate(quarterTurns), waitMs);
    while (steered && match.builderActs() && match.ghost.cursor != cursor)
    {
        const rules::Cell by = cursor - match.ghost.cursor;
        steered =
            act(match, rules::Action::moveCursor({(by.x > 0) - (by.x < 0), (by.y > 0) - (by.y < 0)}), waitMs);
    }
    return steered && act(match, rules::Action::drop(cursor), waitMs);
}
} // namespace orv_gd::test
