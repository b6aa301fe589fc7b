#include "objects/GameObject.h"

#include "TestComponents.h"
#include "objects/TransformAnimationComponent.h"

namespace orv_gd::test
{
using Recorders = std::vector<std::shared_ptr<RecordingComponent>>;

TEST(GameObjectTest, LookupsFollowDynamicTypeAndListOrderAndInitStopsAtTheFirstFailure)
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
    // An animation without a rule cannot work: it says so, the object once, and "last" never starts.
    EXPECT_DEATH(object->update(0.f),
                 "TransformAnimationComponent\\.cpp Line: [0-9]+ Animation must not be nullptr");
    ErrCapture err;
    EXPECT_FALSE(object->init());
    EXPECT_THAT(err.text(), testing::MatchesRegex(
                                ".*TransformAnimationComponent\\.cpp Line: [0-9]+ TransformAnimation "
                                "must not be nullptr\nCould not initialize component of object map_0_1\n"));
    // The object manager decides who updates; the object itself ignores its flags.
    object->setActive(false);
    object->markForDelete();
    object->removeComponent(animation);
    object->update(0.25f);
    EXPECT_EQ(log, (Log{"first.init", "first.update", "last.update"}));
}
} // namespace orv_gd::test
