#include "core/CommandLine.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayFolder.h"
#include "rules/Rules.h"
#include "support/MatchFixture.h"
#include "support/TempWorkDir.h"

#include <SFML/System/Sleep.hpp>

#include <gtest/gtest.h>

namespace orv_gd
{
namespace
{
using test::MatchFixture;

/// A real match of the given mode and turn time in a fresh working folder, its replays kept in "replays".
struct KeptMatch
{
    test::TempWorkDir work;
    MatchFixture fixture;
    std::string describe;

    explicit KeptMatch(MatchMode mode, int turnSeconds = 10) : fixture(800, 600, mode, turns(turnSeconds))
    {
        fixture.game().setReplayFolder("replays");
    }
    static Settings turns(int seconds)
    {
        Settings s;
        s.turnSeconds = seconds;
        return s;
    }

    /// Leaves the match with Escape twice, as a player does; the switch happens in the next frame.
    void leave()
    {
        fixture.tap({sf::Keyboard::Escape}, 2);
        fixture.frame();
    }
    /// The one replay kept so far, loaded and checked through the rules alone; `describe` says how it ends.
    rules::ReplayFile::Replay kept()
    {
        const std::vector<std::string> names = ReplayFolder("replays").list();
        EXPECT_EQ(names.size(), 1u);
        rules::ReplayFile::Replay replay;
        std::string error;
        rules::Match end;
        EXPECT_TRUE(rules::ReplayFile::load(ReplayFolder("replays").newest(), replay, error) &&
                    rules::ReplayFile::check(replay, "kept", end, error))
            << error;
        describe = rules::ReplayFile::describe(end);
        return replay;
    }
    /// Watches `log` on the match screen at 8× until it ends or stands still; the match it shows.
    rules::Match watch(const rules::MatchLog& log)
    {
        fixture.game().watch(log, "MenuState");
        fixture.frame();
        EXPECT_NE(fixture.match().getReplay(), nullptr);
        fixture.tap({sf::Keyboard::Right}, 3);
        EXPECT_EQ(fixture.match().getReplay()->getSpeed(), 8);
        const ReplayDriver* driver = fixture.match().getReplay();
        for (int frame = 0; frame < 20000 && !driver->isAtEnd(fixture.match().getMatch()); ++frame)
        {
            // Neither role's keys count while watching.
            fixture.tap({sf::Keyboard::Return, sf::Keyboard::D, sf::Keyboard::Q});
        }
        EXPECT_EQ(driver->getProblem(), "");
        return fixture.match().getMatch();
    }
};

bool sameEntries(const rules::MatchLog& a, const rules::MatchLog& b)
{
    return std::equal(a.getEntries().begin(), a.getEntries().end(), b.getEntries().begin(),
                      b.getEntries().end(),
                      [](const auto& x, const auto& y)
                      { return x.turn == y.turn && x.ms == y.ms && x.action == y.action; });
}
} // namespace

// Two players: a match left with Escape is kept, checks, and plays again on the match screen to the
// moment it was left, without being kept a second time or moving the game's generator on. The next
// match starts afresh.
TEST(ReplayTest, ALeftMatchOfTwoPlayersIsKeptWatchedToWhereItWasLeftAndTheNextStartsAfresh)
{
    KeptMatch kept(MatchMode::TwoPlayers);
    MatchFixture& f = kept.fixture;
    const rules::Field first = f.match().getMatch().field;
    f.tap({sf::Keyboard::F2});
    f.tap({sf::Keyboard::Return});
    f.tap({sf::Keyboard::Right});
    f.tap({sf::Keyboard::Return});
    f.runFor(0.5f);
    f.tap({sf::Keyboard::D});
    f.tap({sf::Keyboard::Q});
    f.runFor(1.0f);
    const rules::Match played = f.match().getMatch();
    const rules::MatchLog log = f.match().getLog();
    kept.leave();
    ASSERT_EQ(played.turnNumber, 3);
    const rules::ReplayFile::Replay replay = kept.kept();
    EXPECT_EQ(kept.describe, "left in turn 3");
    EXPECT_EQ(replay.digest, played.digest());
    EXPECT_EQ(replay.info.mode, "two-players");
    EXPECT_TRUE(sameEntries(replay.log, log));
    EXPECT_EQ(ReplayFolder("replays").list().front().find("_two-players_left.tumbrelt-replay"), 19u);

    const rules::Rng next = f.match().getNextRng();
    const rules::Match watched = kept.watch(replay.log);
    EXPECT_EQ(watched.digest(), played.digest());
    EXPECT_FALSE(f.match().isMatchOver());
    f.tap({sf::Keyboard::Escape});
    f.frame();
    EXPECT_EQ(f.states().getCurrentState(), f.states().findState("MenuState"));
    EXPECT_EQ(ReplayFolder("replays").list().size(), 1u) << "a replay is not kept again";
    EXPECT_EQ(f.match().getNextRng(), next);

    // Played, not watched: its own level and clock, unpaused, no hint yet, a log kept on its own.
    f.states().setState("MainState");
    f.frame(0.0f);
    EXPECT_EQ(f.match().getReplay(), nullptr);
    EXPECT_FALSE(f.match().getMatch().field == first);
    EXPECT_EQ(f.match().getLog().getEntries().size() + f.match().getLog().getHints().size(), 0u);
    EXPECT_EQ(f.match().getMatch().blocksLeft, rules::Match::BlocksPerTurn);
    f.frame(0.05f);
    EXPECT_FALSE(f.match().isPaused());
    EXPECT_EQ(f.match().getMatch().turnMs, 50);
    kept.leave();
    ASSERT_EQ(ReplayFolder("replays").list().size(), 2u);
    rules::ReplayFile::Replay second;
    std::string error;
    ASSERT_TRUE(rules::ReplayFile::loadChecked(ReplayFolder("replays").newest(), second, error)) << error;
    EXPECT_EQ(second.log.getEntries().size(), 0u);
    EXPECT_EQ(second.log.getEndMs(), 50);
}

// The computer plays both roles to the end in 20 s turns; the kept match checks, and watched again it
// reaches the same end, ending on the end screen that offers it once more.
TEST(ReplayTest, TheComputersMatchIsKeptAndWatchedToTheSameEnd)
{
    KeptMatch kept(MatchMode::ComputerBoth, 20);
    for (int frame = 0; frame < 30000 && !kept.fixture.match().isMatchOver(); ++frame)
    {
        kept.fixture.frame(0.1f); // the longest frames the match screen lets pass whole
    }
    ASSERT_TRUE(kept.fixture.match().isMatchOver());
    const rules::Match played = kept.fixture.match().getMatch();
    kept.fixture.frame();
    const rules::ReplayFile::Replay replay = kept.kept();
    EXPECT_EQ(kept.describe, rules::ReplayFile::describe(played));
    EXPECT_EQ(replay.info.mode, "computer-both");
    EXPECT_EQ(replay.log.getConfig().turnLimitMs, 20000);
    auto* end = dynamic_cast<EndState*>(kept.fixture.states().findState("EndState"));
    ASSERT_TRUE(end->getLastMatch());
    EXPECT_TRUE(sameEntries(*end->getLastMatch(), replay.log));

    const rules::Match watched = kept.watch(replay.log);
    EXPECT_EQ(watched.digest(), played.digest());
    EXPECT_TRUE(kept.fixture.match().isMatchOver());
    kept.fixture.frame();
    EXPECT_EQ(kept.fixture.states().getCurrentState(), end);
    EXPECT_EQ(ReplayFolder("replays").list().size(), 1u);

    // Watched again from the end screen, the pause line says that Escape goes back there.
    kept.fixture.tap({sf::Keyboard::V});
    kept.fixture.tap({sf::Keyboard::P});
    ASSERT_NE(kept.fixture.match().getReplay(), nullptr);
    EXPECT_EQ(kept.fixture.match().getHudText().getText(HudText::Paused),
              "PAUSED: P to go on, Esc for the end screen");
    kept.fixture.tap({sf::Keyboard::Escape});
    EXPECT_EQ(kept.fixture.states().getCurrentState(), end);
}

// Against the computer, in either role: a few turns of 15 s (a person's Builder lets each run out),
// then Escape; the kept match checks.
TEST(ReplayTest, MatchesAgainstTheComputerAreKeptAndCheck)
{
    for (const MatchMode mode : {MatchMode::ComputerBuilder, MatchMode::ComputerRunner})
    {
        KeptMatch kept(mode, 15);
        for (int turn = 0; turn < 3; ++turn)
        {
            kept.fixture.giveTurnTo(mode == MatchMode::ComputerBuilder ? StrategyType::Builder
                                                                       : StrategyType::Runner);
        }
        kept.fixture.runFor(4.0f); // longer than the computer Runner thinks before its first key
        const rules::Match played = kept.fixture.match().getMatch();
        kept.leave();
        const rules::ReplayFile::Replay replay = kept.kept();
        EXPECT_EQ(replay.info.mode, ReplayFolder::modeName(mode));
        EXPECT_EQ(replay.digest, played.digest());
        EXPECT_EQ(replay.log.getConfig().turnLimitMs, 15000);
        EXPECT_GT(replay.log.getEntries().size(), 2u);
        EXPECT_EQ(kept.watch(replay.log).digest(), played.digest());
    }
}
TEST(ReplayTest, HintsAskedAreKeptLineByLineTheReplayChecksAndPlaysAndTheEndScreenCountsThem)
{
    KeptMatch kept(MatchMode::TwoPlayers);
    MatchFixture& f = kept.fixture;
    const auto askHint = [&f]
    {
        f.tap({sf::Keyboard::F2});
        for (int i = 0; i < 2000 && f.match().getHints().isWorking(); ++i)
        {
            sf::sleep(sf::milliseconds(1)); // worked out away from the frame
            f.frame();
        }
        ASSERT_TRUE(f.match().getHints().getShown().has_value());
    };
    askHint();
    EXPECT_EQ(f.match().getHints().getShown()->role, rules::Role::Builder);
    f.tap({sf::Keyboard::Return});
    askHint();
    f.tap({sf::Keyboard::Return});
    ASSERT_EQ(f.match().getCurrentStrategy(), StrategyType::Runner);
    askHint();
    EXPECT_EQ(f.match().getHints().getShown()->role, rules::Role::Runner);
    const rules::Match played = f.match().getMatch();
    ASSERT_TRUE(f.match().endMatch(StrategyType::Builder));
    EXPECT_NE(dynamic_cast<EndState*>(f.states().findState("EndState"))->getSummary().find(" with 3 hints"),
              std::string::npos);
    f.frame(); // the end screen: the match is kept

    const rules::ReplayFile::Replay replay = kept.kept();
    ASSERT_EQ(replay.log.getHints().size(), 3u);
    EXPECT_EQ(replay.log.getHints()[2].turn, 2);
    EXPECT_EQ(kept.watch(replay.log).digest(), played.digest());
}

// At each speed a frame passes that many times its time of the match, a stalled frame counting as the
// rules cap one; paused, none passes.
TEST(ReplayTest, AFramePassesTheSpeedTimesItsTimeOfTheMatchAndNoneWhilePaused)
{
    MatchFixture f(800, 600, MatchMode::TwoPlayers, {}, nullptr, "MenuState");
    rules::MatchConfig config;
    config.turnLimitMs = 20000;
    rules::MatchLog log(rules::Rng(7), config);
    log.finishAt(1, 19000, false); // left in the Builder's first turn
    f.game().watch(log, "MenuState");
    f.frame();
    ASSERT_NE(f.match().getReplay(), nullptr);
    const auto passes = [&f](float dt)
    {
        const int before = f.match().getMatch().turnMs;
        f.frame(dt);
        return f.match().getMatch().turnMs - before;
    };
    for (const int speed : {1, 2, 4, 8})
    {
        EXPECT_NEAR(passes(0.05f), speed * 50, 1) << speed;
        EXPECT_NEAR(passes(3.0f), speed * rules::Rules::MaxFrameMs, 1) << speed;
        f.tap({sf::Keyboard::P});
        EXPECT_EQ(passes(0.05f), 0) << speed;
        f.tap({sf::Keyboard::P, sf::Keyboard::Right}, 1, 0.0f);
    }
    f.tap({sf::Keyboard::Left}, 1, 0.0f);
    EXPECT_NEAR(passes(0.05f), 200, 1) << "8x stays 8x, then Left goes back to 4x";
    // The replay's turn lasts its own 20 s, not the 10 s this game's settings give: it stops where it
    // was left, 19 s into its first turn.
    f.runFor(5.0f, 0.1f);
    EXPECT_EQ(f.match().getMatch().turnNumber, 1);
    EXPECT_EQ(f.match().getMatch().turnMs, 19000);
}

// Each launch seeds its first match from the clock; --seed N pins it, and the match's log (the
// replay's "generator" line) keeps it.
TEST(ReplayTest, EachLaunchDealsAFreshFirstLevelAndSeedPinsIt)
{
    const auto firstMatch = [](std::vector<const char*> words)
    {
        words.insert(words.begin(), "tumbrelt");
        MatchFixture m(800, 600, MatchMode::TwoPlayers, {}, nullptr, "MenuState");
        m.game().setCommandLine(CommandLine::parse(static_cast<int>(words.size()), words.data()));
        m.states().registerState("MainState", std::make_shared<MainState>(&m.states(), &m.game()));
        m.states().setState("MainState");
        m.frame();
        return std::pair{m.match().getMatch().field, m.match().getLog().getStart()};
    };
    const auto [fresh, freshStart] = firstMatch({});
    EXPECT_FALSE(fresh == firstMatch({}).first) << "two launches, two levels";
    const auto [pinned, pinnedStart] = firstMatch({"--seed", "7"});
    EXPECT_TRUE(pinned == firstMatch({"--seed=7"}).first);
    EXPECT_EQ(pinnedStart, rules::Rng(7));
    EXPECT_FALSE(pinned == fresh);
}
} // namespace orv_gd
