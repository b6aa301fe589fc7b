#pragma once

#include "computer/FieldSnapshot.h"

#include <cstddef>
#include <cstdint>
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

/// The computer Runner's mind: the Runner's movement rules over a FieldSnapshot (steps, jumps and
/// their cost, the one-cell fall per step over a gap, the mid-air bump, the bottom row's reset, the
/// gravity pass between turns), a search over the moves of a turn and over the turns to the
/// finish, and the choice of the turn that leaves the Runner fewest turns from the finish.
class RunnerPlanner
{
public:
    static constexpr int MovesPerTurn = 4;
    /// Walking raises the jump force up to this; a mid-air bump raises it beyond.
    static constexpr int MaxJumpForce = 7;
    /// Turns the search looks ahead; further counts as out of reach.
    static constexpr int Horizon = 60;
    static constexpr int Unreachable = Horizon + 1;

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

    /// One press of Left, Right or Up by the Runner's rules.
    static Step press(const FieldSnapshot& field, const RunnerState& state, RunnerAction action);
    /// None of the four neighbours is free: the Runner is sent back to the start.
    static bool isTrapped(const FieldSnapshot& field, sf::Vector2i cell);
    /// The action's name in the input bindings ("RunnerLeft" ...).
    static const char* actionName(RunnerAction action);

    /// Plans the rest of the Runner's turn from field.runner.
    TurnPlan planTurn(const FieldSnapshot& field) const;

    /// Runner turns from a turn beginning in `start` (full budget) to the finish, counting that
    /// turn, at most `limit`; more than `limit` when out of reach. When `examined` is given, every
    /// cell the search looked at is marked in it (index x * height + y); when `route` is given,
    /// the cells of the way found are appended, from the finish back to the start.
    int turnsToFinish(const FieldSnapshot& field, sf::Vector2i start, int jumpForce, int limit,
                      std::vector<bool>* examined = nullptr,
                      std::vector<sf::Vector2i>* route = nullptr) const;

private:
    struct Node
    {
        RunnerState state;
        int parent;
        RunnerAction action;
        bool finished;
    };
    /// Every state the Runner can reach within one turn from `start`, fewest keys first, each
    /// with the key that led there; states no better than one already found are left out.
    void expandTurn(const FieldSnapshot& field, const RunnerState& start, std::vector<Node>& nodes) const;
    /// The turn-start states after the gravity pass; a Runner left trapped is dropped (-1 cell).
    static RunnerState nextTurn(const FieldSnapshot& fieldAfterGravity, const RunnerState& end);
    /// Multi-turn search from several first-turn end states; returns the index of the best one
    /// and its turns to the finish (counting the first turn).
    std::pair<int, int> bestRoot(const FieldSnapshot& field, const std::vector<RunnerState>& roots,
                                 int limit) const;
    /// Breadth-first over whole turns from the given turn-start states: the index of the start
    /// from which the finish is reached in fewest turns, and that number (limit + 1 if none).
    std::pair<int, int> search(const FieldSnapshot& field, const std::vector<RunnerState>& starts, int limit,
                               std::vector<bool>* examined, std::vector<sf::Vector2i>* route) const;
    TurnPlan planFrom(const std::vector<Node>& nodes, int node, bool endTurn) const;

    // Scratch space reused between searches, so a decision allocates little.
    static constexpr int TurnReach = 16;
    static constexpr int TurnSide = 2 * TurnReach + 1;
    static constexpr std::size_t TurnKeys = TurnSide * TurnSide * (MovesPerTurn + 1);
    struct SearchEntry
    {
        RunnerState state;
        int root;
        int parent;
    };
    mutable std::vector<int> m_bestForce;
    mutable std::vector<SearchEntry> m_entries;
    mutable std::vector<int> m_open;
    mutable std::vector<int> m_next;
    mutable std::vector<int> m_turnBest = std::vector<int>(TurnKeys, -1);
    mutable std::vector<unsigned> m_turnGeneration = std::vector<unsigned>(TurnKeys, 0);
    mutable unsigned m_generation = 0;
};
} // namespace orv_gd
