#pragma once

#include "computer/BuilderPlanner.h"
#include "computer/RunnerPlanner.h"
#include "core/MatchMode.h"

#include <random>

namespace orv_gd
{
/// Milliseconds, both ends included.
struct MsRange
{
    int min = 0;
    int max = 0;

    bool contains(int ms) const { return ms >= min && ms <= max; }
    /// A time drawn evenly from the range, then kept at most `cap` (a turn's limit less a margin).
    int draw(std::mt19937& random, int cap) const;
};

/// What a difficulty level means for each computer role: how it thinks and how long it takes.
/// Every level plays by the same rules and presses the same keys, one at most every
/// ActionPace::Interval seconds.
struct ComputerLevel
{
    /// How the Builder chooses its drops.
    enum class BuilderAim
    {
        /// Near where the cursor hangs, as a beginner drops, never sealing the Runner's start.
        NearCursor,
        /// Where the Runner's way grows most (BuilderPlanner::chooseDrop).
        Planned
    };

    // The Runner.
    /// Time from the start of its turn to its first key.
    MsRange runnerThinkMs;
    RunnerPlanner::Options runner;

    // The Builder.
    /// Builder time from the start of its turn to its second drop (at most the turn's limit less
    /// a second). Amber blocks age only in Builder time, so this decides how many turns they last.
    MsRange builderTurnMs;
    /// When in its turn the first drop lands, in percent of the turn. Only Builder time after a
    /// drop ages the block, so a late first drop lives longer.
    int firstDropPercent = 50;
    BuilderAim builderAim = BuilderAim::Planned;
    BuilderPlanner::Options builder;

    static const ComputerLevel& of(Difficulty difficulty);
};
} // namespace orv_gd
