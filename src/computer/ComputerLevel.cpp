#include "computer/ComputerLevel.h"

#include <algorithm>

namespace orv_gd
{
int MsRange::draw(std::mt19937& random, int cap) const
{
    const int high = std::max(0, std::min(max, cap));
    const int low = std::min(min, high);
    return std::uniform_int_distribution<int>(low, high)(random);
}

namespace
{
ComputerLevel easy()
{
    ComputerLevel level;
    level.runnerThinkMs = {1500, 3500};
    level.runner.lookAhead = 1;
    level.runner.detourPercent = 50;
    level.builderTurnMs = {6500, 9000};
    level.builderAim = ComputerLevel::BuilderAim::NearCursor;
    return level;
}

ComputerLevel normal()
{
    ComputerLevel level;
    level.runnerThinkMs = {1000, 2500};
    level.runner.lookAhead = 2;
    level.runner.detourPercent = 50;
    // Quicker than it was before the fair start, which takes the early seals from it.
    level.builderTurnMs = {3000, 6000};
    level.firstDropPercent = 90;
    level.builder.runner.builderTurnMs = 4500;
    level.builder.measuredDrops = 16;
    level.builder.extraTurnsLooked = 14;
    return level;
}

ComputerLevel hard()
{
    ComputerLevel level;
    level.runnerThinkMs = {600, 1800};
    // A quick, practised person: both drops within three to five and a half seconds, the first
    // late in the turn, so the blocks last two Runner turns and often three.
    level.builderTurnMs = {3000, 5500};
    level.firstDropPercent = 75;
    level.builder.runner.builderTurnMs = 4250;
    level.builder.measuredDrops = 16;
    level.builder.extraTurnsLooked = 14;
    return level;
}
} // namespace

const ComputerLevel& ComputerLevel::of(Difficulty difficulty)
{
    static const ComputerLevel Easy = easy();
    static const ComputerLevel Normal = normal();
    static const ComputerLevel Hard = hard();
    switch (difficulty)
    {
    case Difficulty::Easy:
        return Easy;
    case Difficulty::Hard:
        return Hard;
    case Difficulty::Normal:
        break;
    }
    return Normal;
}
} // namespace orv_gd
