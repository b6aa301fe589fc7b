#pragma once

#include "net/Protocol.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orv_gd::net
{
/// Frames through a relay, sealed with a key only the holders of a join code have: a stranger on the
/// relay sees random bytes and cannot make a frame that opens. A frame is a fresh nonce, then, sealed
/// together, its number, the last number its sender received, and the message; the topic it travels
/// on is part of what is sealed, so a frame moved to another topic does not open.
class SealedFrames
{
public:
    static constexpr std::size_t NonceBytes = 24;
    static constexpr std::size_t TagBytes = 16;
    /// Bytes a sealed frame adds to its message's own.
    static constexpr std::size_t Overhead = NonceBytes + TagBytes + 8 - 2;

    /// One frame opened.
    struct Frame
    {
        std::uint32_t number = 0;
        std::uint32_t ack = 0;
        Message message;
    };

    /// The key and topic root of `code` through a password hash, slow on purpose (about a third of
    /// a second) so that guessing a code from its topics costs as much per guess. A code is hashed
    /// once per process.
    static SealedFrames derive(const std::string& code);

    /// "tumbrelt/<32 hex digits>": where the code's frames travel; it does not give the code away.
    const std::string& root() const { return m_root; }
    bool valid() const { return !m_root.empty(); }

    std::vector<std::uint8_t> seal(const std::string& topic, std::uint32_t number, std::uint32_t ack,
                                   const Message& message) const;
    /// False, with one line in `error`, when the bytes are not a frame of this code on `topic`.
    bool open(const std::string& topic, const std::uint8_t* bytes, std::size_t size, Frame& frame,
              std::string& error) const;

private:
    std::array<std::uint8_t, 32> m_key{};
    std::string m_root;
};
} // namespace orv_gd::net
