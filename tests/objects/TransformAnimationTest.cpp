#include "objects/TransformAnimationComponent.h"

#include "match/BlockComponent.h"
#include "match/GridManager.h"
#include "objects/GameObject.h"
#include "objects/TransformAnimationSmoothFollowBlock.h"
#include "objects/TransformAnimationSmoothFollowComponent.h"
#include "support/ErrCapture.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <gtest/gtest.h>

#include <memory>

namespace orv_gd
{
namespace
{
using orv::TransformAnimationSmoothFollowBlock;
using orv::TransformAnimationSmoothFollowComponent;

/// A follower at the origin chasing a resting target object at (100, 40) with speed 10.
class FollowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_target->setPosition(90.0f, 50.0f);
        m_rule =
            std::make_shared<TransformAnimationSmoothFollowComponent>(m_target, 10.0f, sf::Vector2i(10, -10));
    }

    std::shared_ptr<GameObject> m_target = GameObject::create("target");
    std::shared_ptr<GameObject> m_follower = GameObject::create("follower");
    std::shared_ptr<TransformAnimationSmoothFollowComponent> m_rule;
};

TEST_F(FollowTest, FrameTimeDecidesHowMuchOfTheDistanceCloses)
{
    m_rule->update(0.05f, *m_follower);
    EXPECT_FLOAT_EQ(m_follower->getPosition().x, 50.0f);
    EXPECT_FLOAT_EQ(m_follower->getPosition().y, 20.0f);

    m_follower->setPosition(0.0f, 0.0f);
    m_rule->update(0.1f, *m_follower);
    EXPECT_FLOAT_EQ(m_follower->getPosition().x, 100.0f);
    EXPECT_FLOAT_EQ(m_follower->getPosition().y, 40.0f);

    m_follower->setPosition(0.0f, 0.0f);
    m_rule->update(0.2f, *m_follower);
    EXPECT_FLOAT_EQ(m_follower->getPosition().x, 200.0f);
    EXPECT_FLOAT_EQ(m_follower->getPosition().y, 80.0f);

    m_follower->setPosition(7.0f, 3.0f);
    m_rule->update(0.0f, *m_follower);
    EXPECT_EQ(m_follower->getPosition(), sf::Vector2f(7.0f, 3.0f));
}

TEST_F(FollowTest, ComponentMovesOnlyThePositionOfItsObject)
{
    m_follower->setRotation(30.0f);
    m_follower->setScale(2.0f, 3.0f);
    auto component = m_follower->addComponent<TransformAnimationComponent>(*m_follower, m_rule);
    EXPECT_TRUE(m_follower->init());
    m_follower->update(0.05f);
    EXPECT_FLOAT_EQ(m_follower->getPosition().x, 50.0f);
    EXPECT_FLOAT_EQ(m_follower->getRotation(), 30.0f);
    EXPECT_EQ(m_follower->getScale(), sf::Vector2f(2.0f, 3.0f));
}

TEST_F(FollowTest, EmptyTargetsLeaveTheObjectWhereItIs)
{
    m_follower->setPosition(5.0f, 6.0f);
    TransformAnimationSmoothFollowComponent(nullptr, 10.0f, {1, 1}).update(0.05f, *m_follower);
    TransformAnimationSmoothFollowBlock(nullptr, 10.0f, {1, 1}).update(0.05f, *m_follower);
    EXPECT_EQ(m_follower->getPosition(), sf::Vector2f(5.0f, 6.0f));
}

TEST_F(FollowTest, ComponentWithoutARuleFailsInitAndStopsInUpdate)
{
    TransformAnimationComponent component(*m_follower, nullptr);
    {
        test::ErrCapture err;
        EXPECT_FALSE(component.init());
        EXPECT_NE(err.text().find(" Line: "), std::string::npos);
        EXPECT_NE(err.text().find(" TransformAnimation must not be nullptr\n"), std::string::npos);
    }
    EXPECT_DEATH(component.update(0.016f), "Animation must not be nullptr");
}

TEST(FollowBlockTest, GoalIsTheCentreOfTheCellOffsetFromTheBlocksCell)
{
    // Blocks hold a shader, so this needs the display.
    sf::RenderWindow window(sf::VideoMode(100, 100), "follow test", sf::Style::None);
    window.setVisible(false);
    GridManager::getInstance().setCellSize({600.0f / 11.0f, 600.0f / 11.0f});
    std::shared_ptr<GameObject> runner = GameObject::create("Runner");
    auto block = runner->addComponent<BlockComponent>(*runner, window, sf::Vector2i(5, 9), sf::Color::Blue);
    TransformAnimationSmoothFollowBlock rule(block, 10.0f, {3, 0});

    std::shared_ptr<GameObject> camera = GameObject::create("Camera");
    rule.update(0.1f, *camera);
    EXPECT_NEAR(camera->getPosition().x, 463.64f, 0.01f);
    EXPECT_NEAR(camera->getPosition().y, 518.18f, 0.01f);

    // The logical cell counts, not the sliding picture: the goal jumps at once.
    block->setGridPosition({6, 9});
    rule.update(0.1f, *camera);
    EXPECT_NEAR(camera->getPosition().x, 9.5f * 600.0f / 11.0f, 0.01f);
}
} // namespace
} // namespace orv_gd
