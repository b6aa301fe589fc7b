#pragma once

#include "rules/Cell.h"
#include "rules/Field.h"
#include "rules/ObstacleShapes.h"
#include "rules/Rng.h"

#include <cstdint>
#include <string>
#include <tuple>

namespace orv_gd::rules
{
enum class Role : std::uint8_t
{
    Runner,
    Builder
};

/// Why the Runner went back to the start.
enum class ResetCause : std::uint8_t
{
    Asked,    ///< the reset key or button
    Fell,     ///< a step into the bottom row, or a bump with nothing below the map
    WalledIn, ///< no free cell around the Runner
};

/// How a match ended.
enum class WinReason : std::uint8_t
{
    None,
    ReachedFinish, ///< the Runner stepped onto green
    OutOfTurns,    ///< the Runner ended its 51st turn
    ThirdReset     ///< the Runner needed a third reset
};

/// Where the Runner stands and what it may still spend this turn.
struct RunnerState
{
    Cell cell{};
    int jumpForce = 0;
    int moves = 0;

    /// Every member, in the digest's order (a member left out here fails the build).
    template <class S>
    static auto parts(S& s)
    {
        return std::tie(s.cell, s.jumpForce, s.moves);
    }

    friend bool operator==(const RunnerState& a, const RunnerState& b) { return parts(a) == parts(b); }
    friend bool operator!=(const RunnerState& a, const RunnerState& b) { return !(a == b); }
};

/// The block the Builder was dealt, hanging at its cursor until it is dropped.
struct Ghost
{
    bool present = false;
    ObstacleShapes::Shape shape; ///< offsets from the cursor, as rotated so far
    CellKind kind = CellKind::Dynamic;
    Cell cursor{};

    /// Every member, in the digest's order (a member left out here fails the build).
    template <class G>
    static auto parts(G& g)
    {
        return std::tie(g.present, g.kind, g.cursor, g.shape);
    }
};

/// The numbers a match is played with.
struct MatchConfig
{
    // What the game plays: a level needs room for the start, some platforms and the finish, and
    // stays small enough to draw and plan. Every number that comes from outside (a friend's
    // Start, a replay's header, the settings) goes through problem() before it is used.
    static constexpr int MinWidth = 12;
    static constexpr int MaxWidth = 200;
    static constexpr int MinHeight = 8;
    static constexpr int MaxHeight = 60;
    static constexpr int MinTurnLimitMs = 1000;
    static constexpr int MaxTurnLimitMs = 600000;
    /// Draws a generator may be resumed at: far more than many matches make, few enough to
    /// replay at once.
    static constexpr std::uint64_t MaxDraws = 10000000;

    int width = 50;
    int height = 15;
    int turnLimitMs = 10000;

    /// Empty when the game plays these numbers from a generator `draws` draws in; otherwise what
    /// is out of range, as a phrase: "a match of 500 x 500 cells and 10000 ms turns" or "a
    /// generator 20000000 draws in".
    static std::string problem(const MatchConfig& config, std::uint64_t draws);

    /// Every member, in the digest's order (a member left out here fails the build).
    template <class C>
    static auto parts(C& c)
    {
        return std::tie(c.width, c.height, c.turnLimitMs);
    }

    friend bool operator==(const MatchConfig& a, const MatchConfig& b) { return parts(a) == parts(b); }
    friend bool operator!=(const MatchConfig& a, const MatchConfig& b) { return !(a == b); }
};

/// One match as plain data: the field, the Runner, whose turn it is and for how long, the Builder's
/// drops and the block it was dealt, the generator, and how it ended. Rules change it; nothing
/// else does.
struct Match
{
    static constexpr int FinishColumns = 3;
    static constexpr int MovesPerTurn = 4;
    /// Walking raises the jump force up to this; a mid-air bump raises it beyond.
    static constexpr int MaxJumpForce = 7;
    static constexpr int StartResets = 2;
    static constexpr int StartTurns = 50;
    static constexpr int BlocksPerTurn = 2;
    /// Milliseconds of Builder time an amber or green Builder cell lasts.
    static constexpr int BlockLifeMs = 7000;
    /// Milliseconds between the step onto green and the end of the match.
    static constexpr int FinishDelayMs = 500;
    /// Cells of the Runner's safe zone on each side of it.
    static constexpr int SafeZoneReach = 1;

    /// Column 0, six rows above the bottom edge, right over the first platform.
    static Cell startCell(int height) { return {0, height - 6}; }

    MatchConfig config;
    Field field;
    RunnerState runner;
    int resetsLeft = StartResets;
    int turnsLeft = StartTurns;
    ResetCause lastReset = ResetCause::Asked;

    Role turn = Role::Builder;
    /// Turns begun so far, the first Builder turn being 1.
    int turnNumber = 0;
    int turnMs = 0;

    int blocksLeft = BlocksPerTurn;
    Ghost ghost;
    Rng rng{}; // braced: a brace initialisation of a Match may leave it out

    /// The Runner stands on green; the match ends FinishDelayMs later.
    bool reachedFinish = false;
    int finishMs = 0;
    bool over = false;
    Role winner = Role::Builder;
    WinReason how = WinReason::None;

    /// In the safe zone: the 3 × 3 cells around the Runner, also where they hang over the edge.
    bool onSafeZone(Cell cell) const
    {
        const Cell d = cell - runner.cell;
        return d.x >= -SafeZoneReach && d.x <= SafeZoneReach && d.y >= -SafeZoneReach && d.y <= SafeZoneReach;
    }
    /// The Runner may act: its turn, the match on and the finish not reached.
    bool runnerActs() const { return !over && !reachedFinish && turn == Role::Runner; }
    bool builderActs() const { return !over && turn == Role::Builder; }
    /// The Runner's turns begun so far (every second turn is the Runner's): the count a player is
    /// told at the end, on the end screen as by a replay's check.
    int runnerTurns() const { return turnNumber / 2; }
    /// The Runner's turns left, the present one included: the match is lost once none is left.
    int runnerTurnsLeft() const { return turnsLeft + 1; }

    /// Every member, in the digest's order: the digest walks this list (MatchParts), and a member
    /// left out of it fails the build.
    template <class M>
    static auto parts(M& m)
    {
        return std::tie(m.config, m.field, m.runner, m.resetsLeft, m.turnsLeft, m.lastReset, m.turn,
                        m.turnNumber, m.turnMs, m.blocksLeft, m.ghost, m.rng, m.reachedFinish, m.finishMs,
                        m.over, m.winner, m.how);
    }

    /// A digest of every part above: two matches with the same digest play on alike.
    std::uint64_t digest() const;
};
} // namespace orv_gd::rules
