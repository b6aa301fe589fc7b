#pragma once

#include <SFML/System/Vector2.hpp>

namespace sf
{
class Transformable;
}

namespace orv_gd
{
/// A rule that moves an object every frame; held by a TransformAnimationComponent.
class ITransformAnimation
{
public:
    virtual ~ITransformAnimation() = default;

    /// Moves the object (only its position) for one frame of deltaTime seconds.
    virtual void update(float deltaTime, sf::Transformable& object) = 0;

protected:
    /// The smooth-follow step: closes the fraction speed x deltaTime of the object's distance
    /// to target, at most all of it.
    static void pullTowards(sf::Transformable& object, sf::Vector2f target, float speed, float deltaTime);
};
} // namespace orv_gd
