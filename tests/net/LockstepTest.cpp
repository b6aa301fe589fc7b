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

std::string at(Stamp stamp)
{
    return "turn " + std::to_string(stamp.turn) + ", ms " + std::to_string(stamp.ms);
}

/// Two links joined in memory: what one side sends the other receives, in order, at once.
class MemoryLink : public Link
{
public:
    MemoryLink* other = nullptr;
    std::deque<Message> inbox;

    void send(const Message& message) override
    {
        if (m_open && other)
        {
            other->inbox.push_back(message);
        }
    }
    bool receive(Message& message) override
    {
        if (inbox.empty())
        {
            return false;
        }
        message = inbox.front();
        inbox.pop_front();
        return true;
    }
    bool isOpen() const override { return m_open; }
    void close(ByeReason, const std::string& line) override
    {
        m_open = false;
        m_problem = line;
    }
    const std::string& problem() const override { return m_problem; }

private:
    bool m_open = true;
    std::string m_problem;
};

/// The Builder's game and the Runner's over plain data, both on the match of `start` with the
/// Runner walled in at its start (when asked), so each Runner turn ends the moment it begins.
struct Plain
{
    MemoryLink toBuilder, toRunner;
    rules::Match builderMatch, runnerMatch;
    std::unique_ptr<Lockstep> builder, runner;
    rules::Events events;

    explicit Plain(bool walledIn)
    {
        toBuilder.other = &toRunner;
        toRunner.other = &toBuilder;
        rules::MatchConfig config;
        config.turnLimitMs = 2000;
        const Message start = Message::start(3, 0, Role::Builder, config);
        for (rules::Match* m : {&builderMatch, &runnerMatch})
        {
            *m = startMatch(start);
            const rules::Cell at = m->runner.cell;
            if (walledIn)
            {
                m->field.set({at.x + 1, at.y}, rules::CellKind::Static);
                m->field.set({at.x, at.y - 1}, rules::CellKind::Static);
            }
        }
        builder = std::make_unique<Lockstep>(toBuilder, Role::Builder, builderMatch);
        runner = std::make_unique<Lockstep>(toRunner, Role::Runner, runnerMatch);
    }
    Stamp at(const rules::Match& m) const { return {m.turnNumber, m.turnMs}; }
};

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

TEST(LockstepTest, AWalledInRunnersTurnEndsAtNoTimeAndBothSidesPlayOnThroughIt)
{
    Plain p(true);
    // The Builder's turn runs out: the Runner's turn begins and ends at 0 ms, the Builder's begins.
    for (int i = 0; i < 20; ++i)
    {
        p.builder->update(100, p.events);
    }
    ASSERT_EQ(p.at(p.builderMatch), (Stamp{3, 0}));
    p.runner->update(16, p.events);
    ASSERT_FALSE(p.runner->failed()) << p.runner->problem();
    EXPECT_EQ(p.at(p.runnerMatch), (Stamp{3, 0}));
    EXPECT_EQ(p.runnerMatch.resetsLeft, 1);
    // An action early in the Builder's next turn lands at its stamp; the digests agree.
    p.builder->update(5, p.events);
    ASSERT_TRUE(p.builder->act(Action::rotate(1), p.events));
    p.runner->update(16, p.events);
    p.builder->update(0, p.events);
    ASSERT_FALSE(p.runner->failed()) << p.runner->problem();
    EXPECT_EQ(p.runnerMatch.digest(), p.builderMatch.digest());
    EXPECT_EQ(p.runner->takeRemoteActions().at(0).ms, 5);
    EXPECT_EQ(p.runner->comparedTurns(), 3);
    EXPECT_FALSE(p.builder->failed());
}

TEST(LockstepTest, TheClockOwnerPassesAtMostAFramesCapAndTheFollowerNeverMoreThanTheOwnerSaid)
{
    Plain p(false);
    p.builder->update(3000, p.events); // a frame stalled for 3 s
    EXPECT_EQ(p.at(p.builderMatch), (Stamp{1, Lockstep::MaxFrameMs}));
    p.runner->update(5000, p.events);
    EXPECT_EQ(p.at(p.runnerMatch), (Stamp{1, Lockstep::MaxFrameMs}));
    EXPECT_FALSE(p.runner->act(Action::stepRight(), p.events)) << "its keys do nothing in the friend's turn";
    EXPECT_EQ(p.events.back().why, rules::Refusal::NotYourTurn);
}

TEST(LockstepTest, AFriendsStampsAnywhereNeverSpendThisSidesOwnTurnNorRunPastATurnsLimit)
{
    std::mt19937 random(31);
    for (int round = 0; round < 300; ++round)
    {
        Plain p(round % 2 == 0);
        for (int ms = static_cast<int>(random() % 30) * 100; ms > 0; ms -= 100)
        {
            p.builder->update(100, p.events);
        }
        p.runner->update(16, p.events);
        const Stamp from = p.at(p.runnerMatch);
        const Stamp stamp{from.turn + static_cast<int>(random() % 4) - 1,
                          static_cast<int>(random() % 3 ? random() % 2500 : random() % 3600001)};
        p.toRunner.inbox.push_back(round % 3 ? Message::clock(stamp)
                                             : Message::act(stamp, Action::rotate(1)));
        p.runner->update(0, p.events);
        SCOPED_TRACE(at(from) + " then " + at(stamp));
        EXPECT_LT(p.runnerMatch.turnMs, 2000);
        EXPECT_TRUE(p.runnerMatch.turn == Role::Builder ||
                    p.runnerMatch.turnMs == (p.runnerMatch.turnNumber == from.turn ? from.ms : 0))
            << "its own time unspent";
        EXPECT_TRUE(p.runner->failed() || p.at(p.runnerMatch) == stamp);
        EXPECT_FALSE(p.runnerMatch.over);
    }
}

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
        Stamp left; ///< where the guest's match stands after: never in its own turn's time
    };
    // The guest runs; the host builds and is in its first turn (2 s), its cursor in front of the Runner.
    const std::vector<Case> cases{
        {Message::act({1, 0}, Action::stepRight()),
         "connection closed: your friend sent an action of the Runner, whom this side plays",
         {1, 0}},
        {Message::act({2, 0}, Action::rotate(1)),
         "connection closed: your friend acted out of turn (turn 2, ms 0)",
         {2, 0}},
        {Message::act({1, 2000}, Action::rotate(1)),
         "connection closed: your friend acted out of turn (turn 1, ms 2000)",
         {1, 0}},
        {Message::act({1, 0}, Action::drop({0, 0})),
         "connection closed: the rules refuse your friend's action (turn 1, ms 0)",
         {1, 0}},
        {Message::clock({3, 0}),
         "connection closed: your friend's clock is out of turn (turn 3, ms 0)",
         {2, 0}},
        {Message::clock({2, 500}),
         "connection closed: your friend's clock is out of turn (turn 2, ms 500)",
         {2, 0}},
        {Message::clock({1, 3600000}),
         "connection closed: your friend's clock is out of turn (turn 1, ms 3600000)",
         {1, 0}},
        {Message::start(1, 0, Role::Runner, {}),
         "connection closed: refused a Start message during the match",
         {1, 0}},
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
        EXPECT_EQ(guest.match.turnNumber, c.left.turn);
        EXPECT_EQ(guest.match.turnMs, c.left.ms);
        EXPECT_TRUE(test::pump(
            {&friends.host->session}, [&] { return !friends.host->session.isOpen(); }, 1));
        EXPECT_EQ(friends.host->session.problem(), "your friend's game refused a message from this one");
    }
}

TEST(LockstepTest, OnePauseHoldsBothSidesEitherSidesPressEndsItAndBothNameWhoDidIt)
{
    Friends friends(13, 0, Role::Builder, 10000);
    Side& host = *friends.host; // the Builder, whose turn it is
    Side& guest = *friends.guest;
    const auto press = [&](Side& by, Side& other, bool paused)
    {
        by.lockstep->setPaused(paused);
        by.session.update(0);
        EXPECT_TRUE(test::pumpUntil(
            [&]
            {
                other.session.update(1);
                other.lockstep->update(0, other.events);
            },
            [&] { return other.lockstep->paused() == paused; }));
    };
    press(guest, host, true);
    host.lockstep->update(100, host.events);
    EXPECT_EQ(host.match.turnMs, 0);
    EXPECT_TRUE(host.lockstep->pausedBy() == Role::Runner && guest.lockstep->pausedBy() == Role::Runner);
    press(host, guest, false); // the Builder's P ends the Runner's pause on both sides
    EXPECT_TRUE(host.lockstep->pausedBy() == Role::Builder && guest.lockstep->pausedBy() == Role::Builder);
    EXPECT_TRUE(host.lockstep->resumed() && guest.lockstep->resumed());
    host.lockstep->update(100, host.events);
    EXPECT_EQ(host.match.turnMs, 100);
    // Both press at once: both pause, and both name the same player.
    host.lockstep->setPaused(true);
    guest.lockstep->setPaused(true);
    EXPECT_TRUE(test::pumpUntil(
        [&]
        {
            for (Side* side : {&host, &guest})
            {
                side->session.update(1);
                side->lockstep->update(0, side->events);
            }
        },
        [&] { return host.lockstep->pausedBy() == guest.lockstep->pausedBy(); }, 200));
    EXPECT_TRUE(host.lockstep->paused() && guest.lockstep->paused());
}

TEST(LockstepTest, AFriendWhoOwnsTheTurnButMovesNoClockForItsLimitAndFiveSecondsIsStopped)
{
    Friends friends(17, 0, Role::Builder); // 2 s turns: the host builds and owns the first
    Side& host = *friends.host;
    Side& guest = *friends.guest;
    const auto wait = [&](int ms)
    {
        for (int t = 0; t < ms; t += 100)
        {
            host.session.update(100); // heartbeats, but no clock
            guest.session.update(100);
            guest.lockstep->update(100, guest.events);
        }
    };
    guest.lockstep->setPaused(true);
    wait(8000);
    EXPECT_FALSE(guest.lockstep->failed()) << "a paused match waits";
    guest.lockstep->setPaused(false);
    wait(6900);
    EXPECT_FALSE(guest.lockstep->failed()) << guest.lockstep->problem();
    wait(100);
    EXPECT_EQ(guest.lockstep->problem(), "your friend's game stopped its clock");
}
} // namespace orv_gd::net
