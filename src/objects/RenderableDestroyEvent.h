#pragma once

#include "objects/RenderableEvent.h"

namespace orv_gd
{
/// Announces the end of a render component; the sprite manager takes it off its layer.
class RenderableDestroyEvent : public RenderableEvent
{
public:
    static constexpr EventType Type = 0xDA1E1387;

    using RenderableEvent::RenderableEvent;

    EventType getEventType() const override { return Type; }
};
} // namespace orv_gd
