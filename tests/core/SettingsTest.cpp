#include "core/Settings.h"
#include "core/CommandLine.h"
#include "core/InputManager.h"
#include "support/TempWorkDir.h"

#include <SFML/Window/Keyboard.hpp>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace orv_gd
{
namespace
{
namespace fs = std::filesystem;

void write(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::size_t indexOf(const std::string& action)
{
    for (std::size_t i = 0; i < Settings::ActionCount; ++i)
    {
        if (action == Settings::actions()[i].name)
        {
            return i;
        }
    }
    ADD_FAILURE() << action;
    return 0;
}

/// Loads the text as "settings.ini" from the working folder, with `problems` cleared first.
Settings loadText(const std::string& text, std::vector<std::string>& problems)
{
    write("settings.ini", text);
    problems.clear();
    return Settings::load("settings.ini", problems);
}
} // namespace

TEST(SettingsTest, WhatTheScreenSavesComesBackAndNoTemporaryFileStays)
{
    test::TempWorkDir folder(false);
    Settings chosen;
    chosen.window = WindowMode::Windowed;
    chosen.volume = 30;
    chosen.mute = true;
    chosen.turnSeconds = 20;
    chosen.computer = {Difficulty::Hard, Difficulty::Easy};
    chosen.relay = "mqtts://relay.example.org:8884";
    chosen.relayCaFile = "/etc/relay-ca.crt";
    chosen.relayUsername = "ann";
    chosen.relayPassword = "s3cret";
    chosen.palette = PaletteChoice::ColourBlind;
    ASSERT_EQ(chosen.rebind(indexOf("RunnerLeft"), sf::Keyboard::J), "");
    ASSERT_EQ(chosen.rebind(indexOf("BuilderPlace"), sf::Keyboard::Numpad0), "");

    // The installed game's folder does not exist before its first save.
    const fs::path path = folder.path() / "config" / "tumbrelt" / "settings.ini";
    ASSERT_EQ(chosen.save(path.string()), "");
    std::vector<std::string> problems;
    EXPECT_EQ(Settings::load(path.string(), problems), chosen);
    EXPECT_EQ(problems, std::vector<std::string>{});
    const std::string text = folder.read(path);
    for (const char* line :
         {"window = windowed\n", "volume = 30\n", "mute = yes\n", "turn_seconds = 20\n",
          "computer_runner = hard\n", "computer_builder = easy\n", "key.RunnerLeft = J\n",
          "key.BuilderPlace = Numpad0\n", "key.RunnerRight = D\n", "relay = mqtts://relay.example.org:8884\n",
          "relay_ca_file = /etc/relay-ca.crt\n", "relay_username = ann\n", "relay_password = s3cret\n",
          "palette = colour-blind\n"})
    {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(path.parent_path()), fs::directory_iterator()), 1);

    // Saved again over the old file, the defaults come back as the defaults, without relay lines.
    ASSERT_EQ(Settings{}.save(path.string()), "");
    EXPECT_EQ(folder.read(path).find("\nrelay"), std::string::npos);
    EXPECT_EQ(Settings::load(path.string(), problems), Settings{});
    EXPECT_TRUE(problems.empty());

    // A folder that cannot be made (a file stands in its place) is one line, and no file appears.
    write(folder.path() / "blocked", "");
    const std::string failed = chosen.save((folder.path() / "blocked" / "settings.ini").string());
    EXPECT_NE(failed.find("could not make the folder"), std::string::npos) << failed;
    fs::create_directories(folder.path() / "taken" / "settings.ini" / "inside"); // a name it cannot take
    EXPECT_EQ(chosen.save("taken/settings.ini"), "could not write taken/settings.ini (Is a directory)");
}

TEST(SettingsTest, EachBadPartOfAFileFallsBackToItsDefaultWithOneLineNamingFileLineAndSetting)
{
    test::TempWorkDir folder(false);
    // Each case: the file's third line, and what the one problem line says after "settings.ini:3: ".
    const std::pair<std::string, std::string> cases[] = {
        {"volume = loud", "volume \"loud\" is not 0 to 100 in steps of 10; using 100"},
        {"volume = 55", "volume \"55\" is not 0 to 100 in steps of 10; using 100"},
        {"volume = 110", "volume \"110\" is not 0 to 100 in steps of 10; using 100"},
        {"turn_seconds = 12", "turn_seconds \"12\" is not 10, 15 or 20; using 10"},
        {"computer_builder = impossible",
         "computer_builder \"impossible\" is not easy, normal or hard; using normal"},
        {"relay = http://relay:99999",
         "relay \"http://relay:99999\" is not HOST[:PORT] or mqtts://HOST[:PORT]; using none"},
        {"relay = relay.example.org:0",
         "relay \"relay.example.org:0\" is not HOST[:PORT] or mqtts://HOST[:PORT]; using none"},
        {"palette = sepia",
         "palette \"sepia\" is not standard, colour-blind or high-contrast; using standard"},
        {"mute = maybe", "mute \"maybe\" is not yes or no; using no"},
        {"colour = red", "unknown setting \"colour\"; ignored"},
        {"volume 30", "\"volume 30\" is not \"name = value\"; ignored"},
        {"volume = " + std::string(300, '1'), "the line is longer than 200 characters; ignored"},
        {std::string("vol\0ume\x01\x02 = \x7f", 14), "the line holds bytes that are not text; ignored"},
        {"key.RunnerLeft = Banana", "key.RunnerLeft \"Banana\" is not a key's name; using A"},
        {"key.RunnerLeft = Escape", "key.RunnerLeft \"Escape\" is the key for the menu; using A"},
    };
    // What was good in the same file is kept; what was bad is at its default.
    Settings kept;
    kept.window = WindowMode::Fullscreen;
    std::vector<std::string> problems;
    for (const auto& [line, problem] : cases)
    {
        EXPECT_EQ(loadText("window = fullscreen\n# the rest by hand\n" + line + "\n", problems), kept)
            << line;
        EXPECT_EQ(problems, std::vector<std::string>{"settings.ini:3: " + problem}) << line;
    }
    EXPECT_EQ(loadText("key.RunnerLeft = J\nkey.BuilderPlace = j\n", problems), Settings{});
    EXPECT_EQ(problems, std::vector<std::string>{
                            "settings.ini:2: key.BuilderPlace \"J\" is key.RunnerLeft's key too; using the "
                            "default keys"});

    // A setting given twice counts as bad on every line after the first.
    Settings read = loadText("volume = 40\nmute = yes\nvolume = 40\nvolume = 60\n", problems);
    EXPECT_EQ(read.volume, 100);
    EXPECT_TRUE(read.mute);
    EXPECT_EQ(problems,
              (std::vector<std::string>{"settings.ini:3: volume is set again (first on line 1); using 100",
                                        "settings.ini:4: volume is set again (first on line 1); using 100"}));

    // Comments, blank lines, spaces, Windows line ends and a byte order mark are all fine.
    read = loadText(
        "\xEF\xBB\xBF# mine\r\n\r\n  volume=70  \r\n; old\r\nkey.RunnerEnd = space\r\ncomputer_runner = "
        "Easy\r\npalette = High-Contrast\r\n",
        problems);
    EXPECT_EQ(problems, std::vector<std::string>{});
    EXPECT_EQ(read.volume, 70);
    EXPECT_EQ(read.keys[indexOf("RunnerEnd")], sf::Keyboard::Space);
    EXPECT_EQ(read.computer.runner, Difficulty::Easy);
    EXPECT_EQ(read.palette, PaletteChoice::HighContrast);
}

TEST(SettingsTest, AMissingFileIsTheDefaultsSilentlyAndAnUnreadableOneTheDefaultsWithOneLine)
{
    test::TempWorkDir folder(false);
    std::vector<std::string> problems;
    EXPECT_EQ(Settings::load("settings.ini", problems), Settings{});
    EXPECT_TRUE(problems.empty());
    // An empty file is a file with nothing set.
    EXPECT_EQ(loadText("", problems), Settings{});
    EXPECT_TRUE(problems.empty());

    fs::remove("settings.ini");
    fs::create_directory("settings.ini");
    EXPECT_EQ(Settings::load("settings.ini", problems), Settings{});
    EXPECT_EQ(problems,
              std::vector<std::string>{"settings.ini: is a folder, not a file; using the defaults"});

    problems.clear();
    fs::remove("settings.ini");
    fs::create_symlink("nowhere.ini", "settings.ini");
    EXPECT_EQ(Settings::load("settings.ini", problems), Settings{});
    EXPECT_EQ(problems, std::vector<std::string>{
                            "settings.ini: cannot be read (No such file or directory); using the defaults"});

    fs::remove("settings.ini");
    EXPECT_EQ(loadText("volume = 10\n" + std::string(Settings::MaxFileSize, '#'), problems), Settings{});
    EXPECT_EQ(problems, std::vector<std::string>{"settings.ini: is larger than 64 KiB; using the defaults"});
}

TEST(SettingsTest, TheFileIsInTheConfigFolderWhenInstalledAndInTheWorkingFolderFromACheckout)
{
    EXPECT_EQ(Settings::filePath(false, "/x", "/home/p"), "settings.ini");
    EXPECT_EQ(Settings::filePath(true, "/x", "/home/p"), "/x/tumbrelt/settings.ini");
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative"})
    {
        EXPECT_EQ(Settings::filePath(true, unusable, "/home/p"), "/home/p/.config/tumbrelt/settings.ini");
        EXPECT_EQ(Settings::filePath(true, unusable, unusable), "");
    }
}

TEST(SettingsTest, TheCommandLineGoesOverTheFileForOneRun)
{
    Settings file;
    file.window = WindowMode::Fullscreen;
    file.volume = 40;
    EXPECT_EQ(file.withCommandLine(CommandLine{}), file);
    CommandLine line;
    line.windowed = true;
    line.mute = true;
    const Settings run = file.withCommandLine(line);
    EXPECT_EQ(run.window, WindowMode::Windowed);
    EXPECT_TRUE(run.mute);
    EXPECT_EQ(run.effectiveVolume(), 0.0f);
    EXPECT_EQ(run.volume, 40);
    line = CommandLine{};
    line.fullscreen = true;
    EXPECT_EQ(Settings{}.withCommandLine(line).window, WindowMode::Fullscreen);
    EXPECT_EQ(file.effectiveVolume(), 40.0f);
}

TEST(SettingsTest, AKeyAnotherActionHasOrTheGameKeepsIsRefusedAndTheKeysReachTheInput)
{
    Settings settings;
    const std::size_t left = indexOf("RunnerLeft");
    EXPECT_EQ(settings.rebind(left, sf::Keyboard::D), "D is already the key of \"Runner: step right\".");
    EXPECT_EQ(settings.rebind(left, sf::Keyboard::Enter),
              "Enter is already the key of \"Builder: place the block\".");
    EXPECT_EQ(settings.rebind(left, sf::Keyboard::P), "P is kept for the pause.");
    EXPECT_EQ(settings.rebind(left, sf::Keyboard::Unknown), "That key cannot be used.");
    EXPECT_EQ(settings.keys, Settings::defaultKeys());
    // Its own key again is no conflict.
    EXPECT_EQ(settings.rebind(left, sf::Keyboard::A), "");
    EXPECT_EQ(settings.rebind(left, sf::Keyboard::J), "");
    EXPECT_EQ(settings.keys[left], sf::Keyboard::J);
    // The freed key is free for another action.
    EXPECT_EQ(settings.rebind(indexOf("BuilderPlace"), sf::Keyboard::A), "");

    InputManager& input = InputManager::getInstance();
    const int before = input.getKeyForAction("RunnerLeft", 0);
    const int placeBefore = input.getKeyForAction("BuilderPlace", 1);
    settings.applyKeys(input);
    EXPECT_EQ(input.getKeyForAction("RunnerLeft", 0), sf::Keyboard::J);
    EXPECT_EQ(input.getKeyForAction("BuilderPlace", 1), sf::Keyboard::A);
    EXPECT_EQ(input.getKeyForAction("BuilderPlace", 0), InputManager::UnboundKey);

    settings.resetKeys();
    EXPECT_EQ(settings.keys[left], sf::Keyboard::A);
    input.bind("RunnerLeft", before, 0);
    input.bind("BuilderPlace", placeBefore, 1);
    if (before == InputManager::UnboundKey)
    {
        input.unbind("RunnerLeft", 0);
    }
    if (placeBefore == InputManager::UnboundKey)
    {
        input.unbind("BuilderPlace", 1);
    }
}

TEST(SettingsTest, EveryKeyHasANameThatReadsBackAsIt)
{
    for (int key = 0; key < sf::Keyboard::KeyCount; ++key)
    {
        EXPECT_EQ(Settings::keyFromName(Settings::keyName(key)), key) << key;
    }
    EXPECT_EQ(Settings::keyName(sf::Keyboard::Unknown), "");
    EXPECT_EQ(Settings::keyFromName("pagedown"), sf::Keyboard::PageDown);
}
} // namespace orv_gd
