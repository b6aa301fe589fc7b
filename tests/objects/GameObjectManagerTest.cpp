#include "objects/GameObjectManager.h"

#include "TestComponents.h"
#include "objects/EventBus.h"
#include "objects/GameObject.h"
#include "objects/GameObjectCreateEvent.h"
#include "support/ErrCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace orv_gd
{
using test::ErrCapture;
using test::RecordingComponent;

namespace
{
void announce(const std::shared_ptr<GameObject>& object)
{
    EventBus::getInstance().fireEvent(std::make_shared<GameObjectCreateEvent>(object));
}

/// A located error line: "<file> Line: <n> <message>\n".
bool isLocatedLine(const std::string& text, const std::string& message)
{
    return std::regex_match(text, std::regex(".*GameObjectManager\\.cpp Line: [0-9]+ " + message + "\n"));
}
} // namespace

TEST(GameObjectManagerTest, RegistersAnnouncedObjectsOnlyWhileInitialised)
{
    GameObjectManager& manager = GameObjectManager::getInstance();
    ErrCapture err;
    announce(GameObject::create("early"));
    EXPECT_TRUE(manager.getGameObjects().empty());

    manager.init();
    const std::shared_ptr<GameObject> runner = GameObject::create("Runner");
    announce(runner);
    EXPECT_EQ(manager.getGameObject("Runner"), runner);
    EXPECT_EQ(manager.getGameObjects().size(), 1u);

    manager.shutdown();
    EXPECT_TRUE(manager.getGameObjects().empty());
    announce(GameObject::create("late"));
    EXPECT_TRUE(manager.getGameObjects().empty());
}

TEST(GameObjectManagerTest, ShutdownThenInitLeavesExactlyOneSubscription)
{
    GameObjectManager& manager = GameObjectManager::getInstance();
    ErrCapture err;
    manager.init();
    manager.addGameObject(GameObject::create("Camera"));
    manager.shutdown();
    EXPECT_EQ(err.text(), "Removed m_listener with given m_id. 1\n");

    // The next match may register the same ids again; a second subscription would register
    // the announced object twice and stop at the duplicate assertion.
    manager.init();
    manager.addGameObject(GameObject::create("Camera"));
    announce(GameObject::create("Runner"));
    EXPECT_EQ(manager.getGameObjects().size(), 2u);

    err.clear();
    manager.shutdown();
    EXPECT_EQ(err.text(), "Removed m_listener with given m_id. 2\n");
}

TEST(GameObjectManagerTest, MissingIdWritesLocatedLineAndReturnsEmpty)
{
    GameObjectManager& manager = GameObjectManager::getInstance();
    manager.addGameObject(GameObject::create("Runner"));
    ErrCapture err;
    EXPECT_EQ(manager.getGameObject("runner"), nullptr); // ids are case-sensitive
    EXPECT_TRUE(isLocatedLine(err.text(), "Could not find gameobject with m_id runner")) << err.text();
}

TEST(GameObjectManagerTest, DuplicateIdStopsAtTheAssertion)
{
    GameObjectManager& manager = GameObjectManager::getInstance();
    manager.addGameObject(GameObject::create("finish_line"));
    EXPECT_DEATH(
        manager.addGameObject(GameObject::create("finish_line")),
        "GameObjectManager\\.cpp Line: [0-9]+ Game object with this m_id already exists finish_line");
}

TEST(GameObjectManagerTest, RemoveUnregistersByIdAndIgnoresUnknownObjects)
{
    GameObjectManager& manager = GameObjectManager::getInstance();
    const std::shared_ptr<GameObject> block = GameObject::create("obstacleBlock_1");
    manager.addGameObject(block);
    ErrCapture err;
    manager.removeGameObject(GameObject::create("obstacleBlock_2"));
    EXPECT_EQ(manager.getGameObjects().size(), 1u);
    manager.removeGameObject(block);
    manager.removeGameObject(block);
    EXPECT_TRUE(manager.getGameObjects().empty());
    EXPECT_EQ(err.text(), "");
    EXPECT_EQ(block.use_count(), 1);
}

TEST(GameObjectManagerTest, UpdateSkipsInactiveAndRemovesMarkedObjects)
{
    GameObjectManager& manager = GameObjectManager::getInstance();
    std::vector<std::string> log;
    const std::shared_ptr<GameObject> active = GameObject::create("active");
    const std::shared_ptr<GameObject> hidden = GameObject::create("hidden");
    const std::shared_ptr<GameObject> doomed = GameObject::create("doomed");
    active->addComponent<RecordingComponent>(*active, log, "active");
    hidden->addComponent<RecordingComponent>(*hidden, log, "hidden");
    doomed->addComponent<RecordingComponent>(*doomed, log, "doomed");
    manager.addGameObject(active);
    manager.addGameObject(hidden);
    manager.addGameObject(doomed);

    hidden->setActive(false);
    doomed->markForDelete();
    manager.update(0.5f);
    EXPECT_EQ(log, (std::vector<std::string>{"active.update"}));
    EXPECT_EQ(manager.getGameObjects().size(), 2u);
    EXPECT_EQ(manager.getGameObjects().count("hidden"), 1u);

    ErrCapture err;
    EXPECT_EQ(manager.getGameObject("doomed"), nullptr);
    EXPECT_TRUE(isLocatedLine(err.text(), "Could not find gameobject with m_id doomed")) << err.text();

    log.clear();
    hidden->setActive(true);
    manager.update(0.5f);
    std::sort(log.begin(), log.end()); // the walk follows the hash map's order
    EXPECT_EQ(log, (std::vector<std::string>{"active.update", "hidden.update"}));
}

TEST(GameObjectManagerTest, UpdateOnEmptyRegistryDoesNothing)
{
    ErrCapture err;
    GameObjectManager::getInstance().update(1.f);
    EXPECT_EQ(err.text(), "");
}

TEST(GameObjectManagerTest, ObjectsOutliveShutdownWhileSharedElsewhere)
{
    GameObjectManager& manager = GameObjectManager::getInstance();
    manager.init();
    announce(GameObject::create("Runner"));
    const std::shared_ptr<GameObject> runner = manager.getGameObject("Runner");
    ErrCapture err;
    manager.shutdown();
    ASSERT_NE(runner, nullptr);
    EXPECT_EQ(runner.use_count(), 1);
    EXPECT_EQ(runner->getId(), "Runner");
}
} // namespace orv_gd
