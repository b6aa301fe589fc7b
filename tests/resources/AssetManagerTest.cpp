#include "resources/AssetManager.h"

#include "resources/AssetCatalogue.h"
#include "support/TempWorkDir.h"

#include <gmock/gmock.h>

namespace orv_gd
{
using ::testing::StrEq;
using ::testing::ThrowsMessage;

TEST(AssetManagerTest, PathRuleLookupsReplacementErrorTextsAndTheCatalogueWithItsVolumes)
{
    test::TempWorkDir root;
    EXPECT_EQ(AssetManager::GetAssetPath("a/b.png"), root.path().string() + "/assets/a/b.png");
    std::filesystem::create_directory(root.path() / "build");
    std::filesystem::current_path(root.path() / "build"); // no "assets" here: the one beside is used
    EXPECT_EQ(AssetManager::GetAssetPath("a/b.png"), root.path().string() + "/build/../assets/a/b.png");

    AssetManager& assets = AssetManager::getInstance();
    static int run = 0; // the manager keeps what it loaded for the whole process: a new id per run
    const std::string picture = "picture" + std::to_string(++run);
    EXPECT_EQ(assets.GetTexture(picture), nullptr);
    assets.LoadTexture(picture, "icons/time.png");
    const std::shared_ptr<sf::Texture> old = assets.GetTexture(picture);
    EXPECT_EQ(assets.GetTexture(picture), old) << "every user shares the one texture";
    assets.LoadTexture(picture, "menu/start.png");
    EXPECT_EQ(assets.GetTexture(picture)->getSize(), sf::Vector2u(1920, 1080));
    EXPECT_EQ(old->getSize(), sf::Vector2u(128, 128)) << "an old holder keeps its texture";
    // Files that are missing (or damaged) throw naming the file as passed, and store nothing.
    const auto failed = [](const std::string& what)
    {
        return ThrowsMessage<std::runtime_error>(StrEq("AssetManager::" + what));
    };
    EXPECT_THAT([&] { assets.LoadTexture("t", "no.png"); }, failed("LoadTexture - Failed to load no.png"));
    EXPECT_THAT([&] { assets.LoadSound("s", "menu/start.png"); },
                failed("LoadSound - Failed to load menu/start.png"));
    EXPECT_THAT([&] { assets.LoadFont("f", "no.ttf"); }, failed("LoadFont - Failed to load no.ttf"));
    EXPECT_THAT([&] { assets.LoadMusic("m", "no.ogg"); }, failed("LoadMusic - Failed to load no.ogg"));
    EXPECT_TRUE(!assets.GetTexture("t") && !assets.GetFont("f") && !assets.GetMusic("m"));
    sf::Sound& unknown = assets.GetSound("s");
    unknown.play();
    EXPECT_EQ(unknown.getStatus(), sf::Sound::Stopped) << "a sound of an unknown id is silent";

    std::filesystem::current_path(root.path());
    AssetCatalogue::getInstance().loadAssets(); // the first and last pictures, the font and every sound
    EXPECT_TRUE(assets.GetTexture("reset") && assets.GetTexture("win_runner") && assets.GetFont("consolab"));
    const std::pair<const char*, float> volumes[] = {{"warp", 50.0f}, {"walk", 10.0f}, {"place", 25.0f},
                                                     {"move", 30.0f}, {"win", 50.0f},  {"misplace", 35.0f}};
    for (const auto& [id, volume] : volumes)
    {
        EXPECT_NE(assets.GetSound(id).getBuffer(), nullptr) << id;
        EXPECT_FLOAT_EQ(assets.GetSound(id).getVolume(), volume) << id;
    }
}
} // namespace orv_gd
