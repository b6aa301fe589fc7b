#pragma once

#include "computer/CellRange.h"
#include "computer/RunnerPlanner.h"
#include "rules/Field.h"
#include "rules/Match.h"
#include "rules/ObstacleShapes.h"

#include <cstddef>
#include <random>
#include <vector>

namespace orv_gd
{
/// The computer Builder's mind: every drop the dealt block allows (each rotation, each cursor
/// cell in sight where the rules take it), and the choice of the one after which the Runner's best
/// way to the finish is longest, measured with the Runner's own search.
class BuilderPlanner
{
public:
    using Shape = rules::ObstacleShapes::Shape;

    /// How far the Builder looks.
    struct Options
    {
        /// How the Runner's way is searched. The Runner's next turn begins after the rest of this
        /// Builder turn, which the search does not age: the cells are taken as present through it.
        RunnerPlanner::Options runner;
        /// How much longer than today's way the measuring searches look: any drop beyond it is as
        /// good as a wall.
        int extraTurnsLooked = 4;
        /// How many of the best guessed drops are measured by a search each, which keeps a
        /// decision under five milliseconds.
        std::size_t measuredDrops = 5;
    };

    /// A drop: rotate the block by `quarterTurns` clockwise, move the cursor to `cursor`, drop.
    struct Drop
    {
        int quarterTurns = 0;
        rules::Cell cursor{0, 0};
        /// The Runner's turns to the finish after this drop, from the start of its next turn.
        int runnerTurns = 0;
    };

    BuilderPlanner() = default;
    explicit BuilderPlanner(const Options& options) : m_options(options), m_runner(options.runner) {}

    /// The drops the rules allow for the block (offsets from the cursor) in the match, with every
    /// cell inside the map and in `view`.
    static std::vector<Drop> candidates(const rules::Match& match, const Shape& shape, CellRange view);
    /// The field once the block is dropped there (rules::Rules::place).
    static rules::Field withDrop(const rules::Field& field, const Shape& shape, rules::CellKind kind,
                                 const Drop& drop);

    /// The drop of the block the Builder was dealt (the match's ghost) that holds the Runner back
    /// most; `found` is false when the block fits nowhere in `view`.
    Drop chooseDrop(const rules::Match& match, CellRange view, bool& found) const;
    /// A drop as a beginner makes it: within `reach` cells of where the cursor hangs when it can
    /// (else the nearest), any of those as likely, but never one after which the Runner's start
    /// (where a reset puts it) is walled in or has no way to the finish while it had one before.
    Drop chooseNearCursorDrop(const rules::Match& match, CellRange view, std::mt19937& random, bool& found,
                              int reach = 3) const;
    /// Where a green block may go: a single green cell is a finish for the Runner, so the drop is
    /// the one furthest from it that the Runner cannot step onto within `GreenReachTurns` turns,
    /// even were every amber block gone by then and the green still there. `found` is false when
    /// every drop in sight is within the Runner's next turn: better to let the turn run out.
    Drop chooseGreenDrop(const rules::Match& match, const std::vector<Drop>& drops, bool& found) const;
    static constexpr int GreenReachTurns = 2;

    /// Whether the Runner, starting again at the start (its reset cell) on `after`, would be
    /// walled in there or find no way to the finish, with every Builder cell taken to stay.
    static bool sealsStart(const rules::Field& after, rules::Cell runner);

    /// Any allowed drop of the dealt block, each as likely (the yardstick the computer Builder is
    /// measured against).
    static Drop chooseRandomDrop(const rules::Match& match, CellRange view, std::mt19937& random,
                                 bool& found);

private:
    Options m_options;
    RunnerPlanner m_runner;
};
} // namespace orv_gd
