#include "objects/GameObjectManager.h"

#include "TestComponents.h"
#include "objects/GameObjectCreateEvent.h"

#include <algorithm>

namespace orv_gd::test
{
static void announce(const std::shared_ptr<GameObject>& object)
{
    EventBus::getInstance().fireEvent(std::make_shared<GameObjectCreateEvent>(object));
}

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
    EXPECT_THAT(err.text(), testing::MatchesRegex("(Removed m_listener with given m_id. [0-9]+\n){2}"));
}

TEST(GameObjectManagerTest, UpdateSkipsInactiveSweepsMarkedAndStopsAtADuplicateId)
{
    GameObjectManager& manager = GameObjectManager::getInstance();
    Log log;
    for (const char* id : {"active", "hidden", "doomed"})
    {
        const std::shared_ptr<GameObject> object = GameObject::create(id);
        object->addComponent<RecordingComponent>(*object, log, id);
        manager.addGameObject(object);
    }
    const std::string located = ".*GameObjectManager\\.cpp Line: [0-9]+ ";
    EXPECT_DEATH(manager.addGameObject(GameObject::create("doomed")),
                 located + "Game object with this m_id already exists doomed");
    manager.getGameObject("hidden")->setActive(false);
    manager.getGameObject("doomed")->markForDelete();
    manager.update(0.5f);
    EXPECT_EQ(log, (Log{"active.update"}));
    ErrCapture err;
    EXPECT_EQ(manager.getGameObject("doomed"), nullptr);
    EXPECT_THAT(err.text(), testing::MatchesRegex(located + "Could not find gameobject with m_id doomed\n"));
    manager.getGameObject("hidden")->setActive(true);
    manager.update(0.5f);
    std::sort(log.begin(), log.end()); // the walk follows the hash map's order
    EXPECT_EQ(log, (Log{"active.update", "active.update", "hidden.update"}));
    manager.shutdown();
}
} // namespace orv_gd::test
