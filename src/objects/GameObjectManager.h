#pragma once

#include "objects/EventBus.h"

#include <list>
#include <memory>
#include <string>
#include <unordered_map>

namespace orv_gd
{
class GameObject;

/// Process-wide registry of the running match's game objects, keyed by id.
class GameObjectManager
{
public:
    static GameObjectManager& getInstance();

    void init();
    void shutdown();
    void update(float deltaTime);

    void addGameObject(const std::shared_ptr<GameObject>& gameObject);
    std::shared_ptr<GameObject> getGameObject(const std::string& id) const;
    void removeGameObject(const std::shared_ptr<GameObject>& gameObject);

    const std::unordered_map<std::string, std::shared_ptr<GameObject>>& getGameObjects() const
    {
        return m_gameObjects;
    }

private:
    GameObjectManager() = default;

    std::unordered_map<std::string, std::shared_ptr<GameObject>> m_gameObjects;
    std::list<ListenerId> m_listeners;
    /// The bus the manager subscribes to, reached once here.
    EventBus& m_eventBus = EventBus::getInstance();
};
} // namespace orv_gd
