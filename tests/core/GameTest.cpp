#include "core/Game.h"

#include "core/InputManager.h"
#include "support/TempWorkDir.h"
#include "support/X11Window.h"

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
    EXPECT_EQ(counter.frames, 1u) << "the frame that publishes counts toward the next second";

    test::TempWorkDir workDir;
    Game game;
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
}
} // namespace orv_gd
