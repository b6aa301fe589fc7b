#pragma once

#include "rules/Cell.h"
#include "rules/Field.h"
#include "rules/Match.h"

#include <cstdint>
#include <vector>

namespace orv_gd::rules
{
/// Why the rules turned an action down; the match is left as it was.
enum class Refusal : std::uint8_t
{
    None,
    NotYourTurn,     ///< the other role's turn, or the match is over
    NoMovesLeft,     ///< a step with no horizontal move left
    NoJumpForce,     ///< a jump with no force
    NoBlock,         ///< no block dealt
    OutOfMap,        ///< the cursor, or a cell of the block that was inside, would leave the map
    NotAtCursor,     ///< a drop named another cell than the cursor's
    OnSafeZone,      ///< a cell lies on the Runner's safe zone
    InFinishColumns, ///< a cell lies in the last three columns
    BadAction        ///< not an action of this game
};

/// How the Runner came to change cells.
enum class Motion : std::uint8_t
{
    Step,    ///< a step or a jump
    Fall,    ///< the one-row fall after a step over a gap
    Bump,    ///< a wall met in mid-air: one row down instead
    Reset,   ///< back to the start column
    Gravity, ///< the gravity pass after the Runner's turn
    Finish   ///< onto green
};

/// What happened, in the order it happened: the screen turns these into pictures, sounds and the
/// step log.
struct Event
{
    enum class Kind : std::uint8_t
    {
        Refused,        ///< `why`
        StepBegan,      ///< a step or jump is tried with `moves` and `force` left
        CantMove,       ///< `to` is taken or outside the map
        RunnerMoved,    ///< `from` → `to`, by `motion`
        StepEnded,      ///< the step is paid: `moves` and `force` left
        EndAsked,       ///< the Runner ended its turn
        Reset,          ///< `cause`; `resets` left (below 0: the third)
        GravityStarted, ///< the pass after the Runner's turn
        CellFell,       ///< an amber cell `from` → `to`
        TurnEnded,      ///< `role`'s turn is over
        TurnBegan,      ///< `role`'s turn begins; `digest` of the match at that moment
        BlockDealt,     ///< the Builder's next block hangs at the cursor (see the match's ghost)
        CursorMoved,    ///< `from` → `to`
        Rotated,        ///< the block by `quarterTurns`
        CellPlaced,     ///< a dropped cell of `kind` took `to`
        CellSkipped,    ///< a dropped cell at `to` found no room (outside, or white or green under amber)
        Dropped,        ///< the drop counted; `blocks` left this turn
        CellExpired,    ///< the Builder cell at `to` faded away
        MatchWon        ///< `role` won, `how`
    };

    Kind kind = Kind::Refused;
    Cell from{};
    Cell to{};
    int moves = 0;
    int force = 0;
    int resets = 0;
    int blocks = 0;
    int quarterTurns = 0;
    Role role = Role::Runner;
    Motion motion = Motion::Step;
    ResetCause cause = ResetCause::Asked;
    WinReason how = WinReason::None;
    Refusal why = Refusal::None;
    CellKind cellKind = CellKind::Empty;
    std::uint64_t digest = 0;
};

using Events = std::vector<Event>;
} // namespace orv_gd::rules
