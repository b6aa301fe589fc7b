#pragma once

#include "objects/IComponent.h"

#include <SFML/Graphics/Transformable.hpp>

#include <list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace orv_gd
{
/// A named transform in the world that carries an ordered list of components.
/// It has no behaviour of its own; its components do the work. Always held by shared_ptr.
class GameObject : public sf::Transformable
{
public:
    explicit GameObject(std::string id);

    static std::shared_ptr<GameObject> create(const std::string& id);

    std::string getId() const { return m_id; }
    bool isActive() const { return m_isActive; }
    void setActive(bool active) { m_isActive = active; }
    bool isMarkedForDelete() const { return m_isMarkedForDelete; }
    /// The object manager removes a marked object in its next update.
    void markForDelete() { m_isMarkedForDelete = true; }

    /// The component factory: pass the owning object first, then T's other constructor arguments.
    template <typename T, typename... Args>
    std::shared_ptr<T> addComponent(Args&&... args);

    /// The first component, in list order, whose dynamic type is T or derived from T.
    template <typename T>
    std::shared_ptr<T> getComponent() const;

    /// Every component whose dynamic type is T or derived from T, in list order.
    template <typename T>
    std::vector<std::shared_ptr<T>> getComponents() const;

    /// Removes the first entry holding this very component (pointer identity).
    void removeComponent(const std::shared_ptr<IComponent>& component);

    /// Initialises the components in list order; stops at the first one that fails.
    bool init();
    void update(float deltaTime);

private:
    std::string m_id;
    bool m_isMarkedForDelete = false;
    bool m_isActive = true;
    std::list<std::shared_ptr<IComponent>> m_componentList;
};

template <typename T, typename... Args>
std::shared_ptr<T> GameObject::addComponent(Args&&... args)
{
    std::shared_ptr<T> component = std::make_shared<T>(std::forward<Args>(args)...);
    std::shared_ptr<IComponent> base = component;
    if (!base)
    {
        return nullptr;
    }
    m_componentList.push_back(base);
    return component;
}

template <typename T>
std::shared_ptr<T> GameObject::getComponent() const
{
    for (const std::shared_ptr<IComponent>& component : m_componentList)
    {
        if (std::shared_ptr<T> typed = std::dynamic_pointer_cast<T>(component))
        {
            return typed;
        }
    }
    return nullptr;
}

template <typename T>
std::vector<std::shared_ptr<T>> GameObject::getComponents() const
{
    std::vector<std::shared_ptr<T>> result;
    for (const std::shared_ptr<IComponent>& component : m_componentList)
    {
        if (std::shared_ptr<T> typed = std::dynamic_pointer_cast<T>(component))
        {
            result.push_back(typed);
        }
    }
    return result;
}
} // namespace orv_gd
