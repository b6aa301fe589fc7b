#include "objects/EventBus.h"

#include "TestComponents.h"
#include "objects/GameObjectCreateEvent.h"
#include "objects/RenderableCreateEvent.h"
#include "objects/RenderableDestroyEvent.h"

namespace orv_gd
{
using namespace test;

namespace
{
constexpr EventType TypeA = 0x1000;
constexpr EventType TypeB = 0x2000;

/// An event of a chosen type with a label to tell instances apart.
class TestEvent : public BasicDataEvent<std::string>
{
public:
    TestEvent(EventType type, std::string label) : BasicDataEvent(std::move(label)), m_type(type) {}
    EventType getEventType() const override { return m_type; }

private:
    EventType m_type;
};

std::shared_ptr<IEvent> event(EventType type, const std::string& label)
{
    return std::make_shared<TestEvent>(type, label);
}

/// A listener that logs "<prefix><label>", then runs the given step.
EventListener logTo(
    Log& log, const std::string& prefix, std::function<void()> then = [] {})
{
    return [&log, prefix, then](std::shared_ptr<IEvent> e)
    {
        log.push_back(prefix + std::static_pointer_cast<TestEvent>(e)->getData());
        then();
    };
}
} // namespace

TEST(EventBusTest, IdsStartAtOneAreNeverReusedAndRemovalIsConfirmedOnce)
{
    EventBus& bus = EventBus::getInstance();
    Log log;
    EXPECT_EQ(bus.addListener(TypeA, logTo(log, "")), 1u);
    EXPECT_EQ(bus.addListener(TypeB, logTo(log, "")), 2u);
    ErrCapture err;
    bus.removeListener(1);
    bus.removeListener(1);
    bus.removeListener(99);
    EXPECT_EQ(err.text(), "Removed m_listener with given m_id. 1\n");
    EXPECT_EQ(bus.addListener(TypeB, logTo(log, "")), 3u);
    bus.fireEvent(event(TypeA, "to nobody"));
    EXPECT_TRUE(log.empty());
}

TEST(EventBusTest, DeliversInOrderDepthFirstAndToListenersAddedDuringDelivery)
{
    EventBus& bus = EventBus::getInstance();
    Log log;
    const auto subscribeMore = [&]
    {
        // Enough new types to make the type map rehash during the delivery.
        for (EventType type = 1; type <= 64; ++type)
        {
            bus.addListener(type, logTo(log, "unexpected "));
        }
        bus.addListener(TypeB, logTo(log, "new "));
    };
    bus.addListener(TypeA, logTo(log, "a1 ", [&] { bus.fireEvent(event(TypeB, "inner")); }));
    bus.addListener(TypeB, logTo(log, "b ", subscribeMore));
    bus.addListener(TypeA, logTo(log, "a2 "));
    bus.fireEvent(event(TypeA, "outer"));
    EXPECT_EQ(log, (Log{"a1 outer", "b inner", "new inner", "a2 outer"}));
}

TEST(EventBusTest, UpdateFlipsQueuesAndDeliversWhatListenersQueue)
{
    EventBus& bus = EventBus::getInstance();
    Log log;
    bus.addListener(TypeA, logTo(log, ""));
    bus.addListener(TypeB, [&](std::shared_ptr<IEvent>) { bus.queueEvent(event(TypeA, "by listener")); });
    bus.queueEvent(event(TypeB, "b"));
    bus.queueEvent(event(TypeA, "q1"));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(bus.getActiveQueue(), 0);
    bus.update(0.f);
    EXPECT_EQ(log, (Log{"q1", "by listener"}));
    EXPECT_EQ(bus.getActiveQueue(), 1);
    bus.queueEvent(event(TypeA, "q2")); // into the now active queue, for the next update
    bus.update(0.f);
    EXPECT_EQ(log, (Log{"q1", "by listener", "q2"}));
    EXPECT_EQ(bus.getActiveQueue(), 0);
}

TEST(EventBusTest, ConcreteEventsReportTheirFixedTypes)
{
    EXPECT_EQ(GameObjectCreateEvent(nullptr).getEventType(), 0xDEC71435u);
    EXPECT_EQ(RenderableCreateEvent::Type, 0x9BA51CE7u);
    EXPECT_EQ(RenderableDestroyEvent::Type, 0xDA1E1387u);
}
} // namespace orv_gd
