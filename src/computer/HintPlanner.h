#pragma once

#include "computer/BuilderPlanner.h"
#include "computer/CellRange.h"
#include "computer/RunnerPlanner.h"
#include "rules/Match.h"

#include <vector>

namespace orv_gd
{
/// What the computer of the normal level would do now for the role whose turn it is, for a player
/// who asks: the Runner's path through this turn, or the Builder's block turned and where it drops.
/// Plain data from the planners' public choices, so it can be worked out away from the frame.
struct Hint
{
    rules::Role role = rules::Role::Builder;
    /// The turn the hint was worked out for: a hint of a past turn is shown no longer.
    int turnNumber = 0;
    /// Whether the planner found anything to advise.
    bool found = false;

    // The Runner.
    /// The keys of the turn, in order, and the Runner's cell before the first and after each.
    std::vector<RunnerAction> keys;
    std::vector<rules::Cell> path;
    /// Runner turns to the finish counting this one (RunnerPlanner::Unreachable when out of sight).
    int turnsToFinish = RunnerPlanner::Unreachable;

    // The Builder.
    /// Quarter turns clockwise before the drop, the cursor to drop at and the cells the block takes.
    int quarterTurns = 0;
    rules::Cell cursor{0, 0};
    std::vector<rules::Cell> cells;

    /// The Runner's cell at the end of the advised turn.
    rules::Cell reach() const { return path.empty() ? rules::Cell{} : path.back(); }
};

/// Works out hints with the normal level's planners, called through their public choices only.
class HintPlanner
{
public:
    /// The hint for the role whose turn it is in `match`; `view` is the cells the Builder's cursor
    /// may reach. Nothing is found when neither role may act.
    static Hint plan(const rules::Match& match, CellRange view);
};
} // namespace orv_gd
