#pragma once

#include "rules/Cell.h"

#include <cstdint>

namespace orv_gd::rules
{
/// What a player can do, resolved from keys, a controller, a planner, a replay or a friend's
/// message: the Runner steps, jumps, ends its turn or resets; the Builder moves its cursor,
/// rotates the block it was dealt and drops it. Small values, so they can be logged and sent.
struct Action
{
    enum class Kind : std::uint8_t
    {
        StepLeft,
        StepRight,
        Jump,
        EndTurn,
        Reset,
        MoveCursor, ///< by `cell` (one cell on either axis or both)
        Rotate,     ///< by `quarterTurns` clockwise: 1 to the right, 3 to the left
        Drop        ///< the block, with the cursor at `cell`
    };

    Kind kind = Kind::EndTurn;
    Cell cell{};
    int quarterTurns = 0;

    static Action stepLeft() { return {Kind::StepLeft, {}, 0}; }
    static Action stepRight() { return {Kind::StepRight, {}, 0}; }
    static Action jump() { return {Kind::Jump, {}, 0}; }
    static Action endTurn() { return {Kind::EndTurn, {}, 0}; }
    static Action reset() { return {Kind::Reset, {}, 0}; }
    static Action moveCursor(Cell by) { return {Kind::MoveCursor, by, 0}; }
    static Action rotate(int quarterTurns) { return {Kind::Rotate, {}, quarterTurns}; }
    static Action drop(Cell cursor) { return {Kind::Drop, cursor, 0}; }

    /// The Runner's actions; the rest are the Builder's.
    bool isRunners() const { return kind <= Kind::Reset; }

    friend bool operator==(const Action& a, const Action& b)
    {
        return a.kind == b.kind && a.cell == b.cell && a.quarterTurns == b.quarterTurns;
    }
    friend bool operator!=(const Action& a, const Action& b) { return !(a == b); }
};
} // namespace orv_gd::rules
