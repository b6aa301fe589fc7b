#pragma once

namespace orv_gd
{
class GameObject;

/// A piece of behaviour carried by a GameObject; the object owns it and updates it every frame.
class IComponent
{
public:
    explicit IComponent(GameObject& gameObject) : m_gameObject(gameObject) {}
    virtual ~IComponent() = default;

    /// Called once through GameObject::init after all components were added; false when it cannot work.
    virtual bool init() = 0;
    virtual void update(float deltaTime) = 0;

    GameObject& getGameObject() const { return m_gameObject; }

protected:
    GameObject& m_gameObject;
};
} // namespace orv_gd
