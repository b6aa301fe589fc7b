#pragma once

#include "computer/FieldSnapshot.h"
#include "computer/RunnerPlanner.h"

#include <random>
#include <vector>

namespace orv_gd
{
/// The computer Builder's mind: every drop the dealt block allows (each rotation, each cursor
/// cell in sight, none on the safe zone, in the finish columns or outside the map), and the
/// choice of the one after which the Runner's best way to the finish is longest.
class BuilderPlanner
{
public:
    using Shape = std::vector<sf::Vector2i>;

    /// A drop: rotate the block by `quarterTurns` clockwise, move the cursor to `cursor`, drop.
    struct Drop
    {
        int quarterTurns = 0;
        sf::Vector2i cursor{0, 0};
        /// The Runner's turns to the finish after this drop, from the start of its next turn.
        int runnerTurns = 0;
    };

    /// The drops the rules allow for the block (offsets from the cursor) on this field.
    static std::vector<Drop> candidates(const FieldSnapshot& field, const Shape& shape);
    /// The field once the block is dropped there: a cell landing on a white or green cell is
    /// refused, unless the block is a finish cell, which takes any cell.
    static FieldSnapshot withDrop(const FieldSnapshot& field, const Shape& shape, CellKind kind,
                                  const Drop& drop);

    /// The drop that holds the Runner back most; `found` is false when the block fits nowhere.
    Drop chooseDrop(const FieldSnapshot& field, const Shape& shape, CellKind kind, bool& found) const;
    /// Any allowed drop, each as likely (the yardstick the computer Builder is measured against).
    static Drop chooseRandomDrop(const FieldSnapshot& field, const Shape& shape, std::mt19937& random,
                                 bool& found);

private:
    RunnerPlanner m_runner;
};
} // namespace orv_gd
