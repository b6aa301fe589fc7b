#pragma once

#include "net/Lockstep.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <random>
#include <thread>

namespace orv_gd::test
{
/// One game of a match played over a link: its match, begun from the host's Start and kept in step,
/// and (when `pressing`) a player pressing random keys of its role in its own turns.
struct RandomPlayer
{
    std::function<void(int ms)> carry; ///< moves the link's bytes for a frame
    bool pressing = true;
    rules::Match match;
    std::unique_ptr<net::Lockstep> lockstep;
    std::mt19937 random;
    rules::Events events;

    RandomPlayer(unsigned seed, std::function<void(int)> link = {}) : carry(std::move(link)), random(seed) {}

    void begin(net::Link& link, const net::Message& start, rules::Role role)
    {
        match = net::startMatch(start);
        lockstep = std::make_unique<net::Lockstep>(link, role, match);
    }

    /// The link's frame and, once begun, the lockstep's.
    void frame(int ms)
    {
        carry(ms);
        if (lockstep)
        {
            lockstep->update(ms, events);
        }
        if (pressing && lockstep && match.turn == lockstep->local() && random() % 4 == 0)
        {
            act(pick());
        }
        events.clear();
    }
    bool act(const rules::Action& action) { return lockstep->act(action, events); }

    /// Mostly steps right and jumps for the Runner, now and then a reset; moves, turns and drops for
    /// the Builder.
    rules::Action pick()
    {
        using rules::Action;
        const unsigned roll = random() % 20;
        if (lockstep->local() == rules::Role::Runner)
        {
            const Action keys[] = {Action::stepRight(), Action::jump(), Action::stepLeft(), Action::endTurn(),
                                   Action::reset()};
            return keys[roll < 11 ? 0 : roll < 16 ? 1 : roll < 17 ? 2 : roll < 19 || random() % 8 ? 3 : 4];
        }
        const int dx = static_cast<int>(random() % 3) - 1;
        const int dy = static_cast<int>(random() % 3) - 1;
        return roll < 10   ? Action::moveCursor({dx, dy})
               : roll < 13 ? Action::rotate(1 + static_cast<int>(roll % 3))
                           : Action::drop(match.ghost.cursor);
    }
};

/// Frames on both games until both matches are over, one side failed, `until` holds or 20 s passed:
/// of `fixedMs` each and as long in real time when given, else random and `sleepUs` apart.
inline void playOut(
    RandomPlayer& host, RandomPlayer& guest, const std::function<bool()>& until = [] { return false; },
    int fixedMs = 0, int sleepUs = 0)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::mt19937 frames(host.random());
    for (int i = 0; i < 200000 && !(host.match.over && guest.match.over) && !until(); ++i)
    {
        if (host.lockstep->failed() || guest.lockstep->failed() ||
            std::chrono::steady_clock::now() > deadline)
        {
            return;
        }
        host.frame(fixedMs > 0 ? fixedMs : 5 + static_cast<int>(frames() % 36));
        guest.frame(fixedMs > 0 ? fixedMs : 5 + static_cast<int>(frames() % 36));
        fixedMs + sleepUs > 0
            ? std::this_thread::sleep_for(std::chrono::microseconds(fixedMs * 1000 + sleepUs))
            : std::this_thread::yield();
    }
}

/// Both games played the match to its end alike, and compared every turn's digest but the last few,
/// whose digests may still be on their way.
inline void expectSameEnd(const RandomPlayer& host, const RandomPlayer& guest)
{
    ASSERT_FALSE(host.lockstep->failed()) << host.lockstep->problem();
    ASSERT_FALSE(guest.lockstep->failed()) << guest.lockstep->problem();
    ASSERT_TRUE(host.match.over && guest.match.over);
    EXPECT_EQ(host.match.digest(), guest.match.digest());
    EXPECT_EQ(host.match.winner, guest.match.winner);
    EXPECT_GT(host.match.turnNumber, 3);
    EXPECT_GE(guest.lockstep->comparedTurns(), guest.match.turnNumber - 2);
}
} // namespace orv_gd::test
