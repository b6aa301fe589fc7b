#pragma once

#include "rules/Cell.h"
#include "rules/Field.h"
#include "rules/Match.h"

#include <cstdint>
#include <vector>

namespace orv_gd::rules
{
/// The Runner's movement over a field, as plain functions: the game applies them to its match,
/// the computer Runner searches with them.
class RunnerMoves
{
public:
    enum class Move : std::uint8_t
    {
        Left,
        Right,
        Up
    };

    /// What one step or jump came to.
    enum class Outcome : std::uint8_t
    {
        Refused,  ///< no move or force to pay for it: nothing happens
        Moved,    ///< onto the cell, and one row down when it stood over a gap
        Bumped,   ///< the cell was taken in mid-air: one row down instead
        Blocked,  ///< the cell was taken and the one below too: nothing moves
        Finished, ///< onto green: the match is won
        Fell      ///< into the bottom row, or a bump with the map's edge below: a reset
    };

    struct Result
    {
        Outcome outcome = Outcome::Refused;
        /// The Runner after the move, before any reset.
        RunnerState state;
        /// The cell the move aimed at.
        Cell target{};
        /// Where the step itself ended, before a fall over a gap (Moved only).
        Cell stepped{};
        /// The cell aimed at was taken or outside the map.
        bool blocked = false;
        /// After the move no free cell is left around the Runner: a reset follows.
        bool walledIn = false;
    };

    /// One step left or right (one move, one force earned up to the cap) or one jump (one force).
    static Result move(const Field& field, const RunnerState& state, Move move);
    /// None of the four neighbours is free.
    static bool isTrapped(const Field& field, Cell cell);
    /// Where a reset puts the Runner: the start cell, or the nearest free cell above it in column
    /// 0; with all of them covered it stays where it is.
    static Cell resetCell(const Field& field, Cell runner);
    /// One gravity pass, as after every Runner turn: column by column, rows from the second lowest
    /// upwards, each amber cell and the Runner fall one cell into an empty cell below, so a stack
    /// above a gap falls together; a block resting on the Runner rests on it. The Runner's new
    /// cell is returned; `falls`, when given, gets each move (from, to) in the order made.
    static Cell gravity(Field& field, Cell runner, std::vector<std::pair<Cell, Cell>>* falls = nullptr);
};
} // namespace orv_gd::rules
