#include "objects/GameObject.h"

#include "TestComponents.h"
#include "support/ErrCapture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace orv_gd
{
using test::DerivedRecordingComponent;
using test::ErrCapture;
using test::RecordingComponent;
using test::StepAnimation;

TEST(GameObjectTest, CreateGivesActiveUnmarkedEmptyObjectWithCopiedId)
{
    std::string id = "Runner";
    const std::shared_ptr<GameObject> object = GameObject::create(id);
    id = "changed";

    EXPECT_EQ(object->getId(), "Runner");
    EXPECT_TRUE(object->isActive());
    EXPECT_FALSE(object->isMarkedForDelete());
    EXPECT_EQ(object->getComponent<IComponent>(), nullptr);
    EXPECT_EQ(object.use_count(), 1);

    std::string copy = object->getId();
    copy += "_renamed";
    EXPECT_EQ(object->getId(), "Runner");

    object->setActive(false);
    EXPECT_FALSE(object->isActive());
    object->markForDelete();
    EXPECT_TRUE(object->isMarkedForDelete());
}

TEST(GameObjectTest, LookupsFollowDynamicTypeAndListOrder)
{
    std::vector<std::string> log;
    const std::shared_ptr<GameObject> object = GameObject::create("map_0_1");
    EXPECT_EQ(object->getComponent<RecordingComponent>(), nullptr);
    EXPECT_TRUE(object->getComponents<RecordingComponent>().empty());

    const auto animation = object->addComponent<StepAnimation>(*object, 1.f);
    const auto first = object->addComponent<RecordingComponent>(*object, log, "first");
    const auto derived = object->addComponent<DerivedRecordingComponent>(*object, log, "derived");
    const auto last = object->addComponent<RecordingComponent>(*object, log, "last");

    EXPECT_EQ(&first->getGameObject(), object.get());
    EXPECT_EQ(object->getComponent<RecordingComponent>(), first);
    EXPECT_EQ(object->getComponent<DerivedRecordingComponent>(), derived);
    EXPECT_EQ(object->getComponent<IAnimationComponent>(), animation);
    EXPECT_EQ(object->getComponent<IComponent>(), animation);

    const std::vector<std::shared_ptr<RecordingComponent>> recorders =
        object->getComponents<RecordingComponent>();
    ASSERT_EQ(recorders.size(), 3u);
    EXPECT_EQ(recorders[0], first);
    EXPECT_EQ(recorders[1], derived);
    EXPECT_EQ(recorders[2], last);
    EXPECT_EQ(object->getComponents<DerivedRecordingComponent>().size(), 1u);
    EXPECT_EQ(object->getComponents<IComponent>().size(), 4u);
    // The factory does not initialise.
    EXPECT_TRUE(log.empty());
}

TEST(GameObjectTest, RemoveComponentTakesOnlyThatVeryComponent)
{
    std::vector<std::string> log;
    const std::shared_ptr<GameObject> object = GameObject::create("a");
    const std::shared_ptr<GameObject> other = GameObject::create("b");
    const auto first = object->addComponent<RecordingComponent>(*object, log, "first");
    const auto second = object->addComponent<RecordingComponent>(*object, log, "second");
    const auto foreign = other->addComponent<RecordingComponent>(*other, log, "foreign");

    object->removeComponent(foreign);
    EXPECT_EQ(object->getComponents<RecordingComponent>().size(), 2u);

    object->removeComponent(first);
    ASSERT_EQ(object->getComponents<RecordingComponent>().size(), 1u);
    EXPECT_EQ(object->getComponent<RecordingComponent>(), second);
    EXPECT_EQ(first.use_count(), 1); // the object let go of its share

    object->removeComponent(first);
    EXPECT_EQ(object->getComponents<RecordingComponent>().size(), 1u);
    EXPECT_EQ(other->getComponent<RecordingComponent>(), foreign);
}

TEST(GameObjectTest, InitOfEmptyObjectSucceedsSilently)
{
    ErrCapture err;
    EXPECT_TRUE(GameObject::create("Camera")->init());
    EXPECT_EQ(err.text(), "");
}

TEST(GameObjectTest, InitStopsAtFirstFailingComponentWithOneMessage)
{
    std::vector<std::string> log;
    const std::shared_ptr<GameObject> object = GameObject::create("obstacleBlock_3");
    object->addComponent<RecordingComponent>(*object, log, "a");
    object->addComponent<RecordingComponent>(*object, log, "b", false);
    object->addComponent<RecordingComponent>(*object, log, "c", false);

    ErrCapture err;
    EXPECT_FALSE(object->init());
    EXPECT_EQ(log, (std::vector<std::string>{"a.init", "b.init"}));
    EXPECT_EQ(err.text(), "Could not initialize component of object obstacleBlock_3\n");
}

TEST(GameObjectTest, InitAndUpdateVisitComponentsInOrderRegardlessOfFlags)
{
    std::vector<std::string> log;
    const std::shared_ptr<GameObject> object = GameObject::create("Runner");
    const auto a = object->addComponent<RecordingComponent>(*object, log, "a");
    object->addComponent<RecordingComponent>(*object, log, "b");
    EXPECT_TRUE(object->init());

    // The object manager decides who updates; the object itself ignores its flags.
    object->setActive(false);
    object->markForDelete();
    object->update(0.25f);
    EXPECT_EQ(log, (std::vector<std::string>{"a.init", "b.init", "a.update", "b.update"}));
    EXPECT_FLOAT_EQ(a->getLastDeltaTime(), 0.25f);
}
} // namespace orv_gd
