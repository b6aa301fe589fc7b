#pragma once

#include <string>

namespace orv_gd::net
{
/// The code a host hands its friend to meet through a relay: eight characters, "K7QM-4XZP", from 32
/// that cannot be taken for one another (no 0, 1, I or O), so 40 bits.
class JoinCode
{
public:
    static constexpr const char* Alphabet = "23456789ABCDEFGHJKLMNPQRSTUVWXYZ";
    static constexpr std::size_t Length = 8;

    /// A fresh code from the system's random source.
    static std::string generate();
    /// `text` as a code in its printed form ("k7qm-4xzp" is "K7QM-4XZP"); empty when it is not one.
    /// A code has its dash, which tells it apart from a host's address on the join screen.
    static std::string parse(const std::string& text);
};
} // namespace orv_gd::net
