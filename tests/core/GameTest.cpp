#include "core/Game.h"

#include "core/ExitSignal.h"
#include "core/InputManager.h"
#include "support/RecordingState.h"
#include "support/TempWorkDir.h"
#include "support/X11Window.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/VideoMode.hpp>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace orv_gd
{
namespace
{
using test::RecordingState;

/// An initialised game in a temporary working directory, with a recording screen registered
/// as "TestState" and requested in place of the menu.
class GameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(game.init());
        state = std::make_shared<RecordingState>("Test", log, &game.getGameStateManager(), &game);
        game.getGameStateManager().registerState("TestState", state);
        game.getGameStateManager().setState("TestState");
    }

    test::TempWorkDir workDir;
    Game game;
    std::vector<std::string> log;
    std::shared_ptr<RecordingState> state;
};
} // namespace

TEST(FpsCounterTest, PublishesTheFramesOfTheLastSecond)
{
    FpsCounter counter;
    for (int i = 0; i < 5; ++i)
    {
        counter.update();
    }
    EXPECT_EQ(counter.getFps(), 0u);
    EXPECT_EQ(counter.frames, 5u);
    std::this_thread::sleep_for(std::chrono::milliseconds(1050));
    counter.update();
    EXPECT_EQ(counter.getFps(), 5u);
    // The frame that publishes counts toward the next second.
    EXPECT_EQ(counter.frames, 1u);
    counter.update();
    EXPECT_EQ(counter.getFps(), 5u);
}

TEST(GameInitTest, OpensTheBorderlessDesktopWindowAndRequestsTheMenu)
{
    test::TempWorkDir workDir;
    Game game;
    ASSERT_TRUE(game.init());
    sf::RenderWindow& window = game.getWindow();
    ASSERT_TRUE(window.isOpen());
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    EXPECT_EQ(window.getSize(), sf::Vector2u(desktop.width, desktop.height));
    EXPECT_EQ(window.getPosition(), sf::Vector2i(0, 0));
    EXPECT_EQ(game.getGui().getTarget(), &window);

    GameStateManager& states = game.getGameStateManager();
    for (const char* name : {"MenuState", "MainState", "EndState", "TutorialState"})
    {
        EXPECT_NE(states.findState(name), nullptr) << name;
    }
    EXPECT_EQ(states.getCurrentState(), nullptr);
    EXPECT_EQ(states.getPendingState(), states.findState("MenuState"));

    const InputManager& input = InputManager::getInstance();
    const std::vector<std::tuple<const char*, int, int>> bindings = {{"Exit", 0, 36},
                                                                     {"Select", 0, 57},
                                                                     {"RunnerLeft", 0, 0},
                                                                     {"RunnerUp", 0, 22},
                                                                     {"RunnerRight", 0, 3},
                                                                     {"RunnerDown", 0, 18},
                                                                     {"RunnerEnd", 0, 16},
                                                                     {"RunnerReset", 0, 17},
                                                                     {"BuilderUp", 1, 73},
                                                                     {"BuilderLeft", 1, 71},
                                                                     {"BuilderDown", 1, 74},
                                                                     {"BuilderRight", 1, 72},
                                                                     {"BuilderPlace", 1, 58},
                                                                     {"BuilderRotateLeft", 1, 61},
                                                                     {"BuilderRotateRight", 1, 62},
                                                                     {"debugdraw", 0, 85}};
    for (const auto& [action, player, key] : bindings)
    {
        EXPECT_EQ(input.getKeyForAction(action, player), key) << action;
        EXPECT_EQ(input.getKeyForAction(action, 1 - player), InputManager::UnboundKey) << action;
    }

    // The menu becomes current inside the first frame's update.
    game.update();
    EXPECT_EQ(states.getCurrentState(), states.findState("MenuState"));
    game.draw(); // hands the queued title change to the window system
    EXPECT_EQ(test::X11Window(window.getSystemHandle()).title(), "Tumbrelt | FPS: 0");
    game.shutdown();
}

TEST_F(GameTest, AFrameClearsToBlackAndDrawsTheScreenAndTheGui)
{
    game.update();
    game.draw();
    EXPECT_EQ(log, (std::vector<std::string>{"Test.init", "Test.update", "Test.draw"}));
    EXPECT_EQ(game.getGui().getDrawCount(), 1u);
    // The first frame time is close to 0 even though set-up took a while.
    ASSERT_EQ(state->deltaTimes.size(), 1u);
    EXPECT_LT(state->deltaTimes[0], 0.05f);

    sf::Texture texture;
    ASSERT_TRUE(texture.create(game.getWindow().getSize().x, game.getWindow().getSize().y));
    texture.update(game.getWindow());
    const sf::Image image = texture.copyToImage();
    EXPECT_EQ(image.getPixel(5, 5), sf::Color::Black);
    EXPECT_EQ(image.getPixel(image.getSize().x / 2, image.getSize().y / 2), sf::Color::Black);
}

TEST_F(GameTest, AScreenThatClosesTheWindowFinishesItsFrameAndExitsOnce)
{
    state->onUpdate = [this](RecordingState& self)
    {
        if (self.updateCount == 3)
        {
            game.getWindow().close();
        }
    };
    game.runLoop();
    EXPECT_FALSE(game.getWindow().isOpen());
    EXPECT_EQ(state->updateCount, 3);
    EXPECT_EQ(state->drawCount, 3);
    EXPECT_EQ(state->exitCount, 1);
    EXPECT_EQ(log.back(), "Test.exit");
}

TEST_F(GameTest, ACloseRequestExitsOnceAndDropsTheRestOfTheQueue)
{
    test::X11Window outside(game.getWindow().getSystemHandle());
    state->onUpdate = [&outside](RecordingState& self)
    {
        if (self.updateCount == 2)
        {
            outside.sendCloseRequest();
            outside.sendKeyPress(0x61); // "a", queued behind the close request
        }
    };
    game.runLoop();
    EXPECT_FALSE(game.getWindow().isOpen());
    EXPECT_GE(state->updateCount, 2);
    EXPECT_EQ(state->drawCount, state->updateCount);
    EXPECT_EQ(state->exitCount, 1);
    EXPECT_EQ(log.back(), "Test.exit");
    InputManager::getInstance().update();
    EXPECT_FALSE(InputManager::getInstance().isKeyDown(sf::Keyboard::A));
}

TEST_F(GameTest, SigtermEndsTheLoopLikeACloseRequest)
{
    ExitSignal::install();
    state->onUpdate = [](RecordingState& self)
    {
        if (self.updateCount == 2)
        {
            std::raise(SIGTERM);
        }
    };
    game.runLoop();
    EXPECT_EQ(ExitSignal::getSignal(), SIGTERM);
    ExitSignal::clear();
    EXPECT_FALSE(game.getWindow().isOpen());
    EXPECT_EQ(state->updateCount, 2);
    EXPECT_EQ(state->drawCount, 2);
    EXPECT_EQ(state->exitCount, 1);
}
} // namespace orv_gd
