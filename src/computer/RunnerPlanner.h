#pragma once

#include "rules/Cell.h"
#include "rules/Field.h"
#include "rules/Match.h"

#include <cstddef>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace orv_gd
{
/// A key the Runner presses: one action of player 0.
enum class RunnerAction : std::uint8_t
{
    Left,
    Right,
    Up,
    End,
    Reset
};

/// The computer Runner's mind: a search over the moves of a turn and over the turns to the finish,
/// and the choice of the turn that leaves the Runner fewest turns from the finish. Every move,
/// gravity pass, reset and walled-in test is the rules' own (rules::RunnerMoves); what the search
/// leaves out for speed is named in Options.
class RunnerPlanner
{
public:
    using RunnerState = rules::RunnerState;

    static constexpr int MovesPerTurn = rules::Match::MovesPerTurn;
    /// Turns the search looks ahead; further counts as out of reach.
    static constexpr int Horizon = 60;
    static constexpr int Unreachable = Horizon + 1;

    /// The shortcuts the search over later turns takes for speed. The planned turn itself always
    /// follows the rules exactly, and so does the hand-over after it.
    struct Options
    {
        /// In the turns after the planned one, jump force above this counts as this (0: no cap).
        /// Mid-air bumps raise the force without bound, but force far beyond what walking gives
        /// rarely buys anything; counting it keeps the search going over ever stronger copies of
        /// one state.
        int forceCap = rules::Match::MaxJumpForce + 2;
        /// Milliseconds of Builder time assumed between two Runner turns: at each hand-over the
        /// Builder's amber and green cells age by this, as the game ages them in the Builder's turn,
        /// and those whose life runs out are gone. Three seconds is the quickest turn of the
        /// quickest computer Builder: a slower Builder, or a person taking up to the turn's ten,
        /// only makes cells fade sooner than planned (the next turn's plan sees it), so the Runner
        /// never walks into a pocket counting on a fade that comes late. 0 keeps every cell for ever.
        int builderTurnMs = 3000;
        /// The turns after the planned one are searched on one field per turn, shared by every
        /// state and made by the gravity pass without the Runner: there a block resting on the
        /// Runner's head falls into its cell (true). false: every state's next turn begins after
        /// its own gravity pass with the Runner in it, so its fall and whether it is walled in are
        /// the game's; the moves of that turn are still tried on the shared field. Much slower.
        bool sharedTurnField = true;
        /// Turns searched after the planned one; a finish further away is out of sight, and the
        /// turn then goes as far right as it can.
        int lookAhead = Horizon;
        /// Out of 100 turns, how many take another way than the best one found (one that costs no
        /// reset), as a person sometimes does; only with a generator given to planTurn.
        int detourPercent = 0;
    };

    /// What one key press does.
    enum class Outcome : std::uint8_t
    {
        Nothing,  ///< the key changes nothing (no budget, or blocked with no room to drop)
        Moved,    ///< a step, a jump, a step and a fall, or a bump and a fall
        Finished, ///< the Runner stepped onto a finish cell: the match is won
        Reset     ///< the move sends the Runner back to the start and ends the turn
    };
    struct Step
    {
        RunnerState state;
        Outcome outcome = Outcome::Nothing;
    };

    /// The turn the planner advises: the keys in order (ending with End unless the turn ends by
    /// itself, a finish or a reset), the state expected after each key, and the Runner turns
    /// left to the finish counting this one (Unreachable when it cannot be seen).
    struct TurnPlan
    {
        std::vector<RunnerAction> actions;
        std::vector<RunnerState> expected;
        int turnsToFinish = Unreachable;
    };

    RunnerPlanner() = default;
    explicit RunnerPlanner(const Options& options) : m_options(options) {}
    const Options& getOptions() const { return m_options; }

    /// One press of Left, Right or Up: rules::RunnerMoves::move, its outcome as the planner needs it.
    static Step press(const rules::Field& field, const RunnerState& state, RunnerAction action);
    /// The action's name in the input bindings ("RunnerLeft" ...).
    static const char* actionName(RunnerAction action);

    /// Plans the rest of the Runner's turn in the match (its field, Runner, resets and turns).
    /// `random` draws the detours of Options::detourPercent; without it there are none.
    TurnPlan planTurn(const rules::Match& match, std::mt19937* random = nullptr) const;

    /// Runner turns from a turn beginning at `start` with `jumpForce` to the finish, counting that
    /// turn, at most `limit`; more than `limit` when out of reach. When `examined` is given, every
    /// cell the search looked at is marked in it (index x * height + y); when `route` is given,
    /// the cells of the way found are appended, from the finish back to the start.
    int turnsToFinish(const rules::Field& field, rules::Cell start, int jumpForce, int resetsLeft, int limit,
                      std::vector<bool>* examined = nullptr, std::vector<rules::Cell>* route = nullptr) const;

private:
    struct Node
    {
        RunnerState state;
        int parent;
        RunnerAction action;
        bool finished;
    };
    /// A state the multi-turn search starts from, with the resets it has left.
    struct Root
    {
        RunnerState state;
        int resetsLeft;
    };
    /// Every state the Runner can reach within one turn from `start`, fewest keys first, each
    /// with the key that led there; states no better than one already found are left out.
    void expandTurn(const rules::Field& field, const RunnerState& start, std::vector<Node>& nodes) const;
    /// The field of the next turn as the shared-field search sees it: `field` after the gravity
    /// pass without the Runner and the Builder's turn.
    rules::Field nextField(const rules::Field& field) const;
    /// Breadth-first over whole turns from the given turn-start states, the first turn played on
    /// `field`: the index of the start from which the finish is reached in fewest turns, and that
    /// number (limit + 1 if none).
    std::pair<int, int> search(const rules::Field& field, const std::vector<Root>& starts, int limit,
                               std::vector<bool>* examined, std::vector<rules::Cell>* route) const;
    TurnPlan planFrom(const std::vector<Node>& nodes, int node, bool endTurn) const;
    /// Where each way through this turn (each node) leaves the Runner when its next turn begins, after
    /// the hand-over as the game plays it (worked out once per cell the turn may end in).
    std::vector<Root> handOverStarts(const rules::Match& match, const std::vector<Node>& nodes) const;
    /// The starts' indices, most promising first: further right, then more jump force, then fewer keys.
    static std::vector<int> promisingOrder(const std::vector<Root>& starts);
    /// Now and then a person takes another way than the best: any end of this turn that costs no
    /// reset and goes back at most one column. True, with the plan, when this turn is one of those.
    bool takeDetour(const rules::Match& match, const std::vector<Node>& nodes,
                    const std::vector<Root>& starts, std::mt19937* random, TurnPlan& plan) const;
    /// Stuck: when a fresh start can still reach the finish within `limit` and a reset is left to
    /// spare, reset; the reset spends the rest of this turn. True, with the plan, when so.
    bool resetWorthIt(const rules::Match& match, int limit, TurnPlan& plan) const;

    Options m_options;

    // Scratch space reused between searches, so a decision allocates little.
    static constexpr int TurnReach = 16;
    static constexpr int TurnSide = 2 * TurnReach + 1;
    static constexpr std::size_t TurnKeys = TurnSide * TurnSide * (MovesPerTurn + 1);
    struct SearchEntry
    {
        RunnerState state;
        int root;
        int parent;
        int resetsLeft;
    };
    // The steps of search, inline: they run once per state searched, and their only caller is
    // search (they are defined beside it).
    /// The first turn's open list, from the starts inside the field.
    void beginSearch(const rules::Field& field, const std::vector<Root>& starts) const;
    /// Whether the state has more jump force than any seen in its cell with as many moves left; if
    /// so it counts as seen, there and with fewer moves left.
    inline bool claim(const rules::Field& field, const RunnerState& state) const;
    /// Each key from the entry: a state worth it joins this turn's open list; true, with the cell,
    /// when a key reaches the finish.
    inline bool tryKeys(const rules::Field& level, const SearchEntry& entry, int index,
                        rules::Cell& finish) const;
    /// The entry's next turn, after the hand-over, joins the next turn's open list when worth it.
    inline void carryOver(const rules::Field& level, const rules::Field& after, const SearchEntry& entry,
                          int index, rules::Field& own) const;
    /// The cells of the way found, the finish cell first.
    void traceRoute(int index, rules::Cell finish, std::vector<rules::Cell>& route) const;

    mutable std::vector<int> m_bestForce;
    mutable std::vector<SearchEntry> m_entries;
    mutable std::vector<int> m_open;
    mutable std::vector<int> m_next;
    mutable std::vector<int> m_turnBest = std::vector<int>(TurnKeys, -1);
    mutable std::vector<unsigned> m_turnGeneration = std::vector<unsigned>(TurnKeys, 0);
    mutable unsigned m_generation = 0;
};
} // namespace orv_gd
