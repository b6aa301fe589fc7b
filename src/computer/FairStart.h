#pragma once

#include "computer/BuilderPlanner.h"
#include "rules/Field.h"
#include "rules/Match.h"

#include <vector>

namespace orv_gd
{
/// The computer Builder's promise to a Runner that has just begun: until the Runner has had
/// GraceTurns turns, no drop shuts it in its start pocket, neither at once nor once gravity has
/// brought the blocks down by the start of each of those turns. After that, or once the Runner
/// has walked out of the pocket, anything goes.
class FairStart
{
public:
    static constexpr int GraceTurns = 3;
    /// The columns right of the Runner that make its pocket: a Runner that can get further is out.
    static constexpr int PocketReach = 3;
    /// A way out that takes longer than this many turns is none.
    static constexpr int EscapeTurns = 8;

    /// The start pocket: the level's first columns. A Runner that walked out of them is on its own.
    static constexpr int PocketColumns = 3;

    /// Whether the Runner has had fewer than GraceTurns turns and stands in its start pocket.
    static bool applies(const rules::Match& match);
    /// Whether the Runner is shut in on `field`: walled in, or with no way further than
    /// PocketReach columns to its right within EscapeTurns turns while every Builder cell stays.
    static bool shutIn(const rules::Field& field, const rules::RunnerState& runner);
    /// Whether the Runner, standing still, would be shut in at the start of one of its turns
    /// left in the grace, on `after` and on the fields gravity makes of it turn by turn.
    static bool seals(const rules::Match& match, const rules::Field& after);
    /// Leaves out of `drops` (of the block the Builder was dealt) those that seal the Runner in,
    /// while the grace lasts and the Runner is not shut in already. Every drop may go: the turn
    /// then runs out.
    static void keepOpen(const rules::Match& match, std::vector<BuilderPlanner::Drop>& drops);
};
} // namespace orv_gd
