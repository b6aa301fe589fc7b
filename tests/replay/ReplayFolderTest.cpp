#include "replay/ReplayFolder.h"

#include "replay/ReplayFile.h"
#include "resources/SafeFile.h"
#include "rules/Rules.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace orv_gd
{
namespace
{
namespace fs = std::filesystem;

/// A log of a match just begun and left, as the match screen keeps one.
struct LeftMatch
{
    rules::Match match = rules::Rules::start(rules::Rng(7));
    rules::MatchLog log{rules::Rng(7), rules::MatchConfig{}};
    LeftMatch() { log.finish(match); }
};

/// 2026-12-07 14:03 and `second` seconds, local time.
std::time_t at(int second)
{
    std::tm parts{second, 3, 14, 7, 11, 2026 - 1900, 0, 0, -1, 0, nullptr};
    return std::mktime(&parts);
}
} // namespace

TEST(ReplayFolderTest, NamesSayWhenTheModeAndTheEndAndSortByTime)
{
    EXPECT_EQ(ReplayFolder::fileName(at(22), MatchMode::TwoPlayers, rules::ReplayFile::Result::RunnerWon),
              "2026-12-07_14-03-22_two-players_runner-won.tumbrelt-replay");
    EXPECT_EQ(ReplayFolder::fileName(at(5), MatchMode::ComputerBoth, rules::ReplayFile::Result::Left),
              "2026-12-07_14-03-05_computer-both_left.tumbrelt-replay");
    EXPECT_STREQ(ReplayFolder::modeName(MatchMode::ComputerBuilder), "computer-builder");
    EXPECT_STREQ(ReplayFolder::modeName(MatchMode::ComputerRunner), "computer-runner");
}

TEST(ReplayFolderTest, KeepsAMatchThroughATemporaryNameAndOnlyTheNewestFifty)
{
    test::TempWorkDir work(false);
    const ReplayFolder folder("replays");
    fs::create_directories("replays");
    std::ofstream("replays/notes.txt") << "the player's own file\n";
    std::ofstream("replays/1999-friend.tumbrelt-replay") << "a friend's, named by hand\n";
    LeftMatch left;
    std::string error;
    std::string path;
    for (int second = 0; second < 53; ++second)
    {
        ASSERT_TRUE(folder.save(left.log, left.match, MatchMode::ComputerRunner, at(second), error, &path))
            << error;
    }
    const std::vector<std::string> kept = folder.list();
    ASSERT_EQ(kept.size(), 50u);
    EXPECT_EQ(kept.front(), "2026-12-07_14-03-03_computer-runner_left.tumbrelt-replay");
    EXPECT_EQ(folder.newest(), "replays/2026-12-07_14-03-52_computer-runner_left.tumbrelt-replay");
    EXPECT_EQ(path, folder.newest());
    EXPECT_TRUE(fs::exists("replays/notes.txt") && fs::exists("replays/1999-friend.tumbrelt-replay"));
    EXPECT_EQ(std::distance(fs::directory_iterator("replays"), fs::directory_iterator()), 52);

    // A second match in the same second gets a name of its own, after the first.
    ASSERT_TRUE(folder.save(left.log, left.match, MatchMode::ComputerRunner, at(52), error, &path));
    EXPECT_EQ(path, "replays/2026-12-07_14-03-52_computer-runner_left_2.tumbrelt-replay");
    EXPECT_EQ(folder.newest(), path);

    rules::ReplayFile::Replay replay;
    ASSERT_TRUE(rules::ReplayFile::loadChecked(path, replay, error)) << error;
    EXPECT_EQ(replay.info.mode, "computer-runner");
}

TEST(ReplayFolderTest, AFolderThatCannotBeWrittenGivesOneLineAndLeavesNothing)
{
    test::TempWorkDir work(false);
    LeftMatch left;
    std::string error;
    std::ofstream("replays") << "a file where the folder would be\n";
    EXPECT_FALSE(ReplayFolder("replays").save(left.log, left.match, MatchMode::TwoPlayers, at(1), error));
    EXPECT_EQ(error.rfind("could not keep the replay: cannot make the folder replays: ", 0), 0u) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);

    // A folder whose path leaves no room for the file's name: the system's reason, and nothing kept.
    std::string deep(201, 'd');
    for (int depth = 1; depth < 20; ++depth)
    {
        deep += "/" + std::string(201, 'd');
    }
    fs::create_directories(deep);
    EXPECT_FALSE(ReplayFolder(deep).save(left.log, left.match, MatchMode::TwoPlayers, at(1), error));
    EXPECT_EQ(error, "could not keep the replay in " + deep + ": File name too long");
    EXPECT_TRUE(fs::is_empty(deep));
}

TEST(ReplayFolderTest, OnlyAStaleTemporaryOfAKeptFileIsRemoved)
{
    test::TempWorkDir folder;
    const std::vector<std::string> names{".a_left.tumbrelt-replay.a1B2c3",
                                         ".b_left.tumbrelt-replay.a1B2c4",
                                         ".c_left.tumbrelt-replay.a1B2c",
                                         "d_left.tumbrelt-replay",
                                         ".e.txt.a1B2c3",
                                         ".f.tumbrelt-replay.a1B-c3",
                                         ".g.tumbrelt-replayXa1B2c3"};
    for (const std::string& name : names)
    {
        std::ofstream(folder.path() / name) << "x";
        if (name[1] != 'b')
        {
            fs::last_write_time(folder.path() / name,
                                fs::file_time_type::clock::now() - std::chrono::minutes(2));
        }
    }
    SafeFile::removeStale(folder.path().string(), ReplayFolder::Extension);
    std::vector<bool> kept;
    for (const std::string& name : names)
    {
        kept.push_back(fs::exists(folder.path() / name));
    }
    EXPECT_EQ(kept, (std::vector<bool>{false, true, true, true, true, true, true}))
        << "the younger one may be a save under way";
}
} // namespace orv_gd
