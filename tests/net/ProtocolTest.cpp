#include "net/Protocol.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

namespace orv_gd::net
{
namespace
{
using rules::Action;
using rules::Role;
using testing::StartsWith;

std::vector<Message> everyKind()
{
    rules::MatchConfig config;
    config.width = 40;
    config.height = 12;
    config.turnLimitMs = 8000;
    return {Message::hello("1.0.0"),
            Message::start(0xDEADBEEF, 9000000ull, Role::Builder, config),
            Message::act({7, 9999}, Action::stepRight()),
            Message::act({1000000, 3600000}, Action::drop({-3, 199})),
            Message::act({3, 0}, Action::moveCursor({-1, 1})),
            Message::act({3, 5}, Action::rotate(3)),
            Message::clock({12, 345}),
            Message::turnDigest(51, 0xFEDCBA9876543210ull),
            Message::heartbeat(),
            Message::pause(true, Role::Builder),
            Message::bye(ByeReason::OutOfStep)};
}

/// Why the reader refuses `frame`, in one line.
std::string refusal(std::vector<std::uint8_t> frame)
{
    FrameReader reader;
    reader.feed(frame.data(), frame.size());
    Message message;
    EXPECT_FALSE(reader.next(message));
    EXPECT_EQ(reader.error().find('\n'), std::string::npos);
    return reader.error();
}

/// The frame of `m` with its byte `at` set to `value`.
std::vector<std::uint8_t> patched(const Message& m, std::size_t at, std::uint8_t value)
{
    std::vector<std::uint8_t> bytes = encode(m);
    bytes[at] = value;
    return bytes;
}

} // namespace

TEST(ProtocolTest, EveryMessageComesBackAsItWasSentWhateverTheBytesArriveIn)
{
    std::vector<std::uint8_t> stream;
    for (const Message& m : everyKind())
    {
        const std::vector<std::uint8_t> frame = encode(m);
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    for (const std::size_t piece : {stream.size(), std::size_t(1), std::size_t(5)})
    {
        FrameReader reader;
        for (std::size_t at = 0; at < stream.size(); at += piece)
        {
            ASSERT_TRUE(reader.feed(stream.data() + at, std::min(piece, stream.size() - at)))
                << reader.error();
        }
        // Frames are small: these sizes are what a match costs the network.
        const std::size_t sizes[] = {15, 24, 17, 17, 17, 17, 11, 15, 3, 5, 4};
        for (std::size_t i = 0; i < everyKind().size(); ++i)
        {
            Message got;
            ASSERT_TRUE(reader.next(got));
            // The same bytes again: every field survived.
            EXPECT_EQ(encode(got), encode(everyKind()[i])) << Message::typeName(got.type);
            EXPECT_EQ(encode(got).size(), sizes[i]) << Message::typeName(got.type);
        }
        Message none;
        EXPECT_FALSE(reader.next(none));
    }
    // The Start by its fields: one written and read wrongly alike would pass the round trip above.
    Message start;
    std::string error;
    const std::vector<std::uint8_t> frame = encode(everyKind()[1]);
    ASSERT_TRUE(decode(frame.data() + 2, frame.size() - 2, start, error));
    EXPECT_EQ(std::tie(start.seed, start.draws, start.hostRole, start.config.width, start.config.turnLimitMs),
              std::make_tuple(0xDEADBEEFu, 9000000ull, Role::Builder, 40, 8000));
}

TEST(ProtocolTest, RefusesWhatIsNotAMessageWithOneLine)
{
    const Message action = Message::act({2, 10}, Action::moveCursor({1, 0}));
    const Message start = Message::start(1, 0, Role::Runner, {});
    std::vector<std::uint8_t> truncated = patched(action, 1, 14);
    truncated.pop_back();
    std::vector<std::uint8_t> longer = patched(action, 1, 16);
    longer.push_back(0);
    // A frame: two bytes of length, the type, its fields. The last lines go on to name the fields.
    EXPECT_EQ(refusal({0x10, 0x00, 3}), "refused a message of 4098 bytes, over the 4096 byte limit");
    EXPECT_EQ(refusal({0xFF, 0xFF}), "refused a message of 65537 bytes, over the 4096 byte limit");
    EXPECT_EQ(refusal({0, 0}), "refused an empty message");
    EXPECT_EQ(refusal({0, 1, 9}), "refused a message of unknown type 9");
    EXPECT_EQ(refusal({0, 1, 0}), "refused a message of unknown type 0");
    EXPECT_EQ(refusal(truncated), "refused a truncated Action message");
    EXPECT_EQ(refusal(longer), "refused an Action message with 1 byte too many");
    EXPECT_EQ(refusal(patched(Message::hello("1.0"), 3, 0)),
              "refused a malformed Hello message: not a greeting of this game");
    EXPECT_EQ(refusal({0, 2, 8, 6}), "refused a malformed Bye message: a reason 6 to leave");
    EXPECT_EQ(refusal({0, 3, 7, 2, 0}),
              "refused a malformed Pause message: a pause that is neither on nor off");
    EXPECT_THAT(refusal(patched(action, 12, 2)),
                StartsWith("refused a malformed Action message: an action of kind 5 with fields"));
    EXPECT_THAT(refusal(patched(Message::act({2, 10}, Action::stepLeft()), 12, 1)),
                StartsWith("refused a malformed Action message: an action of kind 0"));
    EXPECT_THAT(refusal(patched(action, 6, 0)),
                StartsWith("refused a malformed Action message: a stamp out of bounds"));
    EXPECT_THAT(refusal(patched(start, 15, 2)), StartsWith("refused a malformed Start message: role 2"));
    EXPECT_THAT(refusal(patched(start, 21, 0)), StartsWith("refused a malformed Start message: a match of"));
}

TEST(ProtocolTest, RandomDamagedOrOutOfRangeBytesAreRefusedWithOneLineOrReadExactlyWithinTheGamesLimits)
{
    using C = rules::MatchConfig;
    std::mt19937_64 random(25);
    const std::vector<Message> kinds = everyKind();
    // Around each edge, and anywhere.
    const auto pick = [&](std::uint64_t low, std::uint64_t high, std::uint64_t bits)
    {
        const unsigned roll = random() % 3;
        return roll < 2 ? (roll ? high : low) + random() % 5 - 2 : random() % (std::uint64_t(1) << bits);
    };
    int refused = 0;
    int read = 0;
    for (int round = 0; round < 36000; ++round)
    {
        std::vector<std::uint8_t> bytes;
        std::string refusal = "refused ";
        if (round % 3 == 0) // random, mostly of a plausible length so that the type and fields are reached
        {
            bytes.resize(random() % 64);
            std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<std::uint8_t>(random()); });
            if (bytes.size() > 2 && round % 2 == 0)
            {
                bytes[0] = 0;
                bytes[1] = static_cast<std::uint8_t>(bytes.size() - 2);
            }
        }
        else if (round % 3 == 1) // a message of every kind, damaged
        {
            bytes = encode(kinds[random() % kinds.size()]);
            for (int flips = 1 + static_cast<int>(random() % 3); flips > 0; --flips)
            {
                bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
            }
            bytes.resize(bytes.size() - random() % 2);
        }
        else // well formed, with numbers around the game's limits
        {
            rules::MatchConfig config;
            config.width =
                static_cast<int>(pick(rules::MatchConfig::MinWidth, rules::MatchConfig::MaxWidth, 16));
            config.height =
                static_cast<int>(pick(rules::MatchConfig::MinHeight, rules::MatchConfig::MaxHeight, 16));
            config.turnLimitMs = static_cast<int>(
                pick(rules::MatchConfig::MinTurnLimitMs, rules::MatchConfig::MaxTurnLimitMs, 31));
            const std::uint64_t draws = pick(0, rules::MatchConfig::MaxDraws, 40);
            const Stamp stamp{static_cast<int>(pick(1, Message::MaxTurn, 31)),
                              static_cast<int>(pick(0, Message::MaxMs, 31))};
            const Message sent = round % 9 == 2   ? Message::start(7, draws, Role::Runner, config)
                                 : round % 9 == 5 ? Message::clock(stamp)
                                                  : Message::act(stamp, Action::jump());
            bytes = encode(sent);
            refusal = "refused a malformed " + std::string(Message::typeName(sent.type));
        }
        FrameReader reader;
        reader.feed(bytes.data(), bytes.size());
        Message got;
        for (std::size_t at = 0; reader.next(got); ++read)
        {
            // Read as sent: written back, the very bytes; and only what the game plays.
            const std::vector<std::uint8_t> again = encode(got);
            ASSERT_LE(at + again.size(), bytes.size());
            EXPECT_TRUE(std::equal(again.begin(), again.end(), bytes.begin() + at));
            at += again.size();
            const rules::MatchConfig& c = got.config;
            EXPECT_TRUE(got.type != Message::Type::Start ||
                        (c.width >= C::MinWidth && c.width <= C::MaxWidth && c.height >= C::MinHeight &&
                         c.height <= C::MaxHeight && c.turnLimitMs >= C::MinTurnLimitMs &&
                         c.turnLimitMs <= C::MaxTurnLimitMs && got.draws <= C::MaxDraws));
            EXPECT_TRUE((got.type != Message::Type::Action && got.type != Message::Type::Clock) ||
                        (got.stamp.turn >= 1 && got.stamp.turn <= Message::MaxTurn && got.stamp.ms >= 0 &&
                         got.stamp.ms <= Message::MaxMs));
        }
        if (reader.failed())
        {
            ++refused;
            EXPECT_EQ(reader.error().rfind(refusal, 0), 0u) << reader.error();
            EXPECT_EQ(reader.error().find('\n'), std::string::npos);
            // A refused stream stays refused.
            const std::vector<std::uint8_t> valid = encode(kinds[0]);
            EXPECT_FALSE(reader.feed(valid.data(), valid.size()) || reader.next(got));
        }
    }
    EXPECT_GT(refused, 10000);
    EXPECT_GT(read, 2000);
}
} // namespace orv_gd::net
