#include "screens/MainState.h"

#include "net/Lockstep.h"
#include "net/NetPlay.h"
#include "replay/ReplayFile.h"
#include "screens/NetworkScreens.h"
#include "support/Loopback.h"
#include "support/MatchFixture.h"
#include "support/RandomPlayer.h"
#include "support/TempWorkDir.h"

#include <filesystem>

namespace orv_gd
{
namespace
{
using rules::Action;
using rules::Role;

/// The friend's game without a screen, pressing no key of its own: its connection and, once it
/// begins the match, its rules in step with this side's.
struct Friend : test::RandomPlayer
{
    net::Session session{"1.0.0"};
    net::Message start;

    Friend() : RandomPlayer(0, [this](int ms) { session.update(ms); }) { pressing = false; }
    void begin() { RandomPlayer::begin(session, start, net::guestRole(start)); }
};

/// This game hosts (on the match screen, playing `hostRole`) and the friend's game joined it.
struct NetworkMatch
{
    test::TempWorkDir folder;
    std::shared_ptr<NetPlay> net = std::make_shared<NetPlay>("1.0.0");
    Friend buddy;
    std::unique_ptr<test::MatchFixture> m;

    explicit NetworkMatch(Role hostRole = Role::Runner)
    {
        const auto both = [&]
        {
            net->update(1);
            buddy.session.update(1);
        };
        EXPECT_TRUE(net->host(0) && buddy.session.join("127.0.0.1", net->getSession()->getPort()));
        EXPECT_TRUE(test::pumpUntil(both, [&] { return net->isOpen() && buddy.session.isOpen(); }));
        net->start(rules::Rng(), hostRole, MainState::configFor(10));
        EXPECT_TRUE(test::pumpUntil(both, [&] { return buddy.session.receive(buddy.start); }));
        m = std::make_unique<test::MatchFixture>(800, 600, MatchMode::NetworkHost, Settings{}, net);
        m->game().setReplayFolder((folder.path() / "replays").string());
    }

    /// Frames of both games, a sixtieth of a second each, until `done` (false when it never was).
    bool play(const std::function<bool()>& done, int frames = 600)
    {
        return test::pumpUntil(
            [&]
            {
                m->frame();
                buddy.frame(16);
            },
            done, frames);
    }
    static bool never() { return false; }
    void playFor(int frames) { play(never, frames); }
    MainState& screen() { return m->match(); }
    std::string banner() { return screen().getReplayBannerText().getString().toAnsiString(); }
    bool onMenu()
    {
        GameState* menu = m->states().findState("MenuState");
        return m->states().getPendingState() == menu || m->states().getCurrentState() == menu;
    }
    std::string menuMessage()
    {
        return static_cast<MenuState*>(m->states().findState("MenuState"))->getMessage();
    }
};
} // namespace

TEST(NetworkPlayTest, TheFriendsActionsShowAsLiveTheFriendsKeysDoNothingAndTheTwoMatchesStayOne)
{
    NetworkMatch n(Role::Runner);
    n.playFor(30);
    EXPECT_TRUE(n.screen().isWaitingForFriend());
    EXPECT_EQ(n.screen().getMatch().turnMs, 0) << "no time passes before the friend begins";
    n.buddy.begin();
    ASSERT_TRUE(n.play([&] { return !n.screen().isWaitingForFriend(); }));

    // The friend's Builder turn: this side's Builder keys drop nothing, its controller is not read.
    n.m->key(sf::Keyboard::Return);
    n.m->frame();
    EXPECT_FALSE(InputManager::getInstance().isKeyDown("BuilderPlace", 1));
    ControllerInput& pads = ControllerInput::getInstance();
    pads.setSimulated(true);
    pads.setConnected(0, true);
    pads.setConnected(1, true);
    EXPECT_TRUE(pads.isConnected(0) && !pads.isConnected(1)) << "the friend's controller is not heard";
    n.m->key(sf::Keyboard::Return, false);
    n.m->frame();
    n.m->tap({sf::Keyboard::Left, sf::Keyboard::Return});
    n.playFor(5);
    EXPECT_TRUE(n.screen().getLog().getEntries().empty());
    EXPECT_EQ(n.m->builder().getBlocksLeft(), 2);

    // The friend's drops come through the rules at their stamps and show on the screen.
    ASSERT_TRUE(n.m->grid().getTimedBlocks().empty());
    ASSERT_TRUE(n.buddy.act(Action::drop(n.buddy.match.ghost.cursor)));
    const int droppedAt = n.buddy.match.turnMs;
    ASSERT_TRUE(n.play([&] { return n.screen().getLog().getEntries().size() == 1; }));
    EXPECT_EQ(n.m->builder().getBlocksLeft(), 1);
    EXPECT_FALSE(n.m->grid().getTimedBlocks().empty()) << "the dropped block stands on this screen";
    EXPECT_EQ(n.screen().getLog().getEntries()[0].action.kind, Action::Kind::Drop);
    EXPECT_LE(n.screen().getLog().getEntries()[0].ms, droppedAt);
    for (int step = 0; step < 4; ++step)
    {
        ASSERT_TRUE(n.buddy.act(Action::moveCursor({1, 0})));
    }
    ASSERT_TRUE(n.buddy.act(Action::drop(n.buddy.match.ghost.cursor)));
    ASSERT_TRUE(n.play([&] { return n.screen().getCurrentStrategy() == StrategyType::Runner; }));

    // This side's Runner steps: the friend's match follows, and the digests agree turn by turn. No
    // hint for either side of a network match.
    n.m->tap({sf::Keyboard::F2});
    EXPECT_FALSE(n.screen().hintsAllowed() || n.screen().getHints().isWorking());
    EXPECT_TRUE(n.screen().getLog().getHints().empty());
    const sf::Vector2i before = n.m->runnerCell();
    n.m->tap({sf::Keyboard::D});
    EXPECT_EQ(n.m->runnerCell().x, before.x + 1);
    n.m->tap({sf::Keyboard::Q});
    ASSERT_TRUE(n.play([&] { return n.buddy.match.turn == Role::Builder; }));
    EXPECT_EQ(n.buddy.match.runner.cell.x, before.x + 1);
    EXPECT_FALSE(n.buddy.lockstep->failed()) << n.buddy.lockstep->problem();
    EXPECT_GE(n.buddy.lockstep->comparedTurns(), 3);
}

TEST(NetworkPlayTest, OnePauseHoldsBothMatchesEitherSidesPEndsItAndBothSayWhoDidIt)
{
    NetworkMatch n(Role::Builder);
    n.playFor(30);
    EXPECT_EQ(n.screen().getMatch().turnMs, 0) << "this side's own turn waits for the friend's game too";
    n.buddy.begin();
    ASSERT_TRUE(n.play([&] { return !n.screen().isWaitingForFriend(); }));
    n.playFor(10);
    n.buddy.lockstep->setPaused(true);
    ASSERT_TRUE(n.play([&] { return n.screen().getLockstep()->paused(); }));
    const int heldAt = n.screen().getMatch().turnMs;
    n.playFor(60);
    EXPECT_EQ(n.screen().getMatch().turnMs, heldAt) << "the friend's pause holds this match";
    EXPECT_EQ(n.screen().getHudText().getText(HudText::Paused), HudText::PausedText);
    n.m->tap({sf::Keyboard::Return});
    EXPECT_EQ(n.m->builder().getBlocksLeft(), 2) << "no drop in the friend's pause";
    EXPECT_EQ(n.banner(), "PAUSED by your friend (the Runner)");

    // This side's P ends the friend's pause on both, and both name who did.
    n.m->tap({sf::Keyboard::P});
    ASSERT_TRUE(n.play([&] { return !n.buddy.lockstep->paused(); }));
    EXPECT_EQ(n.buddy.lockstep->pausedBy(), Role::Builder);
    EXPECT_EQ(n.banner(), "RESUMED by you (the Builder)");
    ASSERT_TRUE(n.play([&] { return n.screen().getMatch().turnMs > heldAt; }));

    // This side's P pauses both; the friend's resumes both.
    n.m->tap({sf::Keyboard::P});
    ASSERT_TRUE(n.play([&] { return n.buddy.lockstep->paused(); }));
    EXPECT_EQ(n.banner(), "PAUSED by you (the Builder)");
    const int friendHeldAt = n.buddy.match.turnMs;
    n.playFor(60);
    EXPECT_EQ(n.buddy.match.turnMs, friendHeldAt);
    n.buddy.lockstep->setPaused(false);
    ASSERT_TRUE(n.play([&] { return !n.screen().getLockstep()->paused(); }));
    EXPECT_EQ(n.banner(), "RESUMED by your friend (the Runner)");
}

TEST(NetworkPlayTest, EachFaultEndsTheMatchWithItsLineOnTheMenuAndTheMatchIsKeptAsANetworkReplay)
{
    const auto stop = [](NetworkMatch& n)
    {
        n.buddy.lockstep.reset();
    };
    // A row: the fault, the line it ends with, the frames it may take, the ms of the friend's link a frame
    // after it. Silence: the friend's game stops answering. A stopped clock: it still beats its heart, but
    // owns the turn and says nothing else. Meanwhile this one plays on a third of a second a frame.
    const std::vector<std::tuple<const char*, std::function<void(NetworkMatch&)>, const char*, int, int>>
        cases{
            {"the friend leaves", [](NetworkMatch& n) { n.buddy.session.close(net::ByeReason::Quit, ""); },
             "your friend left the match", 600, 16},
            {"out of step", [](NetworkMatch& n) { n.buddy.match.turnsLeft -= 1; },
             "out of step with your friend", 1200, 16},
            {"an action out of turn",
             [](NetworkMatch& n) {
                 n.buddy.session.send(net::Message::act({7, 0}, Action::rotate(1)));
             },
             "connection closed: your friend acted out of turn (turn 7, ms 0)", 600, 16},
            {"silence", stop, "connection lost: no message from your friend for 5 s", 600, 0},
            {"a clock that stops", stop, "your friend's game stopped its clock", 600, 340},
        };
    for (const auto& [name, fault, line, frames, friendMs] : cases)
    {
        SCOPED_TRACE(name);
        NetworkMatch n(Role::Runner);
        n.buddy.begin();
        ASSERT_TRUE(n.play([&] { return !n.screen().isWaitingForFriend(); }));
        fault(n);
        const int ms = friendMs; // for the lambda below
        testing::internal::CaptureStderr();
        ASSERT_TRUE(test::pumpUntil(
            [&]
            {
                n.m->frame(n.buddy.lockstep ? test::MatchFixture::Step : 0.34f);
                n.buddy.frame(ms);
            },
            [&] { return n.onMenu(); }, frames));
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(n.menuMessage(), line);
        EXPECT_NE(err.find(std::string("tumbrelt: ") + line + "\n"), std::string::npos) << err;
        n.m->frame();
        const std::vector<std::filesystem::path> kept{
            std::filesystem::directory_iterator(n.folder.path() / "replays"), {}};
        ASSERT_EQ(kept.size(), 1u);
        rules::ReplayFile::Replay replay;
        rules::Match end;
        std::string error;
        ASSERT_TRUE(rules::ReplayFile::load(kept[0].string(), replay, error)) << error;
        EXPECT_EQ(replay.info.mode, "network-host");
        EXPECT_TRUE(rules::ReplayFile::check(replay, kept[0].string(), end, error)) << error;
    }
}
} // namespace orv_gd
