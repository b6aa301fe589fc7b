#pragma once

#include "objects/BasicDataEvent.h"

#include <string>

namespace orv_gd
{
class IRenderComponent;

/// Announces a render component; the sprite manager puts it on the named layer.
class RenderableCreateEvent : public BasicDataEvent<IRenderComponent&>
{
public:
    static constexpr EventType Type = 0x9BA51CE7;

    RenderableCreateEvent(std::string layerName, IRenderComponent& component)
        : BasicDataEvent<IRenderComponent&>(component), m_layerName(std::move(layerName))
    {
    }

    EventType getEventType() const override { return Type; }
    std::string getLayerName() const { return m_layerName; }

private:
    std::string m_layerName;
};
} // namespace orv_gd
