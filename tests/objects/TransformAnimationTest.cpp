#include "objects/TransformAnimationComponent.h"

#include "TestComponents.h"
#include "match/BlockComponent.h"
#include "match/GridManager.h"
#include "objects/TransformAnimationSmoothFollowBlock.h"
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

TEST(TransformAnimationTest, BlockRuleAimsAtTheCellCentreOffsetFromTheBlocksLogicalCell)
{
    sf::RenderWindow window(sf::VideoMode(100, 100), "follow test", sf::Style::None); // blocks hold a shader
    const float cell = 600.f / 11.f;
    const sf::Vector2f previousCell = GridManager::getInstance().getCellSize();
    GridManager::getInstance().setCellSize({cell, cell});
    const std::shared_ptr<GameObject> runner = GameObject::create("Runner");
    auto block = runner->addComponent<BlockComponent>(*runner, window, sf::Vector2i(5, 9), sf::Color::Blue);
    const std::shared_ptr<GameObject> camera = GameObject::create("Camera");
    camera->addComponent<TransformAnimationComponent>(
        *camera, std::make_shared<orv::TransformAnimationSmoothFollowBlock>(block, 10.f, sf::Vector2i(3, 0)));
    camera->update(0.1f);
    EXPECT_EQ(camera->getPosition(), sf::Vector2f(8.5f, 9.5f) * cell);
    block->setGridPosition({6, 9}); // the goal jumps at once, not with the slide
    camera->update(0.1f);
    orv::TransformAnimationSmoothFollowBlock(nullptr, 10.f, {3, 0}).update(0.1f, *camera); // stays put
    EXPECT_EQ(camera->getPosition(), sf::Vector2f(9.5f, 9.5f) * cell);
    GridManager::getInstance().setCellSize(previousCell);
}
} // namespace orv_gd::test
