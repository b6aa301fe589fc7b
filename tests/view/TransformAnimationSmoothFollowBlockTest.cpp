#include "view/TransformAnimationSmoothFollowBlock.h"

#include "objects/GameObject.h"
#include "objects/TransformAnimationComponent.h"
#include "view/BlockComponent.h"
#include "view/GridManager.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <gtest/gtest.h>

namespace orv_gd::test
{
TEST(TransformAnimationSmoothFollowBlockTest, BlockRuleAimsAtTheCellCentreOffsetFromTheBlocksLogicalCell)
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
