#include "view/TransformAnimationSmoothFollowBlock.h"

#include "view/BlockComponent.h"
#include "view/GridManager.h"

#include <SFML/Graphics/Transformable.hpp>

#include <utility>

namespace orv
{
TransformAnimationSmoothFollowBlock::TransformAnimationSmoothFollowBlock(
    std::shared_ptr<orv_gd::BlockComponent> target, float speed, sf::Vector2i offset)
    : m_grid(orv_gd::GridManager::getInstance()), m_target(std::move(target)), m_speed(speed),
      m_offset(offset)
{
}

void TransformAnimationSmoothFollowBlock::update(float deltaTime, sf::Transformable& object)
{
    if (!m_target)
    {
        return;
    }
    // The block's logical cell, not its sliding picture: the camera sets off as soon as the cell changes.
    const sf::Vector2i cell = m_target->getGridPosition();
    const sf::Vector2f cellSize = m_grid.getCellSize();
    const sf::Vector2f target(
        (static_cast<float>(cell.x) + 0.5f + static_cast<float>(m_offset.x)) * cellSize.x,
        (static_cast<float>(cell.y) + 0.5f + static_cast<float>(m_offset.y)) * cellSize.y);
    pullTowards(object, target, m_speed, deltaTime);
}
} // namespace orv
