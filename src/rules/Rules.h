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
};
} // namespace orv_gd::rules
