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

/// The bus, and listeners that write "<prefix><label>" into one log, then run the given step; the
/// listeners a test adds through listen() leave the bus with the test.
struct EventBusTest : ::testing::Test
{
    void TearDown() override
    {
        ErrCapture quiet;
        std::for_each(m_added.begin(), m_added.end(), [this](ListenerId id) { bus.removeListener(id); });
    }
    ListenerId listen(EventType type, EventListener listener)
    {
        return m_added.emplace_back(bus.addListener(type, std::move(listener)));
    }
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
    std::vector<ListenerId> m_added;
};

TEST_F(EventBusTest, IdsCountUpAreNeverReusedRemovalIsConfirmedOnceEventTypesAreFixed)
{
    const ListenerId first = listen(TypeA, logTo(""));
    EXPECT_EQ(listen(TypeB, logTo("")), first + 1);
    ErrCapture err;
    bus.removeListener(first);
    bus.removeListener(first);
    bus.removeListener(first + 99);
    EXPECT_EQ(err.text(), "Removed m_listener with given m_id. " + std::to_string(first) + "\n");
    EXPECT_EQ(listen(TypeB, logTo("")), first + 2);
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
            listen(type, logTo("unexpected "));
        }
        listen(TypeB, logTo("new "));
    };
    listen(TypeA, logTo("a1 ", [&] { bus.fireEvent(event(TypeB, "inner")); }));
    listen(TypeB, logTo("b ", subscribeMore));
    listen(TypeA, logTo("a2 "));
    bus.fireEvent(event(TypeA, "outer"));
    EXPECT_EQ(log, (Log{"a1 outer", "b inner", "new inner", "a2 outer"}));
}

TEST_F(EventBusTest, UpdateFlipsQueuesAndDeliversWhatListenersQueue)
{
    listen(TypeA, logTo(""));
    listen(TypeB, [&](std::shared_ptr<IEvent>) { bus.queueEvent(event(TypeA, "by listener")); });
    bus.queueEvent(event(TypeB, "b"));
    bus.queueEvent(event(TypeA, "q1"));
    const int queue = bus.getActiveQueue();
    bus.update(0.f);
    EXPECT_EQ(log, (Log{"q1", "by listener"}));
    EXPECT_EQ(bus.getActiveQueue(), 1 - queue);
    bus.queueEvent(event(TypeA, "q2")); // into the now active queue, for the next update
    bus.update(0.f);
    EXPECT_EQ(log, (Log{"q1", "by listener", "q2"}));
    EXPECT_EQ(bus.getActiveQueue(), queue);
}
} // namespace orv_gd::test
