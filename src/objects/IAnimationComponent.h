#pragma once

#include "objects/IComponent.h"

namespace orv_gd
{
/// Marks components that animate their object's transform.
class IAnimationComponent : public IComponent
{
public:
    explicit IAnimationComponent(GameObject& gameObject) : IComponent(gameObject) {}
};
} // namespace orv_gd
