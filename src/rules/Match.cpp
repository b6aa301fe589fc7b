#include "rules/Match.h"

#include "rules/MatchParts.h"

#include <type_traits>

namespace orv_gd::rules
{
namespace
{
/// FNV-1a over the values fed to it, 64 bits.
class Digest
{
public:
    void add(std::int64_t value)
    {
        for (int byte = 0; byte < 8; ++byte)
        {
            m_hash ^= static_cast<std::uint64_t>(value >> (8 * byte)) & 0xffU;
            m_hash *= 1099511628211ULL;
        }
    }
    void add(Cell cell)
    {
        add(cell.x);
        add(cell.y);
    }
    void add(const Field& field)
    {
        for (int x = 0; x < field.getWidth(); ++x)
        {
            for (int y = 0; y < field.getHeight(); ++y)
            {
                add(field.at({x, y}));
                add(field.coveredAt({x, y}));
                add(field.lifeAt({x, y}));
            }
        }
    }
    void add(const ObstacleShapes::Shape& shape)
    {
        for (const Cell& offset : shape)
        {
            add(offset);
        }
    }
    void add(const Rng& rng)
    {
        add(static_cast<std::int64_t>(rng.getSeed()));
        add(static_cast<std::int64_t>(rng.getDraws()));
    }
    /// Numbers, flags and kinds, each as a 64-bit number.
    template <class T, class = std::enable_if_t<std::is_arithmetic_v<T> || std::is_enum_v<T>>>
    void add(T value)
    {
        add(static_cast<std::int64_t>(value));
    }
    std::uint64_t value() const { return m_hash; }

private:
    std::uint64_t m_hash = 14695981039346656037ULL;
};
} // namespace

std::string MatchConfig::problem(const MatchConfig& config, std::uint64_t draws)
{
    if (config.width < MinWidth || config.width > MaxWidth || config.height < MinHeight ||
        config.height > MaxHeight || config.turnLimitMs < MinTurnLimitMs ||
        config.turnLimitMs > MaxTurnLimitMs)
    {
        return "a match of " + std::to_string(config.width) + " x " + std::to_string(config.height) +
               " cells and " + std::to_string(config.turnLimitMs) + " ms turns";
    }
    if (draws > MaxDraws)
    {
        return "a generator " + std::to_string(draws) + " draws in";
    }
    return {};
}

// Every member of a match and of its parts is in its list, so the digest sees it.
static_assert(MatchParts::listed<Match>() == MatchParts::memberCount<Match>(),
              "Match::parts misses a member");
static_assert(MatchParts::listed<MatchConfig>() == MatchParts::memberCount<MatchConfig>(),
              "MatchConfig::parts misses a member");
static_assert(MatchParts::listed<RunnerState>() == MatchParts::memberCount<RunnerState>(),
              "RunnerState::parts misses a member");
static_assert(MatchParts::listed<Ghost>() == MatchParts::memberCount<Ghost>(),
              "Ghost::parts misses a member");

std::uint64_t Match::digest() const
{
    Digest d;
    MatchParts::forEach(*this, [&](const auto& part) { d.add(part); });
    return d.value();
}
} // namespace orv_gd::rules
