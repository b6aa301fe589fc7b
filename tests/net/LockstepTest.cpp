#include "net/Lockstep.h"

#include "net/Session.h"
#include "support/Loopback.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <random>
#include <thread>

namespace orv_gd::net
{
namespace
{
using rules::Action;
using rules::Role;

/// The session with every message it sends held back `delayMs` of update time, as a slow network would.
class DelayedLink : public Link
{
public:
    DelayedLink(Session& session, int delayMs) : m_session(session), m_delayMs(delayMs) {}

    void update(int ms)
    {
        m_nowMs += ms;
        while (!m_held.empty() && m_held.front().first <= m_nowMs)
        {
            m_session.send(m_held.front().second);
            m_held.pop_front();
        }
        m_session.update(ms);
    }
    void send(const Message& message) override { m_held.emplace_back(m_nowMs + m_delayMs, message); }
    bool receive(Message& message) override { return m_session.receive(message); }
    bool isOpen() const override { return m_session.isOpen(); }
    void close(ByeReason reason, const std::string& line) override { m_session.close(reason, line); }
    const std::string& problem() const override { return m_session.problem(); }

private:
    Session& m_session;
    int m_delayMs;
    long m_nowMs = 0;
    std::deque<std::pair<long, Message>> m_held;
};

using test::connect;

/// One game: its session (behind a delay when asked), its match begun from the Start the host sent,
/// and a player that presses random keys of its role.
struct Side
{
    Session session{"1.0.0"};
    DelayedLink delayed;
    Link& link;
    rules::Match match;
    std::unique_ptr<Lockstep> lockstep;
    std::mt19937 random;
    rules::Events events;

    Side(int delayMs, unsigned seed)
        : delayed(session, delayMs), link(delayMs > 0 ? static_cast<Link&>(delayed) : session), random(seed)
    {
    }

    void begin(const Message& start, Role role)
    {
        match = startMatch(start);
        lockstep = std::make_unique<Lockstep>(link, role, match);
    }

    void frame(int ms)
    {
        &link == &delayed ? delayed.update(ms) : session.update(ms);
        lockstep->update(ms, events);
        if (match.turn == lockstep->local() && random() % 4 == 0)
        {
            lockstep->act(pick(), events);
        }
        events.clear();
    }

    Action pick()
    {
        const unsigned roll = random() % 20;
        if (lockstep->local() == Role::Runner)
        {
            if (roll == 19 && random() % 8 == 0)
            {
                return Action::reset();
            }
            return roll < 11   ? Action::stepRight()
                   : roll < 16 ? Action::jump()
                   : roll < 17 ? Action::stepLeft()
                               : Action::endTurn();
        }
        if (roll < 10)
        {
            return Action::moveCursor(
                {static_cast<int>(random() % 3) - 1, static_cast<int>(random() % 3) - 1});
        }
        return roll < 13 ? Action::rotate(1 + static_cast<int>(random() % 3))
                         : Action::drop(match.ghost.cursor);
    }
};

struct Friends
{
    std::unique_ptr<Side> host;
    std::unique_ptr<Side> guest;

    Friends(unsigned seed, int delayMs, Role hostRole, int turnLimitMs = 2000)
        : host(std::make_unique<Side>(delayMs, seed)), guest(std::make_unique<Side>(delayMs, seed * 7 + 1))
    {
        EXPECT_TRUE(connect(host->session, guest->session));
        rules::MatchConfig config;
        config.turnLimitMs = turnLimitMs;
        host->session.send(Message::start(seed, seed % 5, hostRole, config));
        host->session.update(0);
        Message start;
        EXPECT_TRUE(test::pump(
            {&guest->session}, [&] { return guest->session.receive(start); }, 1));
        host->begin(Message::start(seed, seed % 5, hostRole, config), hostRole);
        guest->begin(start, guestRole(start));
    }

    /// Frames of random lengths on both sides until both matches are over or one side failed.
    void play(int maxFrames = 200000)
    {
        std::mt19937 frames(host->random());
        for (int i = 0; i < maxFrames && !(host->match.over && guest->match.over); ++i)
        {
            if (host->lockstep->failed() || guest->lockstep->failed())
            {
                return;
            }
            host->frame(5 + static_cast<int>(frames() % 36));
            guest->frame(5 + static_cast<int>(frames() % 36));
            if (i % 64 == 0)
            {
                std::this_thread::yield();
            }
        }
    }
};
} // namespace

TEST(LockstepTest, WholeMatchesOverLoopbackEndAlikeOnBothSides)
{
    for (const unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u})
    {
        for (const int delayMs : {0, 200})
        {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", delay " + std::to_string(delayMs) + " ms");
            Friends friends(seed, delayMs, seed % 2 ? Role::Runner : Role::Builder);
            friends.play();
            ASSERT_FALSE(friends.host->lockstep->failed()) << friends.host->lockstep->problem();
            ASSERT_FALSE(friends.guest->lockstep->failed()) << friends.guest->lockstep->problem();
            ASSERT_TRUE(friends.host->match.over);
            ASSERT_TRUE(friends.guest->match.over);
            EXPECT_EQ(friends.host->match.digest(), friends.guest->match.digest());
            EXPECT_EQ(friends.host->match.winner, friends.guest->match.winner);
            EXPECT_GT(friends.host->match.turnNumber, 3);
            // Every turn but the last few (whose digests may still be on their way) was compared.
            EXPECT_GE(friends.guest->lockstep->comparedTurns(), friends.guest->match.turnNumber - 2);
        }
    }
}

TEST(LockstepTest, TheFollowingSideLetsTimePassOnlyAsFarAsTheOwnerSaid)
{
    Friends friends(9, 0, Role::Builder, 10000);
    Side& guest = *friends.guest; // the Runner, waiting through the Builder's first turn
    for (int i = 0; i < 50; ++i)
    {
        guest.session.update(0);
        guest.lockstep->update(100, guest.events);
    }
    EXPECT_EQ(guest.match.turnMs, 0);
    friends.host->lockstep->update(730, friends.host->events);
    friends.host->session.update(0);
    EXPECT_TRUE(test::pumpUntil(
        [&]
        {
            guest.session.update(1);
            guest.lockstep->update(100, guest.events);
        },
        [&] { return guest.match.turnMs != 0; }));
    EXPECT_EQ(guest.match.turnMs, 730);
    EXPECT_EQ(guest.match.turnNumber, 1);
    // Its own keys do nothing in the friend's turn.
    EXPECT_FALSE(guest.lockstep->act(Action::stepRight(), guest.events));
}

TEST(LockstepTest, MatchesThatDifferEndOnBothSidesAsOutOfStep)
{
    Friends friends(5, 0, Role::Runner);
    friends.guest->match.resetsLeft = 1;
    friends.play();
    for (Side* side : {friends.host.get(), friends.guest.get()})
    {
        side->session.update(0);
        side->lockstep->update(0, side->events);
        EXPECT_EQ(side->lockstep->problem(), "out of step with your friend");
    }
}

TEST(LockstepTest, AFriendsMessageOfTheWrongRoleOrTurnOrRefusedClosesTheLinkWithOneLine)
{
    struct Case
    {
        Message message;
        std::string line;
    };
    // The guest runs; the host builds and is in its first turn, its cursor in front of the Runner.
    const std::vector<Case> cases{
        {Message::act({1, 0}, Action::stepRight()),
         "connection closed: your friend sent an action of the Runner, whom this side plays"},
        {Message::act({2, 0}, Action::rotate(1)),
         "connection closed: your friend acted out of turn (turn 2, ms 0)"},
        {Message::act({1, 0}, Action::drop({0, 0})),
         "connection closed: the rules refuse your friend's action (turn 1, ms 0)"},
        {Message::clock({3, 0}), "connection closed: your friend's clock is out of turn (turn 3, ms 0)"},
        {Message::start(1, 0, Role::Runner, {}),
         "connection closed: refused a Start message during the match"},
    };
    for (const Case& c : cases)
    {
        Friends friends(11, 0, Role::Builder);
        Side& guest = *friends.guest;
        friends.host->session.send(c.message);
        friends.host->session.update(0);
        EXPECT_TRUE(test::pumpUntil(
            [&]
            {
                guest.session.update(1);
                guest.lockstep->update(1, guest.events);
            },
            [&] { return guest.lockstep->failed(); }));
        EXPECT_EQ(guest.lockstep->problem(), c.line);
        EXPECT_TRUE(test::pump(
            {&friends.host->session}, [&] { return !friends.host->session.isOpen(); }, 1));
        EXPECT_EQ(friends.host->session.problem(), "your friend's game refused a message from this one");
    }
}

TEST(LockstepTest, APauseOnEitherSideHoldsBothClocksAndNamesWhoPaused)
{
    Friends friends(13, 0, Role::Builder, 10000);
    Side& host = *friends.host; // the Builder, whose turn it is
    Side& guest = *friends.guest;
    const auto hear = [&](bool paused)
    {
        guest.lockstep->setPaused(paused);
        guest.session.update(0);
        EXPECT_TRUE(test::pumpUntil(
            [&]
            {
                host.session.update(1);
                host.lockstep->update(0, host.events);
            },
            [&] { return host.lockstep->paused() == paused; }));
        host.lockstep->update(500, host.events);
    };
    hear(true);
    EXPECT_EQ(host.lockstep->pausedBy(), Role::Runner);
    EXPECT_EQ(host.match.turnMs, 0);
    hear(false);
    EXPECT_EQ(host.match.turnMs, 500);
}
} // namespace orv_gd::net
