#include "resources/AssetManager.h"

#include "resources/AssetCatalogue.h"
#include "support/PlainWorkDir.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

namespace orv_gd
{
namespace
{
/// The message of the runtime_error the call throws, or "" when it throws nothing.
std::string thrownMessage(const std::function<void()>& call)
{
    try
    {
        call();
    }
    catch (const std::runtime_error& error)
    {
        return error.what();
    }
    return "";
}

std::string workingDirectory()
{
    return std::filesystem::current_path().string();
}
} // namespace

TEST(AssetManagerTest, FindsTheAssetFolderInTheWorkingDirectoryOrOneLevelUp)
{
    {
        test::TempWorkDir withAssets;
        EXPECT_EQ(AssetManager::GetAssetPath("icons/reset.png"),
                  workingDirectory() + "/assets/icons/reset.png");
    }
    {
        test::PlainWorkDir withoutAssets;
        // Not checked for existence: a build folder next to the asset folder is the usual case.
        EXPECT_EQ(AssetManager::GetAssetPath("icons/reset.png"),
                  workingDirectory() + "/../assets/icons/reset.png");
        EXPECT_EQ(AssetManager::GetAssetPath("consolab.ttf"), workingDirectory() + "/../assets/consolab.ttf");
    }
}

TEST(AssetManagerTest, ReachesTheAssetsFromABuildFolderNextToThem)
{
    test::PlainWorkDir root;
    root.copyAsset("icons/time.png", "assets");
    std::filesystem::create_directory(root.path() / "build");
    std::filesystem::current_path(root.path() / "build");

    AssetManager& assets = AssetManager::getInstance();
    assets.LoadTexture("time", "icons/time.png");
    ASSERT_NE(assets.GetTexture("time"), nullptr);
    EXPECT_EQ(assets.GetTexture("time")->getSize(), sf::Vector2u(128, 128));
}

TEST(AssetManagerTest, HandsOutLoadedAssetsByIdAndNothingForUnknownIds)
{
    test::TempWorkDir workDir;
    AssetManager& assets = AssetManager::getInstance();
    EXPECT_EQ(assets.GetTexture("reset"), nullptr);
    EXPECT_EQ(assets.GetFont("consolab"), nullptr);
    EXPECT_EQ(assets.GetMusic("theme"), nullptr);

    assets.LoadTexture("reset", "icons/reset.png");
    assets.LoadFont("consolab", "consolab.ttf");
    assets.LoadMusic("theme", "sounds/win.wav");

    const std::shared_ptr<sf::Texture> texture = assets.GetTexture("reset");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->getSize(), sf::Vector2u(128, 128));
    EXPECT_EQ(assets.GetTexture("reset"), texture) << "every user shares the one texture";
    EXPECT_FALSE(texture->isSmooth());
    EXPECT_FALSE(texture->isRepeated());
    ASSERT_NE(assets.GetFont("consolab"), nullptr);
    EXPECT_EQ(assets.GetFont("consolab")->getInfo().family, "DejaVu Sans Mono");
    ASSERT_NE(assets.GetMusic("theme"), nullptr);
    EXPECT_GT(assets.GetMusic("theme")->getDuration().asSeconds(), 1.0f);
    EXPECT_EQ(assets.GetTexture("time"), nullptr);
}

TEST(AssetManagerTest, LoadingAnIdAgainReplacesItWhileOldHoldersKeepTheirTexture)
{
    test::TempWorkDir workDir;
    AssetManager& assets = AssetManager::getInstance();
    assets.LoadTexture("picture", "icons/reset.png");
    const std::shared_ptr<sf::Texture> old = assets.GetTexture("picture");

    assets.LoadTexture("picture", "menu/start.png");
    ASSERT_NE(assets.GetTexture("picture"), old);
    EXPECT_EQ(assets.GetTexture("picture")->getSize(), sf::Vector2u(1920, 1080));
    EXPECT_EQ(old->getSize(), sf::Vector2u(128, 128));
}

TEST(AssetManagerTest, SoundsAreSharedPerIdAndSurviveReloading)
{
    test::TempWorkDir workDir;
    AssetManager& assets = AssetManager::getInstance();
    assets.LoadSound("walk", "sounds/walk.wav");
    sf::Sound& walk = assets.GetSound("walk");
    EXPECT_EQ(&assets.GetSound("walk"), &walk);
    ASSERT_NE(walk.getBuffer(), nullptr);
    EXPECT_EQ(walk.getBuffer()->getSampleRate(), 44100u);
    EXPECT_EQ(walk.getBuffer()->getChannelCount(), 1u);

    // Loading other ids must not move the stored sound or its buffer.
    const sf::SoundBuffer* walkBuffer = walk.getBuffer();
    assets.LoadSound("warp", "sounds/warp.wav");
    assets.LoadSound("place", "sounds/place.wav");
    EXPECT_EQ(&assets.GetSound("walk"), &walk);
    EXPECT_EQ(walk.getBuffer(), walkBuffer);

    // Loading the same id again attaches the stored sound to the new samples.
    assets.LoadSound("walk", "sounds/win.wav");
    ASSERT_NE(walk.getBuffer(), nullptr);
    EXPECT_GT(walk.getBuffer()->getDuration().asSeconds(), 1.0f);
    walk.play();
    EXPECT_EQ(walk.getStatus(), sf::Sound::Playing);
}

TEST(AssetManagerTest, ASoundOfAnUnknownIdIsSilent)
{
    test::TempWorkDir workDir;
    sf::Sound& sound = AssetManager::getInstance().GetSound("never loaded");
    EXPECT_EQ(sound.getBuffer(), nullptr);
    sound.play();
    EXPECT_EQ(sound.getStatus(), sf::Sound::Stopped);
}

TEST(AssetManagerTest, AFailedLoadThrowsNamingTheFileAsPassedAndStoresNothing)
{
    test::TempWorkDir workDir;
    AssetManager& assets = AssetManager::getInstance();
    EXPECT_EQ(thrownMessage([&] { assets.LoadTexture("reset", "icons/missing.png"); }),
              "AssetManager::LoadTexture - Failed to load icons/missing.png");
    EXPECT_EQ(thrownMessage([&] { assets.LoadSound("walk", "sounds/missing.wav"); }),
              "AssetManager::LoadSound - Failed to load sounds/missing.wav");
    EXPECT_EQ(thrownMessage([&] { assets.LoadFont("consolab", "missing.ttf"); }),
              "AssetManager::LoadFont - Failed to load missing.ttf");
    EXPECT_EQ(thrownMessage([&] { assets.LoadMusic("theme", "sounds/missing.ogg"); }),
              "AssetManager::LoadMusic - Failed to load sounds/missing.ogg");

    EXPECT_EQ(assets.GetTexture("reset"), nullptr);
    EXPECT_EQ(assets.GetSound("walk").getBuffer(), nullptr);
    EXPECT_EQ(assets.GetFont("consolab"), nullptr);
    EXPECT_EQ(assets.GetMusic("theme"), nullptr);
}

TEST(AssetManagerTest, DamagedFilesFailToLoadInsteadOfCrashing)
{
    test::PlainWorkDir workDir;
    workDir.copyAsset("menu/start.png", "assets", 4000);
    workDir.copyAsset("icons/reset.png", "assets", 60);
    workDir.write("assets/sounds/walk.wav", "RIFF this is a text file, not audio\n");
    workDir.write("assets/sounds/empty.wav", "");
    workDir.write("assets/consolab.ttf", std::string(512, '\x7f'));
    std::filesystem::create_directories(workDir.path() / "assets/icons/folder.png");

    AssetManager& assets = AssetManager::getInstance();
    EXPECT_EQ(thrownMessage([&] { assets.LoadTexture("start", "menu/start.png"); }),
              "AssetManager::LoadTexture - Failed to load menu/start.png");
    EXPECT_EQ(thrownMessage([&] { assets.LoadTexture("reset", "icons/reset.png"); }),
              "AssetManager::LoadTexture - Failed to load icons/reset.png");
    EXPECT_EQ(thrownMessage([&] { assets.LoadTexture("folder", "icons/folder.png"); }),
              "AssetManager::LoadTexture - Failed to load icons/folder.png");
    EXPECT_EQ(thrownMessage([&] { assets.LoadSound("walk", "sounds/walk.wav"); }),
              "AssetManager::LoadSound - Failed to load sounds/walk.wav");
    EXPECT_EQ(thrownMessage([&] { assets.LoadSound("empty", "sounds/empty.wav"); }),
              "AssetManager::LoadSound - Failed to load sounds/empty.wav");
    EXPECT_EQ(thrownMessage([&] { assets.LoadFont("consolab", "consolab.ttf"); }),
              "AssetManager::LoadFont - Failed to load consolab.ttf");
}

TEST(AssetCatalogueTest, LoadsEveryAssetWithItsVolume)
{
    test::TempWorkDir workDir;
    AssetCatalogue::getInstance().loadAssets();
    AssetManager& assets = AssetManager::getInstance();

    for (const char* id : {"reset", "time", "x-movement", "y-movement", "turns"})
    {
        ASSERT_NE(assets.GetTexture(id), nullptr) << id;
        EXPECT_EQ(assets.GetTexture(id)->getSize(), sf::Vector2u(128, 128)) << id;
    }
    for (const char* id : {"start", "tutorial1", "tutorial2", "win_builder", "win_runner"})
    {
        ASSERT_NE(assets.GetTexture(id), nullptr) << id;
        EXPECT_EQ(assets.GetTexture(id)->getSize(), sf::Vector2u(1920, 1080)) << id;
    }
    EXPECT_NE(assets.GetFont("consolab"), nullptr);

    const std::pair<const char*, float> volumes[] = {{"warp", 50.0f}, {"walk", 10.0f}, {"place", 25.0f},
                                                     {"move", 30.0f}, {"win", 50.0f},  {"misplace", 35.0f}};
    for (const auto& [id, volume] : volumes)
    {
        sf::Sound& sound = assets.GetSound(id);
        ASSERT_NE(sound.getBuffer(), nullptr) << id;
        EXPECT_FLOAT_EQ(sound.getVolume(), volume) << id;
        // Short, clean effects: no sound of the game lasts longer than a second and a half, and
        // each fades in and out, so it starts and stops without a click.
        const sf::SoundBuffer& buffer = *sound.getBuffer();
        EXPECT_GE(buffer.getDuration().asSeconds(), 0.05f) << id;
        EXPECT_LE(buffer.getDuration().asSeconds(), 1.5f) << id;
        EXPECT_EQ(buffer.getSampleRate(), 44100u) << id;
        EXPECT_EQ(buffer.getChannelCount(), 1u) << id;
        ASSERT_GT(buffer.getSampleCount(), 2u) << id;
        EXPECT_LE(std::abs(buffer.getSamples()[0]), 300) << id;
        EXPECT_LE(std::abs(buffer.getSamples()[buffer.getSampleCount() - 1]), 300) << id;
    }
}

TEST(AssetCatalogueTest, AMissingFileStopsTheLoadingAtThatFile)
{
    test::PlainWorkDir workDir;
    for (const char* file : {"icons/reset.png", "icons/time.png"})
    {
        workDir.copyAsset(file, "assets");
    }
    EXPECT_EQ(thrownMessage([] { AssetCatalogue::getInstance().loadAssets(); }),
              "AssetManager::LoadTexture - Failed to load icons/x-movement.png");
    AssetManager& assets = AssetManager::getInstance();
    EXPECT_NE(assets.GetTexture("time"), nullptr);
    EXPECT_EQ(assets.GetTexture("start"), nullptr) << "nothing after the failed file is loaded";
}
} // namespace orv_gd
