#include "objects/GameObjectManager.h"

#include "core/CheckedAssert.h"
#include "objects/GameObject.h"
#include "objects/GameObjectCreateEvent.h"

#include <vector>

namespace orv_gd
{
GameObjectManager& GameObjectManager::getInstance()
{
    static GameObjectManager instance;
    return instance;
}

void GameObjectManager::init()
{
    // The listener keeps a plain pointer to the manager; shutdown removes it again.
    const ListenerId id =
        m_eventBus.addListener(GameObjectCreateEvent::Type,
                               [this](std::shared_ptr<IEvent> event)
                               {
                                   const std::shared_ptr<GameObjectCreateEvent> goCreateEvent =
                                       std::static_pointer_cast<GameObjectCreateEvent>(event);
                                   const std::shared_ptr<GameObject> gameObject = goCreateEvent->getData();
                                   addGameObject(gameObject);
                               });
    m_listeners.push_back(id);
}

void GameObjectManager::shutdown()
{
    m_gameObjects.clear();
    for (const ListenerId id : m_listeners)
    {
        m_eventBus.removeListener(id);
    }
    m_listeners.clear();
}

void GameObjectManager::update(float deltaTime)
{
    // Objects are erased only after the walk, so the map is never changed while it is walked.
    // The walk follows the hash map's own order, not the order of registration.
    std::vector<std::shared_ptr<GameObject>> gameObjectsToDelete;
    for (const auto& [id, gameObject] : m_gameObjects)
    {
        if (gameObject->isMarkedForDelete())
        {
            gameObjectsToDelete.push_back(gameObject);
        }
        else if (gameObject->isActive())
        {
            gameObject->update(deltaTime);
        }
    }
    for (const std::shared_ptr<GameObject>& gameObject : gameObjectsToDelete)
    {
        removeGameObject(gameObject);
    }
}

void GameObjectManager::addGameObject(const std::shared_ptr<GameObject>& gameObject)
{
    const std::string id = gameObject->getId();
    ORV_ASSERT(m_gameObjects.find(id) == m_gameObjects.end(), "Game object with this m_id already exists ",
               id);
    m_gameObjects[id] = gameObject;
}

std::shared_ptr<GameObject> GameObjectManager::getGameObject(const std::string& id) const
{
    const auto it = m_gameObjects.find(id);
    if (it != m_gameObjects.end())
    {
        return it->second;
    }
    ORV_ERROR("Could not find gameobject with m_id ", id);
    return nullptr;
}

void GameObjectManager::removeGameObject(const std::shared_ptr<GameObject>& gameObject)
{
    const auto it = m_gameObjects.find(gameObject->getId());
    if (it != m_gameObjects.end())
    {
        m_gameObjects.erase(it);
    }
}
} // namespace orv_gd
