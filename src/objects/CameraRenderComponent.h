#pragma once

#include "objects/IRenderComponent.h"

#include <SFML/Graphics/View.hpp>

namespace orv_gd
{
/// Turns its object into the camera: every update centres the view on the object and makes it
/// the window's view, so everything drawn afterwards is seen through it. Not on a sprite layer.
class CameraRenderComponent : public IRenderComponent
{
public:
    CameraRenderComponent(GameObject& gameObject, sf::RenderWindow& renderWindow, sf::View view);

    bool init() override { return true; }
    void update(float deltaTime) override;
    /// Nothing to draw; the sprite manager calls it before the layers.
    void draw() override {}

    const sf::View& getView() const { return m_view; }
    /// The window was resized: the camera shows that much of the world from now on.
    void setViewSize(sf::Vector2f size) { m_view.setSize(size); }

private:
    sf::View m_view;
};
} // namespace orv_gd
