#pragma once

#include "objects/IComponent.h"

namespace sf
{
class RenderWindow;
}

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

protected:
    sf::RenderWindow& m_renderWindow;
};
} // namespace orv_gd
