#include "core/Game.h"
#include "screens/Screens.h"

#include "core/InputManager.h"
#include "resources/DebugDraw.h"
#include "support/InputRestore.h"
#include "support/RecordingState.h"
#include "support/TempWorkDir.h"
#include "support/X11Window.h"

#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

#include <sstream>
#include <thread>

namespace orv_gd
{
TEST(GameTest, FpsCounterKeyBindingsFirstFrameAndTitle)
{
    FpsCounter counter;
    counter.update();
    counter.update();
    std::this_thread::sleep_for(std::chrono::milliseconds(1050));
    EXPECT_EQ(counter.getFps(), 0u);
    counter.update();
    EXPECT_EQ(counter.getFps(), 2u);

    const test::InputRestore restore;
    test::TempWorkDir workDir;
    Game game(registerScreens);
    ASSERT_TRUE(game.init());
    std::istringstream actions("Exit Select RunnerLeft RunnerUp RunnerRight RunnerDown RunnerEnd RunnerReset "
                               "debugdraw BuilderUp BuilderLeft BuilderDown BuilderRight BuilderPlace "
                               "BuilderRotateLeft BuilderRotateRight");
    std::string action;
    for (const int key : {36, 57, 0, 22, 3, 18, 16, 17, 85, 73, 71, 74, 72, 58, 61, 62})
    {
        actions >> action;
        const int player = action.rfind("Builder", 0) == 0 ? 1 : 0;
        EXPECT_EQ(InputManager::getInstance().getKeyForAction(action, player), key) << action;
        EXPECT_EQ(InputManager::getInstance().getKeyForAction(action, 1 - player), InputManager::UnboundKey);
    }
    game.update();
    game.draw();
    EXPECT_EQ(game.getGameStateManager().getCurrentState(),
              game.getGameStateManager().findState("MenuState"));
    EXPECT_EQ(test::x11WindowTitle(game.getWindow().getSystemHandle()), "Tumbrelt | FPS: 0");
    // The window shows the game's icon: the Runner's blue block left of the centre, a green
    // finish cell at the top right.
    const test::X11Icon icon = test::x11WindowIcon(game.getWindow().getSystemHandle());
    ASSERT_EQ(icon.width, 256u);
    ASSERT_EQ(icon.height, 256u);
    EXPECT_EQ(icon.pixels[154 * 256 + 102], 0xff0ea5e9u) << std::hex << icon.pixels[154 * 256 + 102];
    EXPECT_EQ(icon.pixels[50 * 256 + 205], 0xff22c55eu) << std::hex << icon.pixels[50 * 256 + 205];

    // The debug overlay switches when F1 goes up, not while it is held.
    DebugDraw& debugDraw = DebugDraw::getInstance();
    std::string states;
    for (const bool down : {true, false, true, false, true, false})
    {
        test::sendKey(sf::Keyboard::F1, down);
        game.update();
        states += debugDraw.isEnabled() ? "on " : "off ";
    }
    EXPECT_EQ(states, "on off off on on off ");
    debugDraw.setEnabled(true);
}

TEST(GameTest, TheFirstFrameIsShortAndACloseRequestEndsTheFrameWithOneExitDroppingTheRestOfTheQueue)
{
    const test::InputRestore restore;
    test::TempWorkDir workDir;
    std::vector<std::string> log;
    Game game;
    ASSERT_TRUE(game.init());
    GameStateManager& states = game.getGameStateManager();
    auto screen = std::make_shared<test::RecordingState>("Screen", log, &states, &game);
    states.registerState("Screen", screen);
    states.setState("Screen");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    game.update();
    EXPECT_LT(screen->getTimeInState(), 0.1f) << "the frame clock starts with the first frame";
    game.draw();
    log.clear();
    test::x11RequestCloseThenPress(game.getWindow().getSystemHandle(), 0x20); // then Space
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    game.runLoop();
    EXPECT_FALSE(game.getWindow().isOpen());
    EXPECT_EQ(log, std::vector<std::string>{"Screen.exit"}) << "no update or draw after the request";
    InputManager::getInstance().update();
    EXPECT_FALSE(InputManager::getInstance().isKeyDown(sf::Keyboard::Space))
        << "the rest of the queue is dropped";
}
} // namespace orv_gd
