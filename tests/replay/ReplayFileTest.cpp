#include "replay/ReplayFile.h"
#include "core/Settings.h"
#include "net/Protocol.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace orv_gd::rules
{
namespace
{
/// A match the game itself kept: two players, drops, rotations, steps, a jump and three resets.
const char* const Saved = "tests/replay/data/third-reset.tumbrelt-replay";

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
    {
        lines.push_back(line);
    }
    return lines;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
    {
        text += line + "\n";
    }
    return text;
}

/// The saved text with line `number` (1 for the first) replaced.
std::string withLine(int number, const std::string& line)
{
    std::vector<std::string> lines = linesOf(test::readFile(Saved));
    lines.at(static_cast<std::size_t>(number - 1)) = line;
    return joined(lines);
}

/// Parses and checks `text` as "m.txt"; the error line, or "" when it plays.
std::string problemOf(const std::string& text)
{
    ReplayFile::Replay replay;
    Match end;
    std::string error;
    const bool plays =
        ReplayFile::parse(text, "m.txt", replay, error) && ReplayFile::check(replay, "m.txt", end, error);
    return plays ? "" : error;
}
} // namespace

TEST(ReplayFileTest, AKeptMatchPlaysThroughTheRulesAndIsWrittenBackTheSame)
{
    ReplayFile::Replay replay;
    std::string error;
    ASSERT_TRUE(ReplayFile::load(Saved, replay, error)) << error;
    Match end;
    ASSERT_TRUE(ReplayFile::check(replay, Saved, end, error)) << error;
    EXPECT_EQ(ReplayFile::describe(end), "builder won: a third reset, in Runner turn 4");
    EXPECT_EQ(replay.log.getEntries().size(), 27u);
    EXPECT_EQ(replay.log.getEntries()[4].action, Action::drop({6, 8}));
    EXPECT_EQ(replay.log.getEntries()[2].action, Action::rotate(1));
    EXPECT_EQ(replay.info.mode, "two-players");
    EXPECT_EQ(replay.entryLines.front(), 8);
    EXPECT_TRUE(replay.log.getHints().empty()) << "a replay of format 1 has no hints and still checks";
    // Written again from what was read, it is the same text to the byte but for the format's version.
    EXPECT_EQ(ReplayFile::write(replay.log, end, replay.info), withLine(1, "tumbrelt-replay 2"));

    // Hints asked before the first action, between two and at the end of the match: each a line
    // of its own, read back in place, and the match checks as before.
    std::vector<std::string> lines = linesOf(withLine(1, "tumbrelt-replay 2"));
    lines.insert(lines.begin() + 33, "hint 8 75");
    lines.insert(lines.begin() + 11, "hint 1 1663");
    lines.insert(lines.begin() + 7, "hint 1 0");
    ASSERT_TRUE(ReplayFile::parse(joined(lines), "m.txt", replay, error)) << error;
    ASSERT_TRUE(ReplayFile::check(replay, "m.txt", end, error)) << error;
    ASSERT_EQ(replay.log.getHints().size(), 3u);
    EXPECT_EQ(replay.log.getHints()[1].turn, 1);
    EXPECT_EQ(replay.log.getHints()[1].ms, 1663);
    EXPECT_EQ(replay.log.getEntries().size(), 27u);
    EXPECT_EQ(ReplayFile::write(replay.log, end, replay.info), joined(lines));
}

TEST(ReplayFileTest, EveryActionReadsBackAsItWasWritten)
{
    for (const Action& action :
         {Action::stepLeft(), Action::stepRight(), Action::jump(), Action::endTurn(), Action::reset(),
          Action::moveCursor({-1, 1}), Action::rotate(3), Action::drop({14, 9})})
    {
        SCOPED_TRACE(ReplayFile::actionText(action));
        Action read = Action::endTurn();
        EXPECT_TRUE(ReplayFile::parseAction(ReplayFile::actionText(action), read));
        EXPECT_EQ(read, action);
    }
    Action read;
    for (const char* bad :
         {"", "drop 1", "drop 1 2 3", "drop a 2", "drop 1  2", "rotate", "hop", "drop 1 99999"})
    {
        EXPECT_FALSE(ReplayFile::parseAction(bad, read)) << bad;
    }
}

TEST(ReplayFileTest, DescribesEachWayAMatchEnds)
{
    Match match;
    match.turnNumber = 14;
    EXPECT_EQ(ReplayFile::describe(match), "left in turn 14");
    match.over = true;
    match.winner = Role::Runner;
    match.how = WinReason::ReachedFinish;
    EXPECT_EQ(ReplayFile::describe(match), "runner won in 7 Runner turns");
    EXPECT_EQ(ReplayFile::resultOf(match), ReplayFile::Result::RunnerWon);
    match.winner = Role::Builder;
    match.how = WinReason::OutOfTurns;
    EXPECT_EQ(ReplayFile::describe(match), "builder won: ran out of turns, in Runner turn 7");
    EXPECT_EQ(ReplayFile::resultOf(match), ReplayFile::Result::BuilderWon);
}

// Each way a file can be wrong gets one line naming the file and, where there is one, the line.
TEST(ReplayFileTest, EachBadFileGetsOneLineNamingTheFileAndTheLine)
{
    ReplayFile::Replay replay;
    std::string error;
    EXPECT_FALSE(ReplayFile::load("tests/replay/data/no-such.tumbrelt-replay", replay, error));
    EXPECT_EQ(error, "tests/replay/data/no-such.tumbrelt-replay: cannot open it: No such file or directory");

    const std::vector<std::string> lines = linesOf(test::readFile(Saved));
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "m.txt: empty, not a replay"},
        {"hello\n", "m.txt:1: not a replay (the first line is not \"tumbrelt-replay 2\")"},
        {"\x89PNG\r\n\x1a\n", "m.txt:1: not a replay (the first line is not \"tumbrelt-replay 2\")"},
        {withLine(1, "tumbrelt-replay 3"),
         "m.txt:1: a replay of format 3, newer than this game reads (2); a newer game plays it"},
        {withLine(12, "hint 1 10000"),
         "m.txt:12: not a hint line (\"hint TURN MILLISECOND\"): \"hint 1 10000\""},
        // Cut short: the end line and the actions before it are missing.
        {joined({lines.begin(), lines.begin() + 20}),
         "m.txt:20: the replay stops here, without its end line (cut short?)"},
        {joined({lines.begin(), lines.begin() + 5}),
         "m.txt:5: the replay stops here, without its end line (cut short?)"},
        // Turn 1 at 1663 ms: the ghost is at (6, 8), not (3, 4).
        {withLine(12, "1 1663 drop 3 4"), "m.txt:12: the rules refuse \"drop 3 4\" here"},
        {withLine(17, "3 283 jump"), "m.txt:17: the rules refuse \"jump\" here"},
        {withLine(12, "1 100 drop 6 8"), "m.txt:12: \"drop 6 8\" stamped before the action ahead of it"},
        {withLine(35, "end builder-won turn 8 ms 75 digest ed774a31c3b9a101"),
         "m.txt:35: the digest ed774a31c3b9a101 does not match the replayed match's ed774a31c3b9a100"},
        {withLine(35, "end runner-won turn 8 ms 75 digest ed774a31c3b9a100"),
         "m.txt:35: the match ends otherwise than recorded: runner-won recorded, builder-won when replayed "
         "(builder won: a third reset, in Runner turn 4)"},
        // Another level, on which every action happens to be accepted: the digest tells.
        {withLine(3, "generator 2 0"),
         "m.txt:35: the digest ed774a31c3b9a100 does not match the replayed match's 5b7b6d6c03c7da99"},
        {withLine(12, "1 1663 drop 6 8 9"),
         "m.txt:12: not an action of the game (\"TURN MILLISECOND ACTION\"): "
         "\"1 1663 drop 6 8 9\""},
        {withLine(12, "1 10000 drop 6 8"),
         "m.txt:12: not an action of the game (\"TURN MILLISECOND ACTION\"): "
         "\"1 10000 drop 6 8\""},
        {withLine(5, "size 50 x"), "m.txt:5: a \"size\" line this game cannot read: \"size 50 x\""},
        {withLine(3, "generator 1 -5"),
         "m.txt:3: a \"generator\" line this game cannot read: \"generator 1 -5\""},
        {withLine(5, "size 50 5"),
         "m.txt:8: the header is no match this game plays: a match of 50 x 5 cells and 10000 ms turns"},
        {withLine(6, "mode two-players"), "m.txt:6: a second \"mode\" line"},
        {withLine(4, "1 351 cursor 1 0"), "m.txt:4: the header has no \"mode\" line before this one"},
        {test::readFile(Saved) + "1 1 jump\n", "m.txt:36: more after the end line: \"1 1 jump\""},
        {withLine(20, std::string(300, 'x')),
         "m.txt:20: a line longer than any of a replay (300 characters)"},
        {withLine(20, std::string("3 966 cursor 1 0\0", 17)), "m.txt:20: binary data, not a replay"},
        {std::string(ReplayFile::MaxBytes + 1, '\n'), "m.txt: larger than a replay can be (1024 KB)"},
    };
    for (const auto& [text, expected] : cases)
    {
        EXPECT_EQ(problemOf(text), expected) << text.substr(0, 200);
    }
    // Line ends of another system read the same.
    std::string crlf = test::readFile(Saved);
    for (std::size_t at = crlf.find('\n'); at != std::string::npos; at = crlf.find('\n', at + 2))
    {
        crlf.insert(at, "\r");
    }
    EXPECT_EQ(problemOf(crlf), "");
}

// The file mangled at random, thousands of times: every case plays or is refused with one line
// naming the file, and nothing hangs or crashes (the sanitizer build runs it too).
TEST(ReplayFileTest, MangledReplaysPlayOrAreRefusedWithALine)
{
    const std::vector<std::string> original = linesOf(test::readFile(Saved));
    std::mt19937 random(20261207);
    const auto pick = [&](std::size_t size)
    {
        return std::uniform_int_distribution<std::size_t>(0, size - 1)(random);
    };
    int played = 0;
    int refused = 0;
    for (int round = 0; round < 3000; ++round)
    {
        std::vector<std::string> lines = original;
        for (int change = 0, changes = 1 + static_cast<int>(pick(3)); change < changes && !lines.empty();
             ++change)
        {
            const std::size_t at = pick(lines.size());
            switch (pick(5))
            {
            case 0: // a character flipped to another, printable or not
                if (!lines[at].empty())
                {
                    lines[at][pick(lines[at].size())] = static_cast<char>(pick(256));
                }
                break;
            case 1: // cut
                lines.resize(at);
                break;
            case 2: // a line twice
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), lines[at]);
                break;
            case 3: // two lines swapped
                std::swap(lines[at], lines[pick(lines.size())]);
                break;
            default: // a digit changed
                for (char& c : lines[at])
                {
                    if (c >= '0' && c <= '9' && pick(3) == 0)
                    {
                        c = static_cast<char>('0' + pick(10));
                    }
                }
                break;
            }
        }
        const std::string error = problemOf(joined(lines));
        if (error.empty())
        {
            ++played;
            continue;
        }
        ++refused;
        ASSERT_EQ(error.rfind("m.txt", 0), 0u) << error;
        ASSERT_EQ(error.find('\n'), std::string::npos) << error;
    }
    // Both kinds come up: the mangling is neither always harmless nor always fatal.
    EXPECT_GT(played, 20);
    EXPECT_GT(refused, 1000);
}

// Every match the game can play keeps a replay that checks: a friend's Start, a replay's header and
// the settings take exactly the numbers the rules play, up to each limit and not one past it.
TEST(ReplayFileTest, AFriendsStartAReplaysHeaderAndTheSettingsTakeTheSameMatches)
{
    const struct
    {
        MatchConfig config;
        std::uint64_t draws;
        bool plays;
    } rows[] = {
        {{12, 8, 1000}, 0, true},     {{200, 60, 600000}, 10000000, true}, {{11, 8, 1000}, 0, false},
        {{201, 60, 10000}, 0, false}, {{50, 7, 10000}, 0, false},          {{50, 61, 10000}, 0, false},
        {{50, 15, 999}, 0, false},    {{50, 15, 600001}, 0, false},        {{50, 15, 10000}, 10000001, false},
        {{50, 15, 601000}, 0, false}, {{50, 15, 1000}, 0, true},           {{50, 15, 600000}, 0, true},
        {{50, 15, 0}, 0, false},
    };
    for (const auto& row : rows)
    {
        const MatchConfig& c = row.config;
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + ", " +
                     std::to_string(c.turnLimitMs) + " ms, " + std::to_string(row.draws) + " draws");
        const std::vector<std::uint8_t> frame =
            net::encode(net::Message::start(1, row.draws, Role::Runner, c));
        net::Message start;
        std::string error;
        EXPECT_EQ(net::decode(frame.data() + 2, frame.size() - 2, start, error), row.plays) << error;

        const MatchLog log(Rng(1), c);
        std::string text = ReplayFile::write(log, Match(), {"1.0.0", "two-players", "today"});
        const std::size_t generator = text.find("generator 1 0");
        text.replace(generator, 13, "generator 1 " + std::to_string(row.draws));
        ReplayFile::Replay replay;
        EXPECT_EQ(ReplayFile::parse(text, "m.txt", replay, error), row.plays) << error;
        EXPECT_TRUE(!row.plays || replay.log.getConfig() == c);

        if (c.width == 50 && c.height == 15 && row.draws == 0 && c.turnLimitMs % 1000 == 0)
        {
            Settings settings;
            settings.turnSeconds = c.turnLimitMs / 1000;
            EXPECT_EQ(settings.matchConfig().turnLimitMs, row.plays ? c.turnLimitMs : 10000);
        }
    }
}
} // namespace orv_gd::rules
