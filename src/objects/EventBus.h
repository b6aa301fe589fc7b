#pragma once

#include "objects/IEvent.h"

#include <array>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <unordered_map>
#include <utility>

namespace orv_gd
{
using ListenerId = unsigned long;
using EventListener = std::function<void(std::shared_ptr<IEvent>)>;

/// Process-wide typed event bus. fireEvent delivers at once (depth first, re-entrant);
/// queueEvent waits for update. A listener must not remove a subscription of the type that
/// is being delivered while that delivery runs; adding one is fine.
class EventBus
{
public:
    static EventBus& getInstance();

    ListenerId addListener(EventType type, EventListener listener);
    void removeListener(ListenerId id);
    void fireEvent(const std::shared_ptr<IEvent>& event);
    void queueEvent(std::shared_ptr<IEvent> event);
    void update(float deltaTime);

    int getActiveQueue() const { return m_activeQueue; }

private:
    EventBus() = default;

    int m_activeQueue = 0;
    std::array<std::deque<std::shared_ptr<IEvent>>, 2> m_queues;
    std::unordered_map<EventType, std::list<std::pair<ListenerId, EventListener>>> m_listeners;
    std::unordered_map<ListenerId, EventType> m_listenerIdToEventType;

    static ListenerId s_listenerIdCounter;
};
} // namespace orv_gd
