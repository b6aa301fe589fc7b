#include "objects/EventBus.h"

#include "core/CheckedAssert.h"

#include <SFML/System/Err.hpp>

namespace orv_gd
{
ListenerId EventBus::s_listenerIdCounter = 0;

EventBus& EventBus::getInstance()
{
    static EventBus instance;
    return instance;
}

ListenerId EventBus::addListener(EventType type, EventListener listener)
{
    // Ids come from one process-wide counter, so they are never reused, whatever the type.
    const ListenerId id = ++s_listenerIdCounter;
    m_listeners[type].emplace_back(id, std::move(listener));
    m_listenerIdToEventType[id] = type;
    return id;
}

void EventBus::removeListener(ListenerId id)
{
    const auto idIt = m_listenerIdToEventType.find(id);
    if (idIt == m_listenerIdToEventType.end())
    {
        return;
    }
    const EventType type = idIt->second;

    const auto eventTypeIt = m_listeners.find(type);
    if (eventTypeIt == m_listeners.end())
    {
        ORV_ERROR("Possible error: did not find event type in m_listener list.");
        return;
    }

    std::list<std::pair<ListenerId, EventListener>>& listeners = eventTypeIt->second;
    auto eventListenerIt = listeners.begin();
    while (eventListenerIt != listeners.end() && eventListenerIt->first != id)
    {
        ++eventListenerIt;
    }
    if (eventListenerIt == listeners.end())
    {
        sf::err() << "Possible error: did not find m_listener with this m_id for this event. " << id << " "
                  << type << std::endl;
        return;
    }

    // Must not run while an event of this type is being delivered: the walk in fireEvent
    // would be left holding an erased element. The emptied list stays in the map.
    listeners.erase(eventListenerIt);
    m_listenerIdToEventType.erase(idIt);
    sf::err() << "Removed m_listener with given m_id. " << id << std::endl;
}

void EventBus::fireEvent(const std::shared_ptr<IEvent>& event)
{
    const auto typeIt = m_listeners.find(event->getEventType());
    if (typeIt == m_listeners.end())
    {
        return;
    }

    // std::list iterators stay valid on push_back and end() is read on every step, so a
    // listener subscribed during this delivery is called for this event too; the reference
    // survives a rehash of m_listeners. Listeners may fire further events (delivered depth
    // first) but must not remove a subscription of this type while it is being delivered.
    std::list<std::pair<ListenerId, EventListener>>& listeners = typeIt->second;
    for (auto it = listeners.begin(); it != listeners.end(); ++it)
    {
        it->second(event);
    }
}

void EventBus::queueEvent(std::shared_ptr<IEvent> event)
{
    m_queues[static_cast<std::size_t>(m_activeQueue)].push_back(std::move(event));
}

void EventBus::update(float /*deltaTime*/)
{
    // The index is flipped only after draining, so events queued by listeners meanwhile land
    // in the queue being drained and are delivered in this same call.
    const int q = m_activeQueue;
    std::deque<std::shared_ptr<IEvent>>& queue = m_queues[static_cast<std::size_t>(q)];
    while (!queue.empty())
    {
        std::shared_ptr<IEvent> event = queue.front();
        queue.pop_front();
        fireEvent(event);
    }
    m_activeQueue = (q + 1) % 2;
}
} // namespace orv_gd
