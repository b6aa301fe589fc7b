#pragma once

#include "match/BlockType.h"
#include "computer/FieldSnapshot.h"

namespace orv_gd
{
class MainState;

/// Copies the live match into a FieldSnapshot for the computer players: the kind of every block
/// in the grid, the Runner's cell and budget, its safe zone and the cells the Builder can see.
class MatchReader
{
public:
    static FieldSnapshot read(MainState& match);
    /// How the planners see a block of this type; the safe zone is no block to them.
    static CellKind kindOf(BlockType type);
};
} // namespace orv_gd
