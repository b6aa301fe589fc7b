#pragma once

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
};
} // namespace orv_gd
