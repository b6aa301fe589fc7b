#include "core/Installation.h"

#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace orv_gd
{
namespace fs = std::filesystem;

TEST(InstallationTest, InstalledMeansAGamesFolderWithTheDataBesideIt)
{
    test::TempWorkDir root(false);
    const fs::path prefix = root.path() / "usr";
    fs::create_directories(prefix / "games");
    fs::create_directories(root.path() / "build");
    EXPECT_FALSE(Installation::isInstalled((prefix / "games").string())) << "no data beside it";
    fs::create_directories(prefix / "share" / "games" / "tumbrelt" / "assets");
    fs::create_directories(root.path() / "share" / "games" / "tumbrelt");
    EXPECT_TRUE(Installation::isInstalled((prefix / "games").string()));
    EXPECT_FALSE(Installation::isInstalled((root.path() / "build").string())) << "a build folder";
    EXPECT_FALSE(Installation::isInstalled(""));
}

TEST(InstallationTest, StateFolderFollowsXdgStateHomeElseHome)
{
    EXPECT_EQ(Installation::stateFolder("/x/state", "/home/p"), "/x/state/tumbrelt");
    EXPECT_EQ(Installation::stateFolder(nullptr, "/home/p"), "/home/p/.local/state/tumbrelt");
    EXPECT_EQ(Installation::stateFolder("", "/home/p"), "/home/p/.local/state/tumbrelt");
    EXPECT_EQ(Installation::stateFolder("relative/state", "/home/p"), "/home/p/.local/state/tumbrelt");
    EXPECT_EQ(Installation::stateFolder(nullptr, nullptr), "");
    EXPECT_EQ(Installation::stateFolder(nullptr, "home"), "");
}

TEST(InstallationTest, EnterCreatesTheMissingFolderAndWorksThere)
{
    test::TempWorkDir root(false);
    const fs::path folder = root.path() / "home" / ".local" / "state" / "tumbrelt";
    EXPECT_EQ(Installation::enter(folder.string()), "");
    EXPECT_EQ(fs::current_path(), folder);
    EXPECT_EQ(Installation::enter(folder.string()), "") << "an existing folder is used as it is";

    fs::current_path(root.path());
    std::ofstream(root.path() / "file") << "x";
    const std::string file = (root.path() / "file" / "tumbrelt").string();
    const std::string problem = Installation::enter(file);
    EXPECT_EQ(problem.rfind("cannot use the state folder " + file + ": ", 0), 0u) << problem;
    EXPECT_EQ(fs::current_path(), root.path());
    EXPECT_NE(Installation::enter("").find("neither XDG_STATE_HOME nor HOME"), std::string::npos);
}

TEST(InstallationTest, TheInstalledGameTracesOnlyWhenAsked)
{
    EXPECT_TRUE(Installation::writesTrace(false, false, nullptr)) << "from a checkout, always";
    EXPECT_FALSE(Installation::writesTrace(true, false, nullptr));
    EXPECT_FALSE(Installation::writesTrace(true, false, "0"));
    EXPECT_FALSE(Installation::writesTrace(true, false, ""));
    EXPECT_TRUE(Installation::writesTrace(true, false, "1"));
    EXPECT_TRUE(Installation::writesTrace(true, true, nullptr));
}
} // namespace orv_gd
