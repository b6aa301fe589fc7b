#include "core/GameStateManager.h"

#include "support/RecordingState.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace orv_gd
{
namespace
{
using Log = std::vector<std::string>;
using test::RecordingState;

/// A manager with the three screens the tests switch between.
class GameStateManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        menu = std::make_shared<RecordingState>("Menu", log, &manager);
        tutorial = std::make_shared<RecordingState>("Tutorial", log, &manager);
        match = std::make_shared<RecordingState>("Match", log, &manager);
        manager.registerState("MenuState", menu);
        manager.registerState("TutorialState", tutorial);
        manager.registerState("MainState", match);
    }

    Log log;
    GameStateManager manager;
    std::shared_ptr<RecordingState> menu;
    std::shared_ptr<RecordingState> tutorial;
    std::shared_ptr<RecordingState> match;
};
} // namespace

TEST_F(GameStateManagerTest, NothingRunsBeforeTheFirstUpdate)
{
    manager.draw();
    manager.shutdown();
    manager.update(0.1f);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(manager.getCurrentState(), nullptr);
    EXPECT_EQ(manager.findState("MenuState"), menu.get());
    EXPECT_EQ(manager.findState("Nowhere"), nullptr);
}

TEST_F(GameStateManagerTest, ASwitchRequestedInAFrameHappensAtTheNextUpdate)
{
    manager.setState("MenuState");
    EXPECT_EQ(manager.getCurrentState(), nullptr);
    manager.update(0.0f);
    manager.draw();
    EXPECT_EQ(log, (Log{"Menu.init", "Menu.update", "Menu.draw"}));

    // The menu asks for the tutorial in its update, finishes that update and is drawn once more.
    log.clear();
    menu->onUpdate = [this](RecordingState& self)
    {
        manager.setState("TutorialState");
        self.onUpdate = nullptr;
        log.push_back("Menu.afterRequest");
    };
    manager.update(0.5f);
    manager.draw();
    manager.update(0.25f);
    manager.shutdown();
    EXPECT_EQ(log, (Log{"Menu.update", "Menu.afterRequest", "Menu.draw", "Menu.exit", "Tutorial.init",
                        "Tutorial.update", "Tutorial.exit"}));
    EXPECT_EQ(manager.getCurrentState(), tutorial.get());
    EXPECT_EQ(tutorial->deltaTimes, (std::vector<float>{0.25f}));
}

TEST_F(GameStateManagerTest, OnlyTheLastRequestOfAFrameIsCarriedOut)
{
    manager.setState("TutorialState");
    manager.setState("MainState");
    manager.update(0.0f);
    EXPECT_EQ(log, (Log{"Match.init", "Match.update"}));
    EXPECT_EQ(tutorial->initCount, 0);
    EXPECT_EQ(tutorial->exitCount, 0);
}

TEST_F(GameStateManagerTest, RequestingTheCurrentStateOnlyRestartsItsTime)
{
    manager.setState("MenuState");
    manager.update(0.0f);
    manager.update(2.0f);
    EXPECT_FLOAT_EQ(menu->getTimeInState(), 2.0f);
    // Reset when asked, not when switched; asking for another state first changes nothing.
    manager.setState("TutorialState");
    manager.setState("MenuState");
    EXPECT_FLOAT_EQ(menu->getTimeInState(), 0.0f);
    manager.update(0.5f);
    EXPECT_EQ(menu->initCount, 1);
    EXPECT_EQ(menu->exitCount, 0);
    EXPECT_FLOAT_EQ(menu->getTimeInState(), 0.5f);
}

TEST_F(GameStateManagerTest, ARequestMadeWhileEnteringIsKept)
{
    tutorial->onInit = [this](RecordingState&)
    {
        manager.setState("MenuState");
    };
    manager.setState("TutorialState");
    manager.update(0.0f);
    manager.update(0.0f);
    EXPECT_EQ(log, (Log{"Tutorial.init", "Tutorial.update", "Tutorial.exit", "Menu.init", "Menu.update"}));
}

TEST_F(GameStateManagerTest, RegisteringTwiceReplacesTheState)
{
    auto second = std::make_shared<RecordingState>("Second", log, &manager);
    manager.registerState("TutorialState", second);
    EXPECT_EQ(manager.findState("TutorialState"), second.get());

    // A pending state that is replaced hands its request to its successor.
    manager.setState("MainState");
    auto newMatch = std::make_shared<RecordingState>("NewMatch", log, &manager);
    manager.registerState("MainState", newMatch);
    EXPECT_EQ(manager.getPendingState(), newMatch.get());
    manager.update(0.0f);
    EXPECT_EQ(log, (Log{"NewMatch.init", "NewMatch.update"}));

    // A current state that is replaced leaves; its successor enters at the next update.
    log.clear();
    auto newestMatch = std::make_shared<RecordingState>("Newest", log, &manager);
    manager.registerState("MainState", newestMatch);
    EXPECT_EQ(manager.getCurrentState(), nullptr);
    manager.update(0.0f);
    EXPECT_EQ(log, (Log{"NewMatch.exit", "Newest.init", "Newest.update"}));
}

TEST_F(GameStateManagerTest, AnUnknownStateNameStopsTheProgram)
{
    EXPECT_DEATH(manager.setState("NoSuchState"), "Line: [0-9]+ State could not be found");
}
} // namespace orv_gd
