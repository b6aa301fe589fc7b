#include "core/GameStateManager.h"

#include "support/RecordingState.h"

#include <gtest/gtest.h>

#include <memory>

namespace orv_gd
{
/// A manager with a menu and a tutorial that write what is called of them into one log.
class GameStateManagerTest : public ::testing::Test
{
protected:
    std::vector<std::string> log;
    GameStateManager manager;
    std::shared_ptr<test::RecordingState> menu =
        std::make_shared<test::RecordingState>("Menu", log, &manager);
    std::shared_ptr<test::RecordingState> tutorial =
        std::make_shared<test::RecordingState>("Tutorial", log, &manager);
    void SetUp() override
    {
        manager.registerState("MenuState", menu);
        manager.registerState("TutorialState", tutorial);
    }
};

TEST_F(GameStateManagerTest, SwitchesOnlyAtTheFrameBoundaryToTheLastRequest)
{
    manager.draw();
    manager.update(0.1f);
    EXPECT_TRUE(log.empty()) << "nothing runs before the first request";
    manager.setState("TutorialState");
    manager.setState("MenuState"); // only the last request of a frame counts
    manager.update(0.0f);
    manager.update(0.5f);
    manager.setState("TutorialState"); // the menu still finishes its frame
    manager.draw();
    manager.update(0.25f);
    EXPECT_FLOAT_EQ(tutorial->getTimeInState(), 0.25f);
    manager.setState("TutorialState"); // asking for the current state only restarts its time
    EXPECT_FLOAT_EQ(tutorial->getTimeInState(), 0.0f);
    manager.update(0.0f);
    manager.shutdown();
    EXPECT_EQ(log, (std::vector<std::string>{"Menu.init", "Menu.update", "Menu.update", "Menu.draw",
                                             "Menu.exit", "Tutorial.init", "Tutorial.update",
                                             "Tutorial.update", "Tutorial.exit"}));
    EXPECT_DEATH(manager.setState("NoSuchState"), "Line: [0-9]+ State could not be found");
}

TEST_F(GameStateManagerTest, OnlyAStateThatIsNeitherCurrentNorPendingMayBeReplaced)
{
    auto other = std::make_shared<test::RecordingState>("Other", log, &manager);
    manager.registerState("TutorialState", other); // neither current nor pending yet
    EXPECT_EQ(manager.findState("TutorialState"), other.get());
    manager.setState("TutorialState");
    EXPECT_DEATH(manager.registerState("TutorialState", tutorial),
                 "Line: [0-9]+ The current or pending state cannot be replaced");
    manager.update(0.0f);
    manager.setState("MenuState");
    EXPECT_DEATH(manager.registerState("TutorialState", tutorial), "cannot be replaced"); // current
    EXPECT_DEATH(manager.registerState("MenuState", tutorial), "cannot be replaced");     // pending
    manager.shutdown();
}

TEST_F(GameStateManagerTest, ASwitchRequestedByTheEnteringStatesInitIsKeptForTheNextFrame)
{
    menu->requestOnInit("TutorialState");
    manager.setState("MenuState");
    manager.update(0.0f);
    manager.update(0.0f);
    manager.shutdown();
    EXPECT_EQ(log, (std::vector<std::string>{"Menu.init", "Menu.update", "Menu.exit", "Tutorial.init",
                                             "Tutorial.update", "Tutorial.exit"}));
}
} // namespace orv_gd
