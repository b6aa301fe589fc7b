#include "objects/EventBus.h"

#include "objects/GameObject.h"
#include "objects/GameObjectCreateEvent.h"
#include "objects/RenderableCreateEvent.h"
#include "objects/RenderableDestroyEvent.h"
#include "support/ErrCapture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace orv_gd
{
using test::ErrCapture;

namespace
{
/// A bare event with a chosen type id and a label to tell instances apart.
class TestEvent : public IEvent
{
public:
    TestEvent(EventType type, std::string label) : m_type(type), m_label(std::move(label)) {}
    EventType getEventType() const override { return m_type; }
    const std::string& getLabel() const { return m_label; }

private:
    EventType m_type;
    std::string m_label;
};

constexpr EventType TypeA = 0x1000;
constexpr EventType TypeB = 0x2000;

std::shared_ptr<IEvent> makeEvent(EventType type, const std::string& label)
{
    return std::make_shared<TestEvent>(type, label);
}

std::string labelOf(const std::shared_ptr<IEvent>& event)
{
    return std::static_pointer_cast<TestEvent>(event)->getLabel();
}
} // namespace

TEST(EventBusTest, ListenerIdsStartAtOneAndAreNeverReused)
{
    EventBus& bus = EventBus::getInstance();
    ErrCapture err;
    EXPECT_EQ(bus.addListener(TypeA, [](std::shared_ptr<IEvent>) {}), 1u);
    EXPECT_EQ(bus.addListener(TypeB, [](std::shared_ptr<IEvent>) {}), 2u);
    bus.removeListener(2);
    EXPECT_EQ(bus.addListener(TypeB, [](std::shared_ptr<IEvent>) {}), 3u);
    EXPECT_EQ(bus.addListener(TypeA, [](std::shared_ptr<IEvent>) {}), 4u);
}

TEST(EventBusTest, DeliversInSubscriptionOrderToMatchingTypeOnly)
{
    EventBus& bus = EventBus::getInstance();
    std::vector<std::string> log;
    bus.addListener(TypeA, [&log](std::shared_ptr<IEvent> e) { log.push_back("first:" + labelOf(e)); });
    bus.addListener(TypeB, [&log](std::shared_ptr<IEvent> e) { log.push_back("other:" + labelOf(e)); });
    bus.addListener(TypeA, [&log](std::shared_ptr<IEvent> e) { log.push_back("second:" + labelOf(e)); });

    ErrCapture err;
    bus.fireEvent(makeEvent(TypeA, "x"));
    bus.fireEvent(makeEvent(0x3000, "nobody listens"));
    EXPECT_EQ(log, (std::vector<std::string>{"first:x", "second:x"}));
    EXPECT_EQ(err.text(), "");
}

TEST(EventBusTest, EventsFiredByListenersAreDeliveredDepthFirst)
{
    EventBus& bus = EventBus::getInstance();
    std::vector<std::string> log;
    bus.addListener(TypeA,
                    [&](std::shared_ptr<IEvent> e)
                    {
                        log.push_back("a1 begin " + labelOf(e));
                        bus.fireEvent(makeEvent(TypeB, "inner"));
                        log.push_back("a1 end");
                    });
    bus.addListener(TypeA, [&](std::shared_ptr<IEvent> e) { log.push_back("a2 " + labelOf(e)); });
    bus.addListener(TypeB, [&](std::shared_ptr<IEvent> e) { log.push_back("b " + labelOf(e)); });

    bus.fireEvent(makeEvent(TypeA, "outer"));
    EXPECT_EQ(log, (std::vector<std::string>{"a1 begin outer", "b inner", "a1 end", "a2 outer"}));
}

TEST(EventBusTest, ListenerAddedDuringDeliveryIsCalledForCurrentEvent)
{
    EventBus& bus = EventBus::getInstance();
    std::vector<std::string> log;
    bool subscribed = false;
    bus.addListener(TypeA,
                    [&](std::shared_ptr<IEvent> e)
                    {
                        log.push_back("old " + labelOf(e));
                        if (!subscribed)
                        {
                            subscribed = true;
                            // Enough new types to force the type map to rehash while it is being delivered.
                            for (EventType type = 1; type <= 64; ++type)
                            {
                                bus.addListener(type, [](std::shared_ptr<IEvent>) {});
                            }
                            bus.addListener(TypeA, [&log](std::shared_ptr<IEvent> e2)
                                            { log.push_back("new " + labelOf(e2)); });
                        }
                    });

    bus.fireEvent(makeEvent(TypeA, "1"));
    bus.fireEvent(makeEvent(TypeA, "2"));
    EXPECT_EQ(log, (std::vector<std::string>{"old 1", "new 1", "old 2", "new 2"}));
}

TEST(EventBusTest, RemovalIsConfirmedOnceThenSilent)
{
    EventBus& bus = EventBus::getInstance();
    int calls = 0;
    bus.addListener(TypeA, [](std::shared_ptr<IEvent>) {});
    const ListenerId id = bus.addListener(TypeA, [&calls](std::shared_ptr<IEvent>) { ++calls; });
    ASSERT_EQ(id, 2u);

    ErrCapture err;
    bus.removeListener(id);
    EXPECT_EQ(err.text(), "Removed m_listener with given m_id. 2\n");

    err.clear();
    bus.removeListener(id);
    bus.removeListener(99);
    EXPECT_EQ(err.text(), "");

    bus.fireEvent(makeEvent(TypeA, "after"));
    EXPECT_EQ(calls, 0);
}

TEST(EventBusTest, UpdateFlipsQueueAndDrainsOnlyTheActiveOne)
{
    EventBus& bus = EventBus::getInstance();
    EXPECT_EQ(bus.getActiveQueue(), 0);
    bus.update(0.f);
    EXPECT_EQ(bus.getActiveQueue(), 1);
    bus.update(0.f);
    EXPECT_EQ(bus.getActiveQueue(), 0);

    std::vector<std::string> log;
    bus.addListener(TypeA, [&log](std::shared_ptr<IEvent> e) { log.push_back(labelOf(e)); });
    bus.queueEvent(makeEvent(TypeA, "q1"));
    bus.queueEvent(makeEvent(TypeA, "q2"));
    EXPECT_TRUE(log.empty()); // queued events wait for update
    bus.update(0.f);
    EXPECT_EQ(log, (std::vector<std::string>{"q1", "q2"}));
    EXPECT_EQ(bus.getActiveQueue(), 1);

    // An event queued outside update goes to the now active queue and waits for the next one.
    bus.queueEvent(makeEvent(TypeA, "q3"));
    bus.update(0.f);
    EXPECT_EQ(log.back(), "q3");
    EXPECT_EQ(bus.getActiveQueue(), 0);
}

TEST(EventBusTest, EventQueuedDuringUpdateIsDeliveredInSameUpdate)
{
    EventBus& bus = EventBus::getInstance();
    std::vector<std::string> log;
    bus.addListener(TypeA,
                    [&](std::shared_ptr<IEvent> e)
                    {
                        log.push_back(labelOf(e));
                        if (labelOf(e) == "first")
                        {
                            bus.queueEvent(makeEvent(TypeA, "queued by listener"));
                        }
                    });
    bus.queueEvent(makeEvent(TypeA, "first"));
    bus.queueEvent(makeEvent(TypeA, "second"));

    bus.update(0.f);
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "queued by listener"}));

    log.clear();
    bus.update(0.f);
    EXPECT_TRUE(log.empty());
}

TEST(EventBusTest, ConcreteEventsReportTheirFixedTypes)
{
    const std::shared_ptr<GameObject> object = GameObject::create("Runner");
    const GameObjectCreateEvent created(object);
    EXPECT_EQ(created.getEventType(), 0xDEC71435u);
    EXPECT_EQ(GameObjectCreateEvent(nullptr).getEventType(), 0xDEC71435u);
    EXPECT_EQ(created.getData(), object);
    EXPECT_EQ(RenderableCreateEvent::Type, 0x9BA51CE7u);
    EXPECT_EQ(RenderableDestroyEvent::Type, 0xDA1E1387u);
}
} // namespace orv_gd
