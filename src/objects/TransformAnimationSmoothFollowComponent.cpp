#include "objects/TransformAnimationSmoothFollowComponent.h"

#include "objects/GameObject.h"

#include <utility>

namespace orv
{
TransformAnimationSmoothFollowComponent::TransformAnimationSmoothFollowComponent(
    std::shared_ptr<orv_gd::GameObject> target, float speed, sf::Vector2i offset)
    : m_target(std::move(target)), m_speed(speed), m_offset(offset)
{
}

void TransformAnimationSmoothFollowComponent::update(float deltaTime, sf::Transformable& object)
{
    if (!m_target)
    {
        return;
    }
    pullTowards(object, m_target->getPosition() + sf::Vector2f(m_offset), m_speed, deltaTime);
}
} // namespace orv
