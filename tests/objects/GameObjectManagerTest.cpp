#include "objects/GameObjectManager.h"

#include "TestComponents.h"
#include "objects/GameObjectCreateEvent.h"

#include <algorithm>
#include <regex>

namespace orv_gd
{
using namespace test;

namespace
{
void announce(const std::shared_ptr<GameObject>& object)
{
    EventBus::getInstance().fireEvent(std::make_shared<GameObjectCreateEvent>(object));
}
} // namespace

TEST(GameObjectManagerTest, RegistersAnnouncedObjectsWithOneSubscriptionPerInit)
{
    GameObjectManager& manager = GameObjectManager::getInstance();
    ErrCapture err;
    announce(GameObject::create("early"));
    manager.init();
    const std::shared_ptr<GameObject> runner = GameObject::create("Runner");
    announce(runner);
    EXPECT_EQ(manager.getGameObjects().size(), 1u);
    EXPECT_EQ(manager.getGameObject("Runner"), runner);
    manager.shutdown();
    EXPECT_EQ(runner.use_count(), 1);
    announce(GameObject::create("late"));
    EXPECT_TRUE(manager.getGameObjects().empty());

    // A second subscription would register the announced object twice and stop at the duplicate.
    manager.init();
    announce(runner);
    manager.shutdown();
    EXPECT_EQ(err.text(), "Removed m_listener with given m_id. 1\nRemoved m_listener with given m_id. 2\n");
}

TEST(GameObjectManagerTest, MissingIdIsReportedDuplicateIdStopsRemovalGoesById)
{
    GameObjectManager& manager = GameObjectManager::getInstance();
    manager.addGameObject(GameObject::create("finish_line"));
    const std::string located = ".*GameObjectManager\\.cpp Line: [0-9]+ ";
    {
        ErrCapture err;
        EXPECT_EQ(manager.getGameObject("Finish_line"), nullptr);
        const std::regex line(located + "Could not find gameobject with m_id Finish_line\n");
        EXPECT_TRUE(std::regex_match(err.text(), line)) << err.text();
    }
    EXPECT_DEATH(manager.addGameObject(GameObject::create("finish_line")),
                 located + "Game object with this m_id already exists finish_line");
}

TEST(GameObjectManagerTest, UpdateSkipsInactiveAndSweepsMarkedObjects)
{
    GameObjectManager& manager = GameObjectManager::getInstance();
    Log log;
    for (const char* id : {"active", "hidden", "doomed"})
    {
        const std::shared_ptr<GameObject> object = GameObject::create(id);
        object->addComponent<RecordingComponent>(*object, log, id);
        manager.addGameObject(object);
    }
    manager.getGameObject("hidden")->setActive(false);
    manager.getGameObject("doomed")->markForDelete();
    manager.update(0.5f);
    EXPECT_EQ(log, (Log{"active.update"}));
    EXPECT_EQ(manager.getGameObjects().count("doomed"), 0u);
    manager.getGameObject("hidden")->setActive(true);
    manager.update(0.5f);
    std::sort(log.begin(), log.end()); // the walk follows the hash map's order
    EXPECT_EQ(log, (Log{"active.update", "active.update", "hidden.update"}));
}
} // namespace orv_gd
