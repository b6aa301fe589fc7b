#pragma once

#include <array>
#include <cstdint>

namespace orv_gd::rules
{
/// The game's random generator: exactly the numbers of the C library's rand() as glibc makes
/// them (its additive feedback generator over 31 words, seeded by a linear congruence and run 310
/// draws in), so the levels and blocks a fresh process deals stay as they always were. Its state
/// is a seed and the number of draws made since, which is all a match log needs to start again.
class Rng
{
public:
    explicit Rng(std::uint32_t seed = 1);
    /// The generator `draws` draws after `seed`.
    static Rng resumed(std::uint32_t seed, std::uint64_t draws);

    /// The next number, 0 to 2^31 - 1.
    int next();

    std::uint32_t getSeed() const { return m_seed; }
    std::uint64_t getDraws() const { return m_draws; }

    friend bool operator==(const Rng& a, const Rng& b)
    {
        return a.m_seed == b.m_seed && a.m_draws == b.m_draws;
    }
    friend bool operator!=(const Rng& a, const Rng& b) { return !(a == b); }

private:
    static constexpr int Words = 31;
    static constexpr int Separation = 3;

    std::array<std::uint32_t, Words> m_state{};
    int m_front = Separation;
    int m_rear = 0;
    std::uint32_t m_seed;
    std::uint64_t m_draws = 0;
};
} // namespace orv_gd::rules
