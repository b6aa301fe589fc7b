#include "rules/MatchLog.h"

#include "rules/Rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <set>

namespace orv_gd::rules
{
namespace
{
struct Played
{
    MatchLog log;
    Match match;
};

/// A match played by a random player from `seed` (the Runner walks right more often than not, or
/// on every third seed mostly ends its turns at once) with random waits between the actions,
/// logged as the game logs it; left after `actions` actions when it has not ended by then.
Played play(unsigned seed, int actions = INT_MAX)
{
    std::mt19937 random(seed);
    const auto roll = [&](int n)
    {
        return static_cast<int>(random() % static_cast<unsigned>(n));
    };
    Played played;
    Events events;
    Match& match = played.match;
    match = Rules::start(played.log.getStart(), played.log.getConfig(), nullptr, &events);
    played.log.noteTurns(events);
    while (!match.over && actions-- > 0)
    {
        events.clear();
        Rules::advance(match, roll(4) == 0 ? roll(4000) : roll(300), events);
        const int turn = match.turnNumber;
        const int ms = match.turnMs;
        const int r = roll(40);
        const Action action = match.turn == Role::Builder
                                  ? (r < 24   ? Action::moveCursor({roll(3) - 1, roll(3) - 1})
                                     : r < 30 ? Action::rotate(1 + roll(3))
                                              : Action::drop(match.ghost.cursor))
                              : seed % 3 == 0 ? (r < 30   ? Action::endTurn()
                                                 : r < 35 ? Action::stepLeft()
                                                          : Action::jump())
                              : r < 22        ? Action::stepRight()
                              : r < 30        ? Action::jump()
                              : r < 36        ? Action::stepLeft()
                              : r < 39        ? Action::endTurn()
                                              : Action::reset();
        Rules::apply(match, action, events);
        if (events.empty() || events.back().kind != Event::Kind::Refused)
        {
            played.log.record(turn, ms, action);
        }
        played.log.noteTurns(events);
    }
    if (!match.over) // a while after the last action
    {
        events.clear();
        Rules::advance(match, 777, events);
        played.log.noteTurns(events);
    }
    played.log.finish(match);
    return played;
}

/// The log's actions applied at their stamps to a match whose time passes in frames of `frameMs`.
Match drive(const MatchLog& log, int frameMs)
{
    Match match = Rules::start(log.getStart(), log.getConfig());
    const auto until = [&](int turn, int ms)
    {
        while (!match.over && (match.turnNumber < turn || (match.turnNumber == turn && match.turnMs < ms)))
        {
            Rules::advance(match, match.turnNumber == turn ? std::min(frameMs, ms - match.turnMs) : frameMs);
        }
    };
    for (const MatchLog::Entry& entry : log.getEntries())
    {
        until(entry.turn, entry.ms);
        const Events events = Rules::apply(match, entry.action);
        EXPECT_NE(events.front().kind, Event::Kind::Refused)
            << "turn " << entry.turn << ", " << entry.ms << " ms";
    }
    log.hasEnded() ? until(INT_MAX, 0) : until(log.getEndTurn(), log.getEndMs());
    return match;
}
} // namespace

TEST(MatchLogTest, APlayedMatchReplaysToTheSameMatchWhateverFramesPlayedIt)
{
    std::set<WinReason> endings;
    for (unsigned seed = 1; seed <= 24; ++seed)
    {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const Played played = play(seed);
        ASSERT_TRUE(played.match.over);
        endings.insert(played.match.how);
        std::string error;
        EXPECT_EQ(played.log.replay(&error).digest(), played.match.digest());
        EXPECT_EQ(error, "");
        for (const int frameMs : {5, 16, 40})
        {
            EXPECT_EQ(drive(played.log, frameMs).digest(), played.match.digest()) << frameMs << " ms frames";
        }
    }
    EXPECT_EQ(endings.size(), 3u) << "the finish, the turns and the resets each ended some";

    // A match left midway replays to where it was left.
    const Played left = play(5, 150);
    ASSERT_FALSE(left.log.hasEnded());
    EXPECT_EQ(left.log.replay().digest(), left.match.digest());
    EXPECT_EQ(drive(left.log, 16).digest(), left.match.digest());
}

TEST(MatchLogTest, AReplayStopsAtAFaultyEntryAndNamesIt)
{
    std::string error;
    MatchLog refused;
    refused.record(1, 0, Action::moveCursor({1, 0}));
    refused.record(1, 50, Action::stepRight()); // in the Builder's turn
    refused.replay(&error);
    EXPECT_EQ(error, "entry 2: the rules refuse this action here");

    MatchLog unordered;
    unordered.record(1, 100, Action::moveCursor({1, 0}));
    unordered.record(1, 50, Action::moveCursor({1, 0}));
    EXPECT_EQ(unordered.replay(&error).ghost.cursor, (Cell{5, 9})) << "stopped there";
    EXPECT_EQ(error, "entry 2: stamped before the action ahead of it");

    // A log whose turns began with other digests than the rules give it.
    Events events;
    Rules::start(Rng(1), {}, nullptr, &events);
    MatchLog other(Rng(2));
    other.noteTurns(events);
    other.record(1, 0, Action::moveCursor({1, 0}));
    other.replay(&error);
    EXPECT_EQ(error, "entry 1: turn 1 began otherwise than in play");

    const Played played = play(9);
    MatchLog shorter(played.log.getStart(), played.log.getConfig());
    shorter.record(1, 0, Action::moveCursor({1, 0}));
    shorter.noteTurns(events);
    shorter.finish(played.match);
    shorter.replay(&error);
    EXPECT_EQ(error, "at the end: the turns differ from those played");
}
} // namespace orv_gd::rules
