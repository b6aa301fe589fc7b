#include "rules/Match.h"

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

std::uint64_t Match::digest() const
{
    Digest d;
    d.add(config.width);
    d.add(config.height);
    d.add(config.turnLimitMs);
    for (int x = 0; x < field.getWidth(); ++x)
    {
        for (int y = 0; y < field.getHeight(); ++y)
        {
            d.add(static_cast<int>(field.at({x, y})));
            d.add(static_cast<int>(field.coveredAt({x, y})));
            d.add(field.lifeAt({x, y}));
        }
    }
    d.add(runner.cell);
    d.add(runner.jumpForce);
    d.add(runner.moves);
    d.add(resetsLeft);
    d.add(turnsLeft);
    d.add(static_cast<int>(lastReset));
    d.add(static_cast<int>(turn));
    d.add(turnNumber);
    d.add(turnMs);
    d.add(blocksLeft);
    d.add(ghost.present ? 1 : 0);
    d.add(static_cast<int>(ghost.kind));
    d.add(ghost.cursor);
    for (const Cell& offset : ghost.shape)
    {
        d.add(offset);
    }
    d.add(static_cast<std::int64_t>(rng.getSeed()));
    d.add(static_cast<std::int64_t>(rng.getDraws()));
    d.add(reachedFinish ? 1 : 0);
    d.add(finishMs);
    d.add(over ? 1 : 0);
    d.add(static_cast<int>(winner));
    d.add(static_cast<int>(how));
    return d.value();
}
} // namespace orv_gd::rules
