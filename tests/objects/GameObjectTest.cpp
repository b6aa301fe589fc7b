#include "objects/GameObject.h"

#include "TestComponents.h"
#include "objects/TransformAnimationComponent.h"

namespace orv_gd
{
using namespace test;
using Recorders = std::vector<std::shared_ptr<RecordingComponent>>;

TEST(GameObjectTest, LookupsFollowDynamicTypeAndListOrder)
{
    Log log;
    const std::shared_ptr<GameObject> object = GameObject::create("map_0_1");
    EXPECT_EQ(object->getComponent<IComponent>(), nullptr);
    EXPECT_TRUE(object->getComponents<RecordingComponent>().empty());

    const auto first = object->addComponent<RecordingComponent>(*object, log, "first");
    const auto animation = object->addComponent<TransformAnimationComponent>(*object, nullptr);
    const auto last = object->addComponent<RecordingComponent>(*object, log, "last");
    EXPECT_EQ(object->getComponent<IComponent>(), first);
    EXPECT_EQ(object->getComponent<IAnimationComponent>(), animation);
    EXPECT_EQ(object->getComponents<RecordingComponent>(), (Recorders{first, last}));
    EXPECT_TRUE(log.empty()); // the factory does not initialise

    // Removal takes that very component only, and only once.
    object->removeComponent(std::make_shared<RecordingComponent>(*object, log, "stranger"));
    object->removeComponent(first);
    object->removeComponent(first);
    EXPECT_EQ(object->getComponents<RecordingComponent>(), (Recorders{last}));
    EXPECT_EQ(first.use_count(), 1);
}

TEST(GameObjectTest, InitStopsAtFirstFailureWithOneMessageAndUpdateIgnoresFlags)
{
    Log log;
    const std::shared_ptr<GameObject> object = GameObject::create("obstacleBlock_3");
    for (const auto& [name, result] : {std::pair("a", true), {"b", false}, {"c", false}})
    {
        object->addComponent<RecordingComponent>(*object, log, name, result);
    }
    ErrCapture err;
    EXPECT_FALSE(object->init());
    EXPECT_EQ(err.text(), "Could not initialize component of object obstacleBlock_3\n");

    // The object manager decides who updates; the object itself ignores its flags.
    object->setActive(false);
    object->markForDelete();
    object->update(0.25f);
    EXPECT_EQ(log, (Log{"a.init", "b.init", "a.update", "b.update", "c.update"}));
}
} // namespace orv_gd
