#pragma once

#include "objects/IAnimationComponent.h"

#include <memory>

namespace orv_gd
{
class ITransformAnimation;

/// Applies a transform animation rule to its game object every frame.
class TransformAnimationComponent : public IAnimationComponent
{
public:
    TransformAnimationComponent(GameObject& gameObject, std::shared_ptr<ITransformAnimation> animation);

    /// False, with a located error line, when no rule was given.
    bool init() override;
    void update(float deltaTime) override;

private:
    std::shared_ptr<ITransformAnimation> m_animation;
};
} // namespace orv_gd
