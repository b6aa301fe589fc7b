#pragma once

#include "objects/EventBus.h"

#include <SFML/Graphics/VertexArray.hpp>

#include <list>
#include <map>
#include <string>
#include <vector>

namespace sf
{
class RenderWindow;
}

namespace orv_gd
{
class CameraRenderComponent;
class IRenderComponent;

/// Draws the match's render components in named layers, in a fixed layer order, through the
/// camera. It learns about components only through the event bus, holds plain pointers and
/// owns nothing: a component must leave its layer before it is destroyed.
class SpriteManager
{
public:
    explicit SpriteManager(sf::RenderWindow& renderWindow);
    /// Removes subscriptions left by a missing shutdown (silent when shut down already).
    ~SpriteManager();

    SpriteManager(const SpriteManager&) = delete;
    SpriteManager& operator=(const SpriteManager&) = delete;

    void init();
    void shutdown();
    void setCamera(CameraRenderComponent* camera);
    void setLayerOrder(const std::vector<std::string>& layerOrder);
    void setLayer(const std::string& layer, IRenderComponent& component);
    void removeComponent(IRenderComponent& component);
    std::string getLayer(IRenderComponent& component) const;
    /// The camera's view, then every layer of the order.
    void draw();
    /// Only the camera's view, for a caller that draws the layers one by one between its own drawing.
    void drawCamera();
    /// The active members of one layer of the order, in joining order.
    void drawLayer(const std::string& layer);

    /// The members of a layer in drawing order (empty when the layer is unknown).
    std::list<IRenderComponent*> getLayerMembers(const std::string& layer) const;
    CameraRenderComponent* getCamera() const { return m_camera; }

private:
    sf::RenderWindow& m_renderWindow;
    CameraRenderComponent* m_camera = nullptr;
    std::map<std::string, std::list<IRenderComponent*>> m_layerToComp;
    std::map<IRenderComponent*, std::string> m_compToLayer;
    std::vector<std::string> m_layerOrder;
    std::list<ListenerId> m_listeners;
    /// The run of plain triangles a layer's draw has gathered and not yet drawn.
    sf::VertexArray m_batch{sf::Triangles};
    /// The bus the manager subscribes to, reached once here.
    EventBus& m_eventBus = EventBus::getInstance();
};
} // namespace orv_gd
