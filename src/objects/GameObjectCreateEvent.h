#pragma once

#include "objects/BasicDataEvent.h"

#include <memory>

namespace orv_gd
{
class GameObject;

/// Announces a new game object; the object manager registers it.
class GameObjectCreateEvent : public BasicDataEvent<std::shared_ptr<GameObject>>
{
public:
    static constexpr EventType Type = 0xDEC71435;

    explicit GameObjectCreateEvent(std::shared_ptr<GameObject> gameObject)
        : BasicDataEvent<std::shared_ptr<GameObject>>(std::move(gameObject))
    {
    }

    EventType getEventType() const override { return Type; }
};
} // namespace orv_gd
