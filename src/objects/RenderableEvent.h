#pragma once

#include "objects/BasicDataEvent.h"

#include <string>
#include <utility>

namespace orv_gd
{
class IRenderComponent;

/// A render component and the name of a layer: the common part of the events that put a
/// component on a layer and take it off again. Each concrete event keeps its own type id.
class RenderableEvent : public BasicDataEvent<IRenderComponent&>
{
public:
    RenderableEvent(std::string layerName, IRenderComponent& component)
        : BasicDataEvent<IRenderComponent&>(component), m_layerName(std::move(layerName))
    {
    }

    std::string getLayerName() const { return m_layerName; }

private:
    std::string m_layerName;
};
} // namespace orv_gd
