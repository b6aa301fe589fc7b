#include "net/Lockstep.h"

#include "net/Session.h"
#include "support/Loopback.h"
#include "support/RandomPlayer.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <random>
#include <tuple>

namespace orv_gd::net
{
namespace
{
using rules::Action;
using rules::Role;

/// The session with every message it sends held back `delayMs` of update time, as a slow network would.
class DelayedLink : public Link
{
    Session& m_session;
    int m_delayMs;
    long m_nowMs = 0;
    std::deque<std::pair<long, Message>> m_held;

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
};

Stamp stampOf(const rules::Match& match)
{
    return {match.turnNumber, match.turnMs};
}

/// One game over a loopback session, behind a delay when asked.
struct Side : test::RandomPlayer
{
    Session session{"1.0.0"};
    DelayedLink delayed;
    Link& link;

    Side(int delayMs, unsigned seed)
        : RandomPlayer(seed, [this](int ms) { &link == &delayed ? delayed.update(ms) : session.update(ms); }),
          delayed(session, delayMs), link(delayMs > 0 ? static_cast<Link&>(delayed) : session)
    {
    }
    /// Session and lockstep frames of `ms` until `done`.
    bool until(const std::function<bool()>& done, int ms = 1)
    {
        return test::pumpUntil(
            [&]
            {
                session.update(1);
                lockstep->update(ms, events);
            },
            done);
    }
};

struct Friends
{
    std::unique_ptr<Side> host, guest;

    Friends(unsigned seed, int delayMs, Role hostRole, int turnLimitMs = 2000)
        : host(std::make_unique<Side>(delayMs, seed)), guest(std::make_unique<Side>(delayMs, seed * 7 + 1))
    {
        EXPECT_TRUE(test::connect(host->session, guest->session));
        rules::MatchConfig config;
        config.turnLimitMs = turnLimitMs;
        const Message sent = Message::start(seed, seed % 5, hostRole, config);
        host->session.send(sent);
        host->session.update(0);
        Message start;
        EXPECT_TRUE(test::pump(
            {&guest->session}, [&] { return guest->session.receive(start); }, 1));
        host->begin(host->link, sent, hostRole);
        guest->begin(guest->link, start, guestRole(start));
    }
};

/// Walls the Runner in at its start on both sides, so each Runner turn ends the moment it begins.
void wallIn(Friends& friends)
{
    for (Side* side : {friends.host.get(), friends.guest.get()})
    {
        const rules::Cell at = side->match.runner.cell;
        side->match.field.set({at.x + 1, at.y}, rules::CellKind::Static);
        side->match.field.set({at.x, at.y - 1}, rules::CellKind::Static);
    }
}
} // namespace

// The host builds and owns the first turn; the guest runs and follows it. A follower's frames pass no
// time of their own here, so its match stands wherever the friend's clock put it.
TEST(LockstepTest, TheOwnersClockPassesAFramesCapAtMostAndAWalledInRunnersTurnEndsAtNoTime)
{
    Friends friends(3, 0, Role::Builder);
    wallIn(friends);
    Side& builder = *friends.host;
    Side& runner = *friends.guest;
    builder.lockstep->update(3000, builder.events); // a frame stalled for 3 s
    builder.session.update(0);
    EXPECT_EQ(stampOf(builder.match), (Stamp{1, Lockstep::MaxFrameMs}));
    EXPECT_TRUE(runner.until([&] { return stampOf(runner.match) == Stamp{1, Lockstep::MaxFrameMs}; }, 0));
    runner.lockstep->update(5000, runner.events);
    EXPECT_EQ(stampOf(runner.match), (Stamp{1, Lockstep::MaxFrameMs})) << "never more than the owner said";
    EXPECT_FALSE(runner.lockstep->act(Action::stepRight(), runner.events))
        << "its keys do nothing in the friend's turn";
    EXPECT_EQ(runner.events.back().why, rules::Refusal::NotYourTurn);
    // The Builder's turn runs out: the Runner's turn begins and ends at 0 ms, the Builder's begins.
    for (int i = 0; i < 19; ++i)
    {
        builder.lockstep->update(100, builder.events);
    }
    builder.session.update(0);
    ASSERT_EQ(stampOf(builder.match), (Stamp{3, 0}));
    ASSERT_TRUE(runner.until([&] { return stampOf(runner.match) == Stamp{3, 0}; }, 16));
    ASSERT_FALSE(runner.lockstep->failed()) << runner.lockstep->problem();
    EXPECT_EQ(runner.match.resetsLeft, 1);
    // An action early in the Builder's next turn lands at its stamp; the digests agree.
    builder.lockstep->update(5, builder.events);
    ASSERT_TRUE(builder.lockstep->act(Action::rotate(1), builder.events));
    builder.session.update(0);
    ASSERT_TRUE(runner.until([&] { return runner.match.digest() == builder.match.digest(); }, 16));
    ASSERT_FALSE(runner.lockstep->failed()) << runner.lockstep->problem();
    EXPECT_EQ(runner.lockstep->takeRemoteActions().at(0).ms, 5);
    EXPECT_EQ(runner.lockstep->comparedTurns(), 3);
    EXPECT_FALSE(builder.lockstep->failed());
}

TEST(LockstepTest, AFriendsStampsAnywhereNeverSpendThisSidesOwnTurnNorRunPastATurnsLimit)
{
    std::mt19937 random(31);
    for (int round = 0; round < 300; ++round)
    {
        Friends friends(3, 0, Role::Builder);
        if (round % 2 == 0)
        {
            wallIn(friends);
        }
        Side& builder = *friends.host;
        Side& runner = *friends.guest;
        for (int ms = static_cast<int>(random() % 30) * 100; ms > 0; ms -= 100)
        {
            builder.lockstep->update(100, builder.events);
        }
        builder.session.update(0);
        ASSERT_TRUE(runner.until([&] { return stampOf(runner.match) == stampOf(builder.match); }, 0));
        const Stamp from = stampOf(runner.match);
        const Stamp stamp{from.turn + static_cast<int>(random() % 4) - 1,
                          static_cast<int>(random() % 3 ? random() % 2500 : random() % 3600001)};
        builder.session.send(round % 3 ? Message::clock(stamp) : Message::act(stamp, Action::rotate(1)));
        builder.session.update(0);
        SCOPED_TRACE(testing::Message() << "turn " << from.turn << ", ms " << from.ms << " then turn "
                                        << stamp.turn << ", ms " << stamp.ms);
        EXPECT_TRUE(
            runner.until([&] { return runner.lockstep->failed() || stampOf(runner.match) == stamp; }, 0));
        EXPECT_LT(runner.match.turnMs, 2000);
        EXPECT_TRUE(runner.match.turn == Role::Builder ||
                    runner.match.turnMs == (runner.match.turnNumber == from.turn ? from.ms : 0))
            << "its own time unspent";
        EXPECT_FALSE(runner.match.over);
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
            test::playOut(*friends.host, *friends.guest);
            test::expectSameEnd(*friends.host, *friends.guest);
        }
    }
}

TEST(LockstepTest, MatchesThatDifferEndOnBothSidesAsOutOfStep)
{
    Friends friends(5, 0, Role::Runner);
    friends.guest->match.resetsLeft = 1;
    test::playOut(*friends.host, *friends.guest);
    for (Side* side : {friends.host.get(), friends.guest.get()})
    {
        side->session.update(0);
        side->lockstep->update(0, side->events);
        EXPECT_EQ(side->lockstep->problem(), "out of step with your friend");
    }
}

TEST(LockstepTest, AFriendsMessageOfTheWrongRoleOrTurnOrRefusedClosesTheLinkWithOneLine)
{
    // The guest runs; the host builds and is in its first turn (2 s), its cursor in front of the Runner.
    // A row: where the guest's match stands after (never in its own turn's time), what the host sends, and
    // the guest's line after "connection closed: ".
    const Action rotate = Action::rotate(1);
    const std::vector<std::tuple<Stamp, Message, std::string>> cases{
        {{1, 0},
         Message::act({1, 0}, Action::stepRight()),
         "your friend sent an action of the Runner, whom this side plays"},
        {{2, 0}, Message::act({2, 0}, rotate), "your friend acted out of turn (turn 2, ms 0)"},
        {{1, 0}, Message::act({1, 2000}, rotate), "your friend acted out of turn (turn 1, ms 2000)"},
        {{1, 0},
         Message::act({1, 0}, Action::drop({0, 0})),
         "the rules refuse your friend's action (turn 1, ms 0)"},
        {{2, 0}, Message::clock({3, 0}), "your friend's clock is out of turn (turn 3, ms 0)"},
        {{2, 0}, Message::clock({2, 500}), "your friend's clock is out of turn (turn 2, ms 500)"},
        {{1, 0}, Message::clock({1, 3600000}), "your friend's clock is out of turn (turn 1, ms 3600000)"},
        {{1, 0}, Message::start(1, 0, Role::Runner, {}), "refused a Start message during the match"},
    };
    for (const auto& [left, message, line] : cases)
    {
        SCOPED_TRACE(line);
        Friends friends(11, 0, Role::Builder);
        Side& guest = *friends.guest;
        friends.host->session.send(message);
        friends.host->session.update(0);
        EXPECT_TRUE(guest.until([&] { return guest.lockstep->failed(); }));
        EXPECT_EQ(guest.lockstep->problem(), "connection closed: " + line);
        EXPECT_EQ(stampOf(guest.match), left);
        EXPECT_TRUE(test::pump(
            {&friends.host->session}, [&] { return !friends.host->session.isOpen(); }, 1));
        EXPECT_EQ(friends.host->session.problem(), "your friend's game refused a message from this one");
    }
}

// One side's pause holding both and the other's press ending it: NetworkPlayTest, through the screens.
TEST(LockstepTest, BothPressingPauseAtOnceBothPauseAndNameTheSamePlayerAndOnePressResumesBoth)
{
    Friends friends(13, 0, Role::Builder, 10000);
    Side& host = *friends.host;
    Side& guest = *friends.guest;
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
    host.lockstep->setPaused(false); // and one press resumes both, both saying so
    host.session.update(0);
    EXPECT_TRUE(guest.until([&] { return !guest.lockstep->paused(); }, 0));
    EXPECT_TRUE(host.lockstep->resumed() && guest.lockstep->resumed());
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
