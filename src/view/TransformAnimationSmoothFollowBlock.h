#pragma once

#include "objects/ITransformAnimation.h"

#include <SFML/System/Vector2.hpp>

#include <memory>

namespace orv_gd
{
class BlockComponent;
class GridManager;
} // namespace orv_gd

namespace orv
{
/// The camera's rule in a match: pulls an object towards the centre of the cell a fixed number of cells away
/// from a block's logical cell, closing the fraction speed x deltaTime of the distance each frame.
class TransformAnimationSmoothFollowBlock : public orv_gd::ITransformAnimation
{
public:
    TransformAnimationSmoothFollowBlock(std::shared_ptr<orv_gd::BlockComponent> target, float speed,
                                        sf::Vector2i offset);

    void update(float deltaTime, sf::Transformable& object) override;

private:
    orv_gd::GridManager& m_grid;
    std::shared_ptr<orv_gd::BlockComponent> m_target;
    float m_speed;
    sf::Vector2i m_offset;
};
} // namespace orv
