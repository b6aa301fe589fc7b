#include "objects/SpriteManager.h"

#include "core/CheckedAssert.h"
#include "objects/CameraRenderComponent.h"
#include "objects/GameObject.h"
#include "objects/IRenderComponent.h"
#include "objects/RenderableCreateEvent.h"
#include "objects/RenderableDestroyEvent.h"
#include "resources/TraceRecorder.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <memory>

namespace orv_gd
{
SpriteManager::SpriteManager(sf::RenderWindow& renderWindow) : m_renderWindow(renderWindow) {}

SpriteManager::~SpriteManager()
{
    // The listeners point at this manager; a manager that was not shut down must not leave
    // them behind on the bus, which lives on.
    for (const ListenerId id : m_listeners)
    {
        m_eventBus.removeListener(id);
    }
}

void SpriteManager::init()
{
    // Both listeners hold a plain pointer to the manager; shutdown removes them again.
    const ListenerId createId = m_eventBus.addListener(
        RenderableCreateEvent::Type,
        [this](std::shared_ptr<IEvent> event)
        {
            const std::shared_ptr<RenderableCreateEvent> renderableCreateEvent =
                std::static_pointer_cast<RenderableCreateEvent>(event);
            setLayer(renderableCreateEvent->getLayerName(), renderableCreateEvent->getData());
        });
    const ListenerId destroyId =
        m_eventBus.addListener(RenderableDestroyEvent::Type,
                               [this](std::shared_ptr<IEvent> event)
                               {
                                   const std::shared_ptr<RenderableDestroyEvent> destroyEvent =
                                       std::static_pointer_cast<RenderableDestroyEvent>(event);
                                   removeComponent(destroyEvent->getData());
                               });
    m_listeners.push_back(createId);
    m_listeners.push_back(destroyId);
}

void SpriteManager::shutdown()
{
    m_layerOrder.clear();
    m_layerToComp.clear();
    m_compToLayer.clear();
    m_camera = nullptr;
    for (const ListenerId id : m_listeners)
    {
        m_eventBus.removeListener(id);
    }
    m_listeners.clear();
}

void SpriteManager::setCamera(CameraRenderComponent* camera)
{
    m_camera = camera;
}

void SpriteManager::setLayerOrder(const std::vector<std::string>& layerOrder)
{
    m_layerOrder = layerOrder;
}

void SpriteManager::setLayer(const std::string& layer, IRenderComponent& component)
{
    // A component lives on exactly one layer: a second registration moves it to the end of the
    // new one (the same layer included).
    const auto known = m_compToLayer.find(&component);
    if (known != m_compToLayer.end())
    {
        ORV_ERROR("Removing component from layer, before adding to new layer. from ", known->second, " to ",
                  layer);
        m_layerToComp[known->second].remove(&component);
    }
    m_compToLayer[&component] = layer;
    m_layerToComp[layer].push_back(&component);
}

void SpriteManager::removeComponent(IRenderComponent& component)
{
    const auto known = m_compToLayer.find(&component);
    if (known == m_compToLayer.end())
    {
        return;
    }
    // An emptied layer keeps its (empty) list, so drawing it stays legal.
    m_layerToComp[known->second].remove(&component);
    m_compToLayer.erase(known);
}

std::string SpriteManager::getLayer(IRenderComponent& component) const
{
    const auto known = m_compToLayer.find(&component);
    return known != m_compToLayer.end() ? known->second : std::string();
}

std::list<IRenderComponent*> SpriteManager::getLayerMembers(const std::string& layer) const
{
    const auto members = m_layerToComp.find(layer);
    return members != m_layerToComp.end() ? members->second : std::list<IRenderComponent*>();
}

void SpriteManager::draw()
{
    drawCamera();
    // Layers not in the order ("Background") are never drawn.
    for (const std::string& order : m_layerOrder)
    {
        drawLayer(order);
    }
}

void SpriteManager::drawCamera()
{
    ORV_ASSERT(m_camera != nullptr, "Camera is nullptr");
    m_camera->draw();
}

void SpriteManager::drawLayer(const std::string& order)
{
    TRACE_SCOPE(order);
    const auto layer = m_layerToComp.find(order);
    ORV_ASSERT(layer != m_layerToComp.end(), "Layer with this name not defined: ", order);
    // The renderer sets up every draw on its own: the layer's plain blocks, one draw each, cost
    // more than their pixels. A run of components that can give their triangles goes as one draw;
    // any other component is drawn in its turn, after the run before it, so the order holds.
    m_batch.clear();
    const auto flush = [this]
    {
        if (m_batch.getVertexCount() > 0)
        {
            m_renderWindow.draw(m_batch);
            m_batch.clear();
        }
    };
    for (IRenderComponent* component : layer->second)
    {
        // An inactive object stays on its layer and is drawn again once it is active.
        if (!component->getGameObject().isActive())
        {
            continue;
        }
        if (const sf::VertexArray* triangles = component->getTriangles())
        {
            for (std::size_t i = 0; i < triangles->getVertexCount(); ++i)
            {
                m_batch.append((*triangles)[i]);
            }
            continue;
        }
        flush();
        component->draw();
    }
    flush();
}
} // namespace orv_gd
