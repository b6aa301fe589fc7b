#include "objects/TransformAnimationComponent.h"

#include "TestComponents.h"
#include "match/BlockComponent.h"
#include "match/GridManager.h"
#include "objects/TransformAnimationSmoothFollowBlock.h"
#include "objects/TransformAnimationSmoothFollowComponent.h"

#include <regex>
#include <tuple>

namespace orv_gd
{
using namespace test;

TEST(TransformAnimationTest, FollowRuleClosesSpeedTimesFrameTimeOfTheDistance)
{
    // From the origin towards (100, 40) = target (90, 50) + offset (10, -10), at speed 10:
    // half way, exactly there, as far beyond as it was before, and standing still without a target.
    const std::shared_ptr<GameObject> target = GameObject::create("target");
    target->setPosition(90.f, 50.f);
    for (const auto& [dt, followed, x, y] : {std::tuple(0.05f, target, 50.f, 20.f),
                                             {0.1f, target, 100.f, 40.f},
                                             {0.2f, target, 200.f, 80.f},
                                             {0.1f, nullptr, 0.f, 0.f}})
    {
        SCOPED_TRACE(dt);
        const std::shared_ptr<GameObject> follower = GameObject::create("follower");
        auto rule = std::make_shared<orv::TransformAnimationSmoothFollowComponent>(followed, 10.f,
                                                                                   sf::Vector2i(10, -10));
        follower->addComponent<TransformAnimationComponent>(*follower, rule);
        ASSERT_TRUE(follower->init());
        follower->update(dt);
        EXPECT_NEAR(follower->getPosition().x, x, 1e-3f);
        EXPECT_NEAR(follower->getPosition().y, y, 1e-3f);
    }
}

TEST(TransformAnimationTest, ComponentWithoutARuleFailsInitAndStopsInUpdate)
{
    TransformAnimationComponent component(*GameObject::create("Camera"), nullptr);
    {
        ErrCapture err;
        EXPECT_FALSE(component.init());
        EXPECT_TRUE(std::regex_match(
            err.text(), std::regex(".*\\.cpp Line: [0-9]+ TransformAnimation must not be nullptr\n")));
    }
    EXPECT_DEATH(component.update(0.016f), "\\.cpp Line: [0-9]+ Animation must not be nullptr");
}

TEST(TransformAnimationTest, BlockRuleAimsAtTheCellCentreOffsetFromTheBlocksLogicalCell)
{
    sf::RenderWindow window(sf::VideoMode(100, 100), "follow test", sf::Style::None); // blocks hold a shader
    const float cell = 600.f / 11.f;
    GridManager::getInstance().setCellSize({cell, cell});
    const std::shared_ptr<GameObject> runner = GameObject::create("Runner");
    auto block = runner->addComponent<BlockComponent>(*runner, window, sf::Vector2i(5, 9), sf::Color::Blue);
    orv::TransformAnimationSmoothFollowBlock rule(block, 10.f, {3, 0});
    const std::shared_ptr<GameObject> camera = GameObject::create("Camera");
    rule.update(0.1f, *camera);
    EXPECT_NEAR(camera->getPosition().x, 8.5f * cell, 0.01f);
    EXPECT_NEAR(camera->getPosition().y, 9.5f * cell, 0.01f);
    block->setGridPosition({6, 9}); // the goal jumps at once, not with the slide
    rule.update(0.1f, *camera);
    EXPECT_NEAR(camera->getPosition().x, 9.5f * cell, 0.01f);
    orv::TransformAnimationSmoothFollowBlock(nullptr, 10.f, {3, 0}).update(0.1f, *camera);
    EXPECT_NEAR(camera->getPosition().x, 9.5f * cell, 0.01f);
}
} // namespace orv_gd
