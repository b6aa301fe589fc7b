#include "objects/TransformAnimationComponent.h"

#include "match/BlockComponent.h"
#include "match/GridManager.h"
#include "objects/GameObject.h"
#include "objects/TransformAnimationSmoothFollowBlock.h"
#include "objects/TransformAnimationSmoothFollowComponent.h"
#include "support/ErrCapture.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

namespace orv_gd
{
namespace
{
using orv::TransformAnimationSmoothFollowBlock;
using orv::TransformAnimationSmoothFollowComponent;

/// Moves a follower from the origin for one frame towards (100, 40) = target (90, 50) + offset (10, -10).
sf::Vector2f followOnce(float deltaTime, bool withTarget = true)
{
    std::shared_ptr<GameObject> target;
    if (withTarget)
    {
        target = GameObject::create("target");
        target->setPosition(90.0f, 50.0f);
    }
    std::shared_ptr<GameObject> follower = GameObject::create("follower");
    follower->setRotation(30.0f);
    follower->setScale(2.0f, 3.0f);
    follower->addComponent<TransformAnimationComponent>(
        *follower,
        std::make_shared<TransformAnimationSmoothFollowComponent>(target, 10.0f, sf::Vector2i(10, -10)));
    EXPECT_TRUE(follower->init());
    follower->update(deltaTime);
    EXPECT_FLOAT_EQ(follower->getRotation(), 30.0f);
    EXPECT_EQ(follower->getScale(), sf::Vector2f(2.0f, 3.0f));
    return follower->getPosition();
}

MATCHER_P2(IsNear, x, y, "")
{
    return std::abs(arg.x - x) < 1e-3f && std::abs(arg.y - y) < 1e-3f;
}

TEST(TransformAnimationTest, FrameTimeDecidesHowMuchOfTheDistanceCloses)
{
    EXPECT_THAT(followOnce(0.05f), IsNear(50.0f, 20.0f)); // half way
    EXPECT_THAT(followOnce(0.1f), IsNear(100.0f, 40.0f)); // exactly there
    EXPECT_THAT(followOnce(0.2f), IsNear(200.0f, 80.0f)); // as far beyond as it was before
    EXPECT_THAT(followOnce(0.0f), IsNear(0.0f, 0.0f));
    EXPECT_THAT(followOnce(0.1f, false), IsNear(0.0f, 0.0f));
}

TEST(TransformAnimationTest, ComponentWithoutARuleFailsInitAndStopsInUpdate)
{
    std::shared_ptr<GameObject> object = GameObject::create("camera");
    TransformAnimationComponent component(*object, nullptr);
    {
        test::ErrCapture err;
        EXPECT_FALSE(component.init());
        EXPECT_NE(err.text().find(" Line: "), std::string::npos);
        EXPECT_NE(err.text().find(" TransformAnimation must not be nullptr\n"), std::string::npos);
    }
    EXPECT_DEATH(component.update(0.016f), "Animation must not be nullptr");
}

TEST(TransformAnimationTest, BlockGoalIsTheCentreOfTheCellOffsetFromTheBlocksLogicalCell)
{
    sf::RenderWindow window(sf::VideoMode(100, 100), "follow test", sf::Style::None); // blocks hold a shader
    window.setVisible(false);
    GridManager::getInstance().setCellSize({600.0f / 11.0f, 600.0f / 11.0f});
    std::shared_ptr<GameObject> runner = GameObject::create("Runner");
    auto block = runner->addComponent<BlockComponent>(*runner, window, sf::Vector2i(5, 9), sf::Color::Blue);
    TransformAnimationSmoothFollowBlock rule(block, 10.0f, {3, 0});
    std::shared_ptr<GameObject> camera = GameObject::create("Camera");
    rule.update(0.1f, *camera);
    EXPECT_NEAR(camera->getPosition().x, 463.64f, 0.01f);
    EXPECT_NEAR(camera->getPosition().y, 518.18f, 0.01f);
    block->setGridPosition({6, 9}); // the goal jumps at once, not with the slide
    rule.update(0.1f, *camera);
    EXPECT_NEAR(camera->getPosition().x, 9.5f * 600.0f / 11.0f, 0.01f);
    TransformAnimationSmoothFollowBlock(nullptr, 10.0f, {3, 0}).update(0.1f, *camera);
    EXPECT_NEAR(camera->getPosition().x, 9.5f * 600.0f / 11.0f, 0.01f);
}
} // namespace
} // namespace orv_gd
