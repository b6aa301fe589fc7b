#pragma once

#include "objects/BasicDataEvent.h"

#include <string>

namespace orv_gd
{
class IRenderComponent;

/// Announces the end of a render component; the sprite manager takes it off its layer.
class RenderableDestroyEvent : public BasicDataEvent<IRenderComponent&>
{
public:
    static constexpr EventType Type = 0xDA1E1387;

    RenderableDestroyEvent(std::string layerName, IRenderComponent& component)
        : BasicDataEvent<IRenderComponent&>(component), m_layerName(std::move(layerName))
    {
    }

    EventType getEventType() const override { return Type; }
    std::string getLayerName() const { return m_layerName; }

private:
    std::string m_layerName;
};
} // namespace orv_gd
