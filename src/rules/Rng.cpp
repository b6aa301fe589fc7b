#include "rules/Rng.h"

namespace orv_gd::rules
{
Rng::Rng(std::uint32_t seed) : m_seed(seed)
{
    // The C library treats seed 0 as 1.
    std::int32_t word = static_cast<std::int32_t>(seed == 0 ? 1 : seed);
    m_state[0] = static_cast<std::uint32_t>(word);
    for (int i = 1; i < Words; ++i)
    {
        // 16807 * word % (2^31 - 1) without overflow (Schrage's method).
        const std::int32_t high = word / 127773;
        const std::int32_t low = word % 127773;
        word = 16807 * low - 2836 * high;
        if (word < 0)
        {
            word += 2147483647;
        }
        m_state[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(word);
    }
    for (int i = 0; i < 10 * Words; ++i)
    {
        next();
    }
    m_draws = 0;
}

Rng Rng::resumed(std::uint32_t seed, std::uint64_t draws)
{
    Rng rng(seed);
    for (std::uint64_t i = 0; i < draws; ++i)
    {
        rng.next();
    }
    return rng;
}

int Rng::next()
{
    std::uint32_t& front = m_state[static_cast<std::size_t>(m_front)];
    front += m_state[static_cast<std::size_t>(m_rear)];
    const int result = static_cast<int>((front >> 1) & 0x7fffffffU);
    m_front = (m_front + 1) % Words;
    m_rear = (m_rear + 1) % Words;
    ++m_draws;
    return result;
}
} // namespace orv_gd::rules
