#include "objects/EventBus.h"

#include "TestComponents.h"
#include "objects/GameObjectCreateEvent.h"
#include "objects/RenderableCreateEvent.h"
#include "objects/RenderableDestroyEvent.h"

namespace orv_gd::test
{
constexpr EventType TypeA = 0x1000;
constexpr EventType TypeB = 0x2000;

/// An event of a chosen type with a label to tell instances apart.
struct TestEvent : BasicDataEvent<std::string>
{
    TestEvent(EventType type, std::string label) : BasicDataEvent(std::move(label)), m_type(type) {}
    EventType getEventType() const override { return m_type; }
    EventType m_type;
};

/// The bus, and listeners that write "<prefix><label>" into one log, then run the given step.
struct EventBusTest : ::testing::Test
{
    static auto event(EventType type, const char* label) { return std::make_shared<TestEvent>(type, label); }
    EventListener logTo(
        std::string prefix, std::function<void()> then = [] {})
    {
        return [this, prefix, then](std::shared_ptr<IEvent> e)
        {
            log.push_back(prefix + std::static_pointer_cast<TestEvent>(e)->getData());
            then();
        };
    }
    EventBus& bus = EventBus::getInstance();
    Log log;
};

TEST_F(EventBusTest, IdsStartAtOneAreNeverReusedRemovalIsConfirmedOnceEventTypesAreFixed)
{
    EXPECT_EQ(bus.addListener(TypeA, logTo("")), 1u);
    EXPECT_EQ(bus.addListener(TypeB, logTo("")), 2u);
    ErrCapture err;
    bus.removeListener(1);
    bus.removeListener(1);
    bus.removeListener(99);
    EXPECT_EQ(err.text(), "Removed m_listener with given m_id. 1\n");
    EXPECT_EQ(bus.addListener(TypeB, logTo("")), 3u);
    bus.fireEvent(event(TypeA, "to nobody"));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(GameObjectCreateEvent(nullptr).getEventType(), 0xDEC71435u);
    EXPECT_EQ(RenderableCreateEvent::Type, 0x9BA51CE7u);
    EXPECT_EQ(RenderableDestroyEvent::Type, 0xDA1E1387u);
}

TEST_F(EventBusTest, DeliversInOrderDepthFirstAndToListenersAddedDuringDelivery)
{
    const auto subscribeMore = [&]
    {
        // Enough new types to make the type map rehash during the delivery.
        for (EventType type = 1; type <= 64; ++type)
        {
            bus.addListener(type, logTo("unexpected "));
        }
        bus.addListener(TypeB, logTo("new "));
    };
    bus.addListener(TypeA, logTo("a1 ", [&] { bus.fireEvent(event(TypeB, "inner")); }));
    bus.addListener(TypeB, logTo("b ", subscribeMore));
    bus.addListener(TypeA, logTo("a2 "));
    bus.fireEvent(event(TypeA, "outer"));
    EXPECT_EQ(log, (Log{"a1 outer", "b inner", "new inner", "a2 outer"}));
}

TEST_F(EventBusTest, UpdateFlipsQueuesAndDeliversWhatListenersQueue)
{
    bus.addListener(TypeA, logTo(""));
    bus.addListener(TypeB, [&](std::shared_ptr<IEvent>) { bus.queueEvent(event(TypeA, "by listener")); });
    bus.queueEvent(event(TypeB, "b"));
    bus.queueEvent(event(TypeA, "q1"));
    bus.update(0.f);
    EXPECT_EQ(log, (Log{"q1", "by listener"}));
    EXPECT_EQ(bus.getActiveQueue(), 1);
    bus.queueEvent(event(TypeA, "q2")); // into the now active queue, for the next update
    bus.update(0.f);
    EXPECT_EQ(log, (Log{"q1", "by listener", "q2"}));
    EXPECT_EQ(bus.getActiveQueue(), 0);
}
} // namespace orv_gd::test
