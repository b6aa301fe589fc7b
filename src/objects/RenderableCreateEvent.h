#pragma once

#include "objects/RenderableEvent.h"

namespace orv_gd
{
/// Announces a render component; the sprite manager puts it on the named layer.
class RenderableCreateEvent : public RenderableEvent
{
public:
    static constexpr EventType Type = 0x9BA51CE7;

    using RenderableEvent::RenderableEvent;

    EventType getEventType() const override { return Type; }
};
} // namespace orv_gd
