#include "objects/TransformAnimationComponent.h"

#include "core/CheckedAssert.h"
#include "objects/GameObject.h"
#include "objects/ITransformAnimation.h"

#include <utility>

namespace orv_gd
{
TransformAnimationComponent::TransformAnimationComponent(GameObject& gameObject,
                                                         std::shared_ptr<ITransformAnimation> animation)
    : IAnimationComponent(gameObject), m_animation(std::move(animation))
{
}

bool TransformAnimationComponent::init()
{
    if (!m_animation)
    {
        ORV_ERROR("TransformAnimation must not be nullptr");
        return false;
    }
    return true;
}

void TransformAnimationComponent::update(float deltaTime)
{
    ORV_ASSERT(m_animation != nullptr, "Animation must not be nullptr");
    m_animation->update(deltaTime, m_gameObject);
}
} // namespace orv_gd
