#include "screens/SettingsState.h"
#include "core/Game.h"
#include "core/InputManager.h"
#include "screens/MainState.h"
#include "screens/Screens.h"
#include "support/InputRestore.h"
#include "support/TempWorkDir.h"
#include "view/Palette.h"

#include <SFML/Audio/Listener.hpp>
#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>
#include <thread>

namespace orv_gd
{
/// The settings screen in a real, initialised Game working in a temporary folder: keys go in
/// as window events, frames run as the game runs them.
struct SettingsStateTest : ::testing::Test
{
    ~SettingsStateTest() override
    {
        m_game.shutdown();
        sf::Listener::setGlobalVolume(100.0f);
        usePalette(PaletteChoice::Standard);
    }
    void start()
    {
        ASSERT_TRUE(m_game.init());
        m_game.update();
    }
    void tap(sf::Keyboard::Key code, int times = 1)
    {
        for (int i = 0; i < 2 * times; ++i)
        {
            test::sendKey(code, i % 2 == 0);
            m_game.update();
            m_game.draw();
        }
    }
    /// The menu takes no choice in its first moments.
    void waitOutTheMenuDelay()
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        m_game.update();
    }
    GameState* current() { return m_game.getGameStateManager().getCurrentState(); }
    SettingsState& screen()
    {
        return static_cast<SettingsState&>(*m_game.getGameStateManager().findState("SettingsState"));
    }
    int keyOf(const char* action) { return InputManager::getInstance().getKeyForAction(action, 0); }

    const test::InputRestore m_inputRestore;
    test::TempWorkDir m_folder;
    Game m_game{registerScreens};
};

TEST_F(SettingsStateTest, KeysAreRefusedWhenInUseBoundWhenFreeAndKeptAfterEscapeInTheFile)
{
    start();
    tap(sf::Keyboard::S);
    ASSERT_EQ(current(), &screen());
    // Down past window, volume, mute and turn time to the Runner's first key.
    tap(sf::Keyboard::Down, SettingsState::FirstKey);
    ASSERT_EQ(screen().label(screen().getRow()), "Runner: step left");
    tap(sf::Keyboard::Enter);
    EXPECT_TRUE(screen().isWaitingForKey());
    tap(sf::Keyboard::Right); // the Builder's
    EXPECT_EQ(screen().getStatus(),
              "Right is already the key of \"Builder: block right\". Enter to try another.");
    EXPECT_EQ(keyOf("RunnerLeft"), sf::Keyboard::A);
    tap(sf::Keyboard::Enter);
    tap(sf::Keyboard::J);
    EXPECT_EQ(screen().getStatus(), "Runner: step left is now J.");
    EXPECT_EQ(keyOf("RunnerLeft"), sf::Keyboard::J);
    EXPECT_EQ(screen().value(screen().getRow()), "J");
    // Escape while waiting keeps the key.
    tap(sf::Keyboard::Enter);
    tap(sf::Keyboard::Escape);
    EXPECT_EQ(keyOf("RunnerLeft"), sf::Keyboard::J);
    ASSERT_EQ(current(), &screen());

    EXPECT_FALSE(std::ifstream("settings.ini").good()) << "nothing is written before leaving";
    tap(sf::Keyboard::Escape);
    EXPECT_EQ(current(), m_game.getGameStateManager().findState("MenuState"));
    std::vector<std::string> problems;
    EXPECT_EQ(Settings::load("settings.ini", problems).keys[0], sf::Keyboard::J);

    // Back on the screen, the reset puts every key back, for the game and in the file.
    waitOutTheMenuDelay();
    tap(sf::Keyboard::S);
    ASSERT_EQ(current(), &screen());
    tap(sf::Keyboard::Up); // round to the last row
    ASSERT_EQ(screen().getRow(), SettingsState::ResetKeys);
    tap(sf::Keyboard::Enter);
    EXPECT_EQ(keyOf("RunnerLeft"), sf::Keyboard::A);
    tap(sf::Keyboard::Escape);
    EXPECT_EQ(Settings::load("settings.ini", problems), Settings{});
    EXPECT_TRUE(problems.empty());
}

TEST_F(SettingsStateTest, VolumeMuteAndTurnTimeChangeAtOnceAndTheCommandLineOptionGivesWayToTheChoice)
{
    CommandLine line;
    line.mute = true;
    m_game.setCommandLine(line);
    start();
    EXPECT_EQ(sf::Listener::getGlobalVolume(), 0.0f) << "--mute";
    tap(sf::Keyboard::S);
    tap(sf::Keyboard::Down); // volume
    tap(sf::Keyboard::Left, 3);
    EXPECT_EQ(screen().value(SettingsState::Volume), "70 %");
    EXPECT_EQ(sf::Listener::getGlobalVolume(), 0.0f) << "still muted for this run";
    tap(sf::Keyboard::Down); // mute
    EXPECT_EQ(screen().value(SettingsState::Mute), "on");
    tap(sf::Keyboard::Right);
    EXPECT_EQ(screen().value(SettingsState::Mute), "off");
    EXPECT_EQ(sf::Listener::getGlobalVolume(), 70.0f);
    tap(sf::Keyboard::Down); // turn time
    tap(sf::Keyboard::Right, 2);
    EXPECT_EQ(screen().value(SettingsState::TurnTime), "20 s");
    tap(sf::Keyboard::Right);
    EXPECT_EQ(screen().value(SettingsState::TurnTime), "10 s") << "round to the first";
    tap(sf::Keyboard::Left);
    tap(sf::Keyboard::Down); // palette
    tap(sf::Keyboard::Left);
    EXPECT_EQ(screen().value(SettingsState::Palette), "high-contrast") << "round to the last";
    tap(sf::Keyboard::Right, 2);
    EXPECT_EQ(screen().value(SettingsState::Palette), "colour-blind");
    tap(sf::Keyboard::Escape);

    std::vector<std::string> problems;
    const Settings saved = Settings::load("settings.ini", problems);
    EXPECT_EQ(saved.volume, 70);
    EXPECT_FALSE(saved.mute);
    EXPECT_EQ(saved.palette, PaletteChoice::ColourBlind);
    EXPECT_EQ(saved.turnSeconds, 20);

    // The next match plays them: 20 s turns, the Runner in the colour-blind palette's blue.
    waitOutTheMenuDelay();
    tap(sf::Keyboard::Space); // two players, through the tutorial
    tap(sf::Keyboard::Space);
    const auto* match = dynamic_cast<MainState*>(current());
    ASSERT_NE(match, nullptr);
    EXPECT_EQ(match->getMatch().config.turnLimitMs, 20000);
    sf::RenderWindow& window = m_game.getWindow();
    window.clear();
    m_game.getGameStateManager().draw();
    sf::Texture texture;
    ASSERT_TRUE(texture.create(window.getSize().x, window.getSize().y));
    texture.update(window);
    const sf::Image shown = texture.copyToImage();
    std::map<std::uint32_t, int> colours;
    for (unsigned i = 0; i < shown.getSize().x * shown.getSize().y; ++i)
    {
        ++colours[shown.getPixel(i % shown.getSize().x, i / shown.getSize().x).toInteger()];
    }
    EXPECT_GT(colours[sf::Color(0, 114, 178).toInteger()], 100);
    EXPECT_EQ(colours[sf::Color(14, 165, 233).toInteger()], 0) << "the standard blue";
}

TEST_F(SettingsStateTest, ABadFileIsLeftAsItIsWhenThePlayerDoesNotChangeAnything)
{
    const std::string bad = "volume = loud\nkey.RunnerLeft = J\n";
    std::ofstream("settings.ini") << bad;
    start();
    EXPECT_EQ(keyOf("RunnerLeft"), sf::Keyboard::J) << "the good line counts";
    tap(sf::Keyboard::S);
    tap(sf::Keyboard::Down, 2);
    tap(sf::Keyboard::Escape);
    EXPECT_EQ(m_folder.read("settings.ini"), bad);
}
} // namespace orv_gd
