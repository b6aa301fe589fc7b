#include "net/Protocol.h"

#include <algorithm>
#include <iterator>

namespace orv_gd::net
{
namespace
{
constexpr int LengthBytes = 2;
/// Messages a reader holds before they are taken; a friend sending more is refused.
constexpr std::size_t MaxPending = 256;

class Writer
{
public:
    void u8(std::uint32_t v) { m_bytes.push_back(static_cast<std::uint8_t>(v & 0xFF)); }
    void u16(std::uint32_t v)
    {
        u8(v >> 8);
        u8(v);
    }
    void u32(std::uint32_t v)
    {
        u16(v >> 16);
        u16(v);
    }
    void u64(std::uint64_t v)
    {
        u32(static_cast<std::uint32_t>(v >> 32));
        u32(static_cast<std::uint32_t>(v));
    }
    void i16(int v) { u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(v))); }
    void i8(int v) { u8(static_cast<std::uint8_t>(static_cast<std::int8_t>(v))); }
    std::vector<std::uint8_t>& bytes() { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

/// Reads fields off a frame; running past its end makes every later read 0 and `short()` true.
class Reader
{
public:
    Reader(const std::uint8_t* bytes, std::size_t size) : m_bytes(bytes), m_size(size) {}

    std::uint32_t u8()
    {
        if (m_at >= m_size)
        {
            m_short = true;
            return 0;
        }
        return m_bytes[m_at++];
    }
    std::uint32_t u16()
    {
        const std::uint32_t high = u8();
        return (high << 8) | u8();
    }
    std::uint32_t u32()
    {
        const std::uint32_t high = u16();
        return (high << 16) | u16();
    }
    std::uint64_t u64()
    {
        const std::uint64_t high = u32();
        return (high << 32) | u32();
    }
    int i16() { return static_cast<std::int16_t>(static_cast<std::uint16_t>(u16())); }
    int i8() { return static_cast<std::int8_t>(static_cast<std::uint8_t>(u8())); }
    bool truncated() const { return m_short; }
    std::size_t left() const { return m_short ? 0 : m_size - m_at; }

private:
    const std::uint8_t* m_bytes;
    std::size_t m_size;
    std::size_t m_at = 0;
    bool m_short = false;
};

void writeStamp(Writer& w, Stamp stamp)
{
    w.u32(static_cast<std::uint32_t>(stamp.turn));
    w.u32(static_cast<std::uint32_t>(stamp.ms));
}

/// A stamp within the bounds; false with the problem otherwise.
bool readStamp(Reader& r, Stamp& stamp, std::string& problem)
{
    const std::uint32_t turn = r.u32();
    const std::uint32_t ms = r.u32();
    if (turn < 1 || turn > static_cast<std::uint32_t>(Message::MaxTurn) ||
        ms > static_cast<std::uint32_t>(Message::MaxMs))
    {
        problem = "a stamp out of bounds (turn " + std::to_string(turn) + ", ms " + std::to_string(ms) + ")";
        return false;
    }
    stamp = {static_cast<int>(turn), static_cast<int>(ms)};
    return true;
}

bool readRole(Reader& r, rules::Role& role, std::string& problem)
{
    const std::uint32_t value = r.u8();
    if (value > 1)
    {
        problem = "role " + std::to_string(value) + " is neither the Runner (0) nor the Builder (1)";
        return false;
    }
    role = value == 0 ? rules::Role::Runner : rules::Role::Builder;
    return true;
}

/// The action's fields that its kind does not use are 0, a cursor moves one cell, a turn is a
/// quarter to three quarters: any other action is malformed.
bool readAction(Reader& r, rules::Action& action, std::string& problem)
{
    const std::uint32_t kind = r.u8();
    const int x = r.i16();
    const int y = r.i16();
    const int quarterTurns = r.i8();
    if (kind > static_cast<std::uint32_t>(rules::Action::Kind::Drop))
    {
        problem = "an action of unknown kind " + std::to_string(kind);
        return false;
    }
    action.kind = static_cast<rules::Action::Kind>(kind);
    action.cell = {x, y};
    action.quarterTurns = quarterTurns;
    const bool usesCell =
        action.kind == rules::Action::Kind::MoveCursor || action.kind == rules::Action::Kind::Drop;
    const bool usesTurns = action.kind == rules::Action::Kind::Rotate;
    bool fine = (usesCell || (x == 0 && y == 0)) && (usesTurns || quarterTurns == 0);
    if (action.kind == rules::Action::Kind::MoveCursor)
    {
        fine = fine && x >= -1 && x <= 1 && y >= -1 && y <= 1;
    }
    if (usesTurns)
    {
        fine = fine && quarterTurns >= 1 && quarterTurns <= 3;
    }
    if (action.kind == rules::Action::Kind::Drop)
    {
        // A drop's cell lies on the field or a little off it; the rules refuse what misses.
        constexpr int Reach = rules::MatchConfig::MaxWidth;
        fine = fine && x >= -Reach && x <= Reach && y >= -Reach && y <= Reach;
    }
    if (!fine)
    {
        problem = "an action of kind " + std::to_string(kind) + " with fields it cannot have (" +
                  std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(quarterTurns) + ")";
    }
    return fine;
}

/// The fields of each type of message, read off the frame after its type byte: false, with the
/// problem, when they are not what that type may carry. A frame that ends too soon is refused as
/// truncated before anything its fields say, so a decoder need not look further once it has.
bool decodeHello(Reader& r, Message& m, std::string& problem)
{
    m.magic = r.u32();
    m.protocol = static_cast<int>(r.u16());
    const std::uint32_t length = r.u8();
    bool printable = true;
    m.version.clear();
    for (std::uint32_t i = 0; i < length && !r.truncated(); ++i)
    {
        const char c = static_cast<char>(r.u8());
        printable = printable && c >= 0x20 && c < 0x7F;
        m.version.push_back(c);
    }
    if (r.truncated())
    {
        return true;
    }
    if (m.magic != Message::Magic)
    {
        problem = "not a greeting of this game";
        return false;
    }
    if (length > Message::MaxVersionLength || !printable)
    {
        problem = "a version that is not a short line of text";
        return false;
    }
    return true;
}

bool decodeStart(Reader& r, Message& m, std::string& problem)
{
    m.seed = r.u32();
    m.draws = r.u64();
    bool fine = readRole(r, m.hostRole, problem);
    const std::uint32_t limit = r.u32();
    const std::uint32_t width = r.u16();
    const std::uint32_t height = r.u16();
    m.config.turnLimitMs =
        static_cast<int>(std::min<std::uint32_t>(limit, rules::MatchConfig::MaxTurnLimitMs + 1));
    m.config.width = static_cast<int>(width);
    m.config.height = static_cast<int>(height);
    // A Start carries exactly what the rules play: the same check as a replay's header.
    if (fine && !r.truncated())
    {
        problem = rules::MatchConfig::problem(m.config, m.draws);
        fine = problem.empty();
    }
    return fine;
}

bool decodeAction(Reader& r, Message& m, std::string& problem)
{
    return readStamp(r, m.stamp, problem) && readAction(r, m.action, problem);
}

bool decodeClock(Reader& r, Message& m, std::string& problem)
{
    return readStamp(r, m.stamp, problem);
}

bool decodeDigest(Reader& r, Message& m, std::string& problem)
{
    const std::uint32_t turn = r.u32();
    m.digest = r.u64();
    m.stamp = {static_cast<int>(std::min<std::uint32_t>(turn, Message::MaxTurn)), 0};
    if (turn < 1 || turn > static_cast<std::uint32_t>(Message::MaxTurn))
    {
        problem = "a digest of turn " + std::to_string(turn);
        return false;
    }
    return true;
}

bool decodeHeartbeat(Reader&, Message&, std::string&)
{
    return true;
}

bool decodePause(Reader& r, Message& m, std::string& problem)
{
    const std::uint32_t paused = r.u8();
    const bool fine = readRole(r, m.by, problem);
    m.paused = paused == 1;
    if (fine && paused > 1)
    {
        problem = "a pause that is neither on nor off";
        return false;
    }
    return fine;
}

bool decodeBye(Reader& r, Message& m, std::string& problem)
{
    const std::uint32_t reason = r.u8();
    m.reason = static_cast<ByeReason>(std::min<std::uint32_t>(reason, ByeReasons - 1));
    if (reason >= static_cast<std::uint32_t>(ByeReasons))
    {
        problem = "a reason " + std::to_string(reason) + " to leave";
        return false;
    }
    return true;
}

using FieldDecoder = bool (*)(Reader&, Message&, std::string&);
/// In the order of Message::Type, from Hello (1).
constexpr FieldDecoder FieldDecoders[] = {decodeHello,  decodeStart,     decodeAction, decodeClock,
                                          decodeDigest, decodeHeartbeat, decodePause,  decodeBye};
static_assert(std::size(FieldDecoders) == static_cast<std::size_t>(Message::Type::Bye));
} // namespace

Message Message::hello(const std::string& version)
{
    Message m;
    m.type = Type::Hello;
    m.version = version.substr(0, MaxVersionLength);
    return m;
}

Message Message::start(std::uint32_t seed, std::uint64_t draws, rules::Role hostRole,
                       const rules::MatchConfig& config)
{
    Message m;
    m.type = Type::Start;
    m.seed = seed;
    m.draws = draws;
    m.hostRole = hostRole;
    m.config = config;
    return m;
}

Message Message::act(Stamp stamp, const rules::Action& action)
{
    Message m;
    m.type = Type::Action;
    m.stamp = stamp;
    m.action = action;
    return m;
}

Message Message::clock(Stamp stamp)
{
    Message m;
    m.type = Type::Clock;
    m.stamp = stamp;
    return m;
}

Message Message::turnDigest(int turn, std::uint64_t digest)
{
    Message m;
    m.type = Type::Digest;
    m.stamp = {turn, 0};
    m.digest = digest;
    return m;
}

Message Message::heartbeat()
{
    return Message();
}

Message Message::pause(bool paused, rules::Role by)
{
    Message m;
    m.type = Type::Pause;
    m.paused = paused;
    m.by = by;
    return m;
}

Message Message::bye(ByeReason reason)
{
    Message m;
    m.type = Type::Bye;
    m.reason = reason;
    return m;
}

const char* Message::typeName(Type type)
{
    switch (type)
    {
    case Type::Hello:
        return "Hello";
    case Type::Start:
        return "Start";
    case Type::Action:
        return "Action";
    case Type::Clock:
        return "Clock";
    case Type::Digest:
        return "Digest";
    case Type::Heartbeat:
        return "Heartbeat";
    case Type::Pause:
        return "Pause";
    case Type::Bye:
        return "Bye";
    }
    return "unknown";
}

std::string Message::named(Type type)
{
    const std::string name = typeName(type);
    return (name[0] == 'A' ? "an " : "a ") + name;
}

std::vector<std::uint8_t> encode(const Message& m)
{
    Writer w;
    w.u16(0); // the length, written below
    w.u8(static_cast<std::uint8_t>(m.type));
    switch (m.type)
    {
    case Message::Type::Hello:
        w.u32(m.magic);
        w.u16(static_cast<std::uint32_t>(m.protocol));
        w.u8(static_cast<std::uint32_t>(std::min(m.version.size(), Message::MaxVersionLength)));
        for (std::size_t i = 0; i < m.version.size() && i < Message::MaxVersionLength; ++i)
        {
            w.u8(static_cast<std::uint8_t>(m.version[i]));
        }
        break;
    case Message::Type::Start:
        w.u32(m.seed);
        w.u64(m.draws);
        w.u8(m.hostRole == rules::Role::Runner ? 0 : 1);
        w.u32(static_cast<std::uint32_t>(m.config.turnLimitMs));
        w.u16(static_cast<std::uint32_t>(m.config.width));
        w.u16(static_cast<std::uint32_t>(m.config.height));
        break;
    case Message::Type::Action:
        writeStamp(w, m.stamp);
        w.u8(static_cast<std::uint8_t>(m.action.kind));
        w.i16(m.action.cell.x);
        w.i16(m.action.cell.y);
        w.i8(m.action.quarterTurns);
        break;
    case Message::Type::Clock:
        writeStamp(w, m.stamp);
        break;
    case Message::Type::Digest:
        w.u32(static_cast<std::uint32_t>(m.stamp.turn));
        w.u64(m.digest);
        break;
    case Message::Type::Heartbeat:
        break;
    case Message::Type::Pause:
        w.u8(m.paused ? 1 : 0);
        w.u8(m.by == rules::Role::Runner ? 0 : 1);
        break;
    case Message::Type::Bye:
        w.u8(static_cast<std::uint8_t>(m.reason));
        break;
    }
    std::vector<std::uint8_t>& bytes = w.bytes();
    const std::size_t length = bytes.size() - LengthBytes;
    bytes[0] = static_cast<std::uint8_t>(length >> 8);
    bytes[1] = static_cast<std::uint8_t>(length & 0xFF);
    return bytes;
}

bool decode(const std::uint8_t* bytes, std::size_t size, Message& message, std::string& error)
{
    if (size == 0)
    {
        error = "refused an empty message";
        return false;
    }
    Reader r(bytes, size);
    const std::uint32_t type = r.u8();
    if (type < static_cast<std::uint32_t>(Message::Type::Hello) ||
        type > static_cast<std::uint32_t>(Message::Type::Bye))
    {
        error = "refused a message of unknown type " + std::to_string(type);
        return false;
    }
    Message m;
    m.type = static_cast<Message::Type>(type);
    std::string problem;
    const bool fine = FieldDecoders[type - 1](r, m, problem);
    const std::string name = Message::typeName(m.type);
    if (r.truncated())
    {
        error = "refused a truncated " + name + " message";
        return false;
    }
    if (!fine)
    {
        error = "refused a malformed " + name + " message: " + problem;
        return false;
    }
    if (r.left() > 0)
    {
        error = "refused " + Message::named(m.type) + " message with " + std::to_string(r.left()) +
                (r.left() == 1 ? " byte" : " bytes") + " too many";
        return false;
    }
    message = m;
    return true;
}

bool FrameReader::feed(const std::uint8_t* bytes, std::size_t size)
{
    std::size_t at = 0;
    while (!failed() && at < size)
    {
        // Only the bytes this frame still lacks are taken, so the reader never holds more than a frame.
        std::size_t wanted = LengthBytes;
        if (m_partial.size() >= LengthBytes)
        {
            wanted += (std::size_t(m_partial[0]) << 8) | m_partial[1];
        }
        const std::size_t take = std::min(wanted - m_partial.size(), size - at);
        m_partial.insert(m_partial.end(), bytes + at, bytes + at + take);
        at += take;
        if (wanted == LengthBytes && m_partial.size() == LengthBytes)
        {
            const std::size_t length = (std::size_t(m_partial[0]) << 8) | m_partial[1];
            if (length == 0)
            {
                m_error = "refused an empty message";
            }
            else if (length + LengthBytes > Message::MaxFrame)
            {
                m_error = "refused a message of " + std::to_string(length + LengthBytes) +
                          " bytes, over the " + std::to_string(Message::MaxFrame) + " byte limit";
            }
            continue;
        }
        if (m_partial.size() < wanted)
        {
            continue;
        }
        Message message;
        if (!decode(m_partial.data() + LengthBytes, m_partial.size() - LengthBytes, message, m_error))
        {
            break;
        }
        m_partial.clear();
        if (m_messages.size() >= MaxPending)
        {
            m_error = "refused more than " + std::to_string(MaxPending) + " messages at once";
            break;
        }
        m_messages.push_back(message);
    }
    return !failed();
}

bool FrameReader::next(Message& message)
{
    if (m_messages.empty())
    {
        return false;
    }
    message = m_messages.front();
    m_messages.pop_front();
    return true;
}
} // namespace orv_gd::net
