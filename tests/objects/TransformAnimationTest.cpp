#include "objects/TransformAnimationComponent.h"

#include "TestComponents.h"
#include "objects/TransformAnimationSmoothFollowComponent.h"

#include <tuple>

namespace orv_gd::test
{
TEST(TransformAnimationTest, FollowRuleClosesSpeedTimesFrameTimeOfTheDistance)
{
    // From the origin towards (100, 40) = target (90, 50) + offset (10, -10), at speed 10:
    // half way, exactly there; a longer frame (a hitch) lands there too, never past it; standing
    // still without a target.
    const std::shared_ptr<GameObject> target = GameObject::create("target");
    target->setPosition(90.f, 50.f);
    for (const auto& [dt, followed, x, y] : {std::tuple(0.05f, target, 50.f, 20.f),
                                             {0.1f, target, 100.f, 40.f},
                                             {0.15f, target, 100.f, 40.f},
                                             {0.5f, target, 100.f, 40.f},
                                             {0.1f, nullptr, 0.f, 0.f}})
    {
        SCOPED_TRACE(dt);
        sf::Transformable follower;
        orv::TransformAnimationSmoothFollowComponent(followed, 10.f, {10, -10}).update(dt, follower);
        EXPECT_NEAR(follower.getPosition().x, x, 1e-3f);
        EXPECT_NEAR(follower.getPosition().y, y, 1e-3f);
    }
}
} // namespace orv_gd::test
