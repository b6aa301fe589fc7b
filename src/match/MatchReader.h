#pragma once

#include "computer/CellRange.h"
#include "core/StrategyType.h"
#include "match/BlockType.h"
#include "rules/Field.h"
#include "rules/Match.h"

#include <map>
#include <memory>

namespace sf
{
class RenderWindow;
}

namespace orv_gd
{
class Strategy;

/// Reads the live scene as the rules hold a match, for the computer players (through
/// MainState's MatchSource). The one place where the scene is turned into a rules::Match, until
/// the screen keeps its own.
class MatchReader
{
public:
    using Strategies = std::map<StrategyType, std::shared_ptr<Strategy>>;

    /// The field (each cell's kind; the Builder's amber and green cells with the lifetime they
    /// have left and what they cover), the Runner's cell and budget, its resets and turns, whose
    /// turn it is and the time in it, and the Builder's block at its cursor with the blocks left.
    static rules::Match read(const Strategies& strategies, StrategyType turn, bool over);
    /// The cells whose corner lies in the camera's view: the cells the Builder's cursor can reach.
    static CellRange builderView(const sf::RenderWindow& window);
    /// How the rules see a block of this type; the safe zone is no block to them.
    static rules::CellKind kindOf(BlockType type);
};
} // namespace orv_gd
