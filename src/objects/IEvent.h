#pragma once

#include <cstdint>

namespace orv_gd
{
/// Identifies an event class; every concrete event has a fixed constant.
using EventType = std::uint32_t;

/// Base of every event on the event bus. Events are always held by shared_ptr.
class IEvent
{
public:
    virtual ~IEvent() = default;
    virtual EventType getEventType() const = 0;
};
} // namespace orv_gd
