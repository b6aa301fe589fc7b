#pragma once

#include "rules/Action.h"
#include "rules/Match.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace orv_gd::net
{
/// Where a match's clock stands: the turn (the first Builder turn being 1) and the millisecond in it.
struct Stamp
{
    int turn = 0;
    int ms = 0;

    friend bool operator==(Stamp a, Stamp b) { return a.turn == b.turn && a.ms == b.ms; }
    friend bool operator!=(Stamp a, Stamp b) { return !(a == b); }
    friend bool operator<(Stamp a, Stamp b) { return a.turn < b.turn || (a.turn == b.turn && a.ms < b.ms); }
};

/// Why a side left; the other side shows a line for it.
enum class ByeReason : std::uint8_t
{
    Quit,      ///< the player left the match or closed the game
    Busy,      ///< the host already has a friend
    Version,   ///< the two games cannot play together
    OutOfStep, ///< the digests at a hand-over differ
    Refused,   ///< a message of the other side was refused
    MatchOver, ///< the match ended and the player went on
};
constexpr int ByeReasons = 6;

/// One message between two games. Every message travels as a frame: two bytes of length (big-endian,
/// the bytes that follow), one byte of type, then the type's fields, big-endian.
struct Message
{
    enum class Type : std::uint8_t
    {
        Hello = 1,     ///< magic, protocol version, game version: the first message of each side
        Start = 2,     ///< from the host: the generator, the host's role, the match's numbers
        Action = 3,    ///< an action the sender's rules accepted, at its stamp
        Clock = 4,     ///< the sender's clock in its own turn: the other side may follow up to it
        Digest = 5,    ///< the sender's match digest as a turn began
        Heartbeat = 6, ///< once a second, so silence means a lost connection
        Pause = 7,     ///< the game is paused or goes on, by whom
        Bye = 8        ///< the sender leaves, and why
    };

    static constexpr std::uint32_t Magic = 0x54424C54; // "TBLT"
    static constexpr int ProtocolVersion = 1;
    /// A frame, its two bytes of length included, is never longer than this.
    static constexpr std::size_t MaxFrame = 4096;
    static constexpr std::size_t MaxVersionLength = 32;
    /// Bounds of the numbers a message may carry.
    static constexpr int MaxTurn = 1000000;
    static constexpr int MaxMs = 3600000;

    Type type = Type::Heartbeat;

    // Hello
    std::uint32_t magic = Magic;
    int protocol = ProtocolVersion;
    std::string version;
    // Start
    std::uint32_t seed = 1;
    std::uint64_t draws = 0;
    rules::Role hostRole = rules::Role::Runner;
    rules::MatchConfig config;
    // Action, Clock, Digest
    Stamp stamp;
    rules::Action action;
    std::uint64_t digest = 0;
    // Pause
    bool paused = false;
    rules::Role by = rules::Role::Runner;
    // Bye
    ByeReason reason = ByeReason::Quit;

    static Message hello(const std::string& version);
    static Message start(std::uint32_t seed, std::uint64_t draws, rules::Role hostRole,
                         const rules::MatchConfig& config);
    static Message act(Stamp stamp, const rules::Action& action);
    static Message clock(Stamp stamp);
    static Message turnDigest(int turn, std::uint64_t digest);
    static Message heartbeat();
    static Message pause(bool paused, rules::Role by);
    static Message bye(ByeReason reason);

    /// "Action", "Hello", ...
    static const char* typeName(Type type);
    /// The name with its article, as a line says it: "an Action", "a Hello".
    static std::string named(Type type);
};

/// The frame of a message, its length in front.
std::vector<std::uint8_t> encode(const Message& message);

/// A message from the bytes of one frame after its length; false and one line in `error` when they
/// are not a message of this game.
bool decode(const std::uint8_t* bytes, std::size_t size, Message& message, std::string& error);

/// Cuts a stream of bytes into messages. It holds at most one frame's bytes whatever arrives; the
/// first frame that is not a message stops it, with one line saying what was wrong.
class FrameReader
{
public:
    /// Takes bytes off the stream; false once a frame was refused (then `error()` says why).
    bool feed(const std::uint8_t* bytes, std::size_t size);
    /// The next whole message; false when there is none yet.
    bool next(Message& message);
    bool failed() const { return !m_error.empty(); }
    const std::string& error() const { return m_error; }
    /// Messages decoded but not yet taken.
    std::size_t pending() const { return m_messages.size(); }

private:
    std::vector<std::uint8_t> m_partial;
    std::deque<Message> m_messages;
    std::string m_error;
};
} // namespace orv_gd::net
