#pragma once

#include "objects/IComponent.h"

namespace sf
{
class RenderWindow;
class VertexArray;
} // namespace sf

namespace orv_gd
{
/// A component that draws itself. Only the sprite manager calls draw(), never the object.
/// A render component must leave its layer (RenderableDestroyEvent) before it is destroyed.
class IRenderComponent : public IComponent
{
public:
    IRenderComponent(GameObject& gameObject, sf::RenderWindow& renderWindow)
        : IComponent(gameObject), m_renderWindow(renderWindow)
    {
    }

    virtual void draw() = 0;
    /// What draw() would draw, as plain coloured triangles for the default render states, when it
    /// can be said that way (empty when it draws nothing); nullptr when only draw() will do. The
    /// sprite manager draws a layer's runs of such components as one batch, in their order.
    virtual const sf::VertexArray* getTriangles() { return nullptr; }

protected:
    sf::RenderWindow& m_renderWindow;
};
} // namespace orv_gd
