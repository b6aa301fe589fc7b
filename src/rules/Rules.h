#pragma once

#include "rules/Action.h"
#include "rules/Event.h"
#include "rules/Level.h"
#include "rules/Match.h"

namespace orv_gd::rules
{
/// The rules of a match: how it starts, what each action does and what the passing of time does.
/// Plain functions over a Match: no window, clock, sound, output or shared state, so the game,
/// the computer players and a replay all play by the same ones.
class Rules
{
public:
    /// The most time one frame passes to the rules: a frame stalled for seconds (a window dragged,
    /// a busy machine) costs the player whose turn it is no more than this.
    static constexpr int MaxFrameMs = 100;

    /// A new match on a level drawn from `rng`: the Runner at the start, the Builder's first turn
    /// begun with its first block dealt. `level`, when given, receives the level's layout;
    /// `events`, the events of the first turn's start.
    static Match start(const Rng& rng, const MatchConfig& config = {}, Level* level = nullptr,
                       Events* events = nullptr);

    /// Applies one action of the role whose turn it is. An action the rules turn down gives one
    /// Refused event and changes nothing.
    static Events apply(Match& match, const Action& action);
    static void apply(Match& match, const Action& action, Events& events);

    /// Lets `ms` milliseconds of the turn pass: the Builder's cells age in its turn, a turn that
    /// reaches its limit is handed over (the rest of the time goes on in the next turn), and the
    /// match ends the moment the wait on green is over.
    static Events advance(Match& match, int ms);
    static void advance(Match& match, int ms, Events& events);

    /// Milliseconds until time alone ends the turn (the wait on green counting as one); 0 when
    /// the match is over. A turn can end sooner: by an action, or at once when it begins walled in.
    static int msToTurnEnd(const Match& match);

    /// Why the block could not be dropped with its anchor at `cursor` (None when it can): a cell on
    /// the Runner's safe zone is named before one in the finish columns.
    static Refusal dropProblem(const Match& match, const ObstacleShapes::Shape& shape, Cell cursor);

    // The pieces of a turn that the computer players plan with too, on the field and the Runner
    // alone: the match plays by the same ones.

    /// Whether a cell of `kind` dropped onto `cell` lands: inside the map, and onto a white or green
    /// cell only when green itself (it keeps that cell beneath).
    static bool lands(const Field& field, Cell cell, CellKind kind);
    /// Drops a block of `kind` with its anchor at `cursor`: each cell that lands takes it, amber and
    /// green for Match::BlockLifeMs of Builder time, white for good. `events`, when given, gets a
    /// CellPlaced or CellSkipped for each cell in the shape's order.
    static void place(Field& field, const ObstacleShapes::Shape& shape, CellKind kind, Cell cursor,
                      Events* events = nullptr);
    /// A reset: one spent from `resetsLeft` (below 0 the match is lost), the Runner at the reset
    /// cell with no move and no force left.
    static void resetRunner(const Field& field, RunnerState& runner, int& resetsLeft);
    /// The Runner's turn begins with its moves; walled in, it spends a reset instead and the turn
    /// ends as it begins (true).
    static bool beginRunnerTurn(const Field& field, RunnerState& runner, int& resetsLeft);
    /// What passes between two Runner turns when the Builder drops nothing: the gravity pass with
    /// the Runner at `runner` (outside the map: without it), then `builderMs` of Builder time
    /// ageing the Builder's cells. The Runner's cell after the pass is returned.
    static Cell betweenTurns(Field& field, Cell runner, int builderMs);
    /// From the end of a Runner turn to the start of its next, as the match plays it when the
    /// Builder drops nothing: betweenTurns, then beginRunnerTurn.
    static void handOver(Field& field, RunnerState& runner, int& resetsLeft, int builderMs);
};
} // namespace orv_gd::rules
