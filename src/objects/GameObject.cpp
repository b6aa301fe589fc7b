#include "objects/GameObject.h"

#include <SFML/System/Err.hpp>

#include <algorithm>

namespace orv_gd
{
GameObject::GameObject(std::string id) : m_id(std::move(id)) {}

std::shared_ptr<GameObject> GameObject::create(const std::string& id)
{
    return std::make_shared<GameObject>(id);
}

void GameObject::removeComponent(const std::shared_ptr<IComponent>& component)
{
    const auto it = std::find(m_componentList.begin(), m_componentList.end(), component);
    if (it != m_componentList.end())
    {
        m_componentList.erase(it);
    }
}

bool GameObject::init()
{
    for (const std::shared_ptr<IComponent>& component : m_componentList)
    {
        if (!component->init())
        {
            // The components after a failing one stay uninitialised; the caller decides.
            sf::err() << "Could not initialize component of object " << m_id << std::endl;
            return false;
        }
    }
    return true;
}

void GameObject::update(float deltaTime)
{
    // The object's own flags are the object manager's business, not checked here.
    for (const std::shared_ptr<IComponent>& component : m_componentList)
    {
        component->update(deltaTime);
    }
}
} // namespace orv_gd
