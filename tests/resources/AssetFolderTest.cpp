#include "resources/AssetFolder.h"

#include "resources/AssetManager.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace orv_gd
{
namespace fs = std::filesystem;

// A checkout's working folder, the folder above it and an installed tree under one scratch root.
class AssetFolderTest : public ::testing::Test
{
protected:
    test::TempWorkDir m_root{false};
    const std::string m_work = (m_root.path() / "home" / "work").string();
    const std::string m_program = (m_root.path() / "usr" / "games").string();
    const std::string m_installed = m_program + "/../share/games/tumbrelt/assets";

    void SetUp() override
    {
        fs::create_directories(m_work);
        fs::create_directories(m_program);
    }
    static void makeFolder(const std::string& folder, const std::string& file = "")
    {
        fs::create_directories(folder);
        if (!file.empty())
        {
            std::ofstream(folder + "/" + file) << "x";
        }
    }
};

TEST_F(AssetFolderTest, TheWorkingFolderThenTheOneAboveThenTheInstalledOne)
{
    EXPECT_EQ(AssetFolder::places(m_work, m_program),
              (std::vector<std::string>{m_work + "/assets", m_work + "/../assets", m_installed}));
    EXPECT_EQ(AssetFolder::find(m_work, m_program), m_work + "/../assets") << "none there: the one above";
    makeFolder(m_installed);
    EXPECT_EQ(AssetFolder::find(m_work, m_program), m_installed);
    makeFolder(m_root.path().string() + "/home/assets");
    EXPECT_EQ(AssetFolder::find(m_work, m_program), m_work + "/../assets");
    makeFolder(m_work + "/assets");
    EXPECT_EQ(AssetFolder::find(m_work, m_program), m_work + "/assets");
    // Without a known executable only the checkout's two places are looked at.
    EXPECT_EQ(AssetFolder::places(m_work, ""),
              (std::vector<std::string>{m_work + "/assets", m_work + "/../assets"}));
}

TEST_F(AssetFolderTest, TheLoaderFindsTheFolderBesideItsOwnProgram)
{
    // The test program itself is the executable here; no asset folder is near the scratch root.
    const std::string program = AssetFolder::executableFolder();
    EXPECT_TRUE(fs::exists(program + "/tests_resources")) << program;
    fs::current_path(m_work);
    EXPECT_EQ(AssetManager::GetAssetPath("icons/reset.png"), m_work + "/../assets/icons/reset.png");
    EXPECT_EQ(AssetFolder::workingFolder(), m_work);
}

TEST_F(AssetFolderTest, TheErrorLineNamesEveryPlaceLookedAtAndTheSetUpCommand)
{
    const std::string what = "AssetManager::LoadFont - Failed to load consolab.ttf";
    EXPECT_EQ(AssetFolder::describeFailure(what, "consolab.ttf", "Unable to open file", m_work, m_program),
              what + " (no asset folder at " + m_work + "/assets, " + m_work + "/../assets or " +
                  m_installed + "): Unable to open file; in a checkout, run tools/setup.sh");
    // A folder found but the file missing: that folder, and the set-up command.
    makeFolder(m_installed);
    EXPECT_EQ(AssetFolder::describeFailure(what, "consolab.ttf", "", m_work, m_program),
              what + " (asset folder: " + m_installed + "/); in a checkout, run tools/setup.sh");
    // The file is there but damaged: the loader's reason; set-up would not help.
    makeFolder(m_work + "/assets", "consolab.ttf");
    EXPECT_EQ(AssetFolder::describeFailure(what, "consolab.ttf", "Bad font", m_work, m_program),
              what + " (asset folder: " + m_work + "/assets/): Bad font");
}
} // namespace orv_gd
