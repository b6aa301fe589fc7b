#pragma once

#include "objects/ITransformAnimation.h"

#include <SFML/System/Vector2.hpp>

#include <memory>

namespace orv_gd
{
class GameObject;
}

namespace orv
{
/// Pulls an object towards another object's position plus a pixel offset, closing the fraction
/// speed x deltaTime of the distance each frame.
class TransformAnimationSmoothFollowComponent : public orv_gd::ITransformAnimation
{
public:
    TransformAnimationSmoothFollowComponent(std::shared_ptr<orv_gd::GameObject> target, float speed,
                                            sf::Vector2i offset);

    void update(float deltaTime, sf::Transformable& object) override;

private:
    std::shared_ptr<orv_gd::GameObject> m_target;
    float m_speed;
    sf::Vector2i m_offset;
};
} // namespace orv
