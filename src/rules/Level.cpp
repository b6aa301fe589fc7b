#include "rules/Level.h"

#include "rules/Match.h"

namespace orv_gd::rules
{
Level Level::generate(Rng& rng, int width, int height)
{
    Level level;
    level.m_width = width;
    level.m_height = height;
    const int baseRow = Match::startCell(height).y + 1;
    // The last column a platform may use: right of it lies the finish line.
    const int lastPlatformColumn = width - Match::FinishColumns - 1;
    int cursor = 0;
    int group = 0;
    while (cursor < width - Match::FinishColumns)
    {
        const int groupWidth = (rng.next() % 4) + 2;
        // The first platform lies right under the Runner's start cell.
        const int rowOffset = group == 0 ? 0 : (rng.next() % 2) + 1;
        std::vector<Cell> platform;
        for (int i = 0; i < groupWidth && cursor + i <= lastPlatformColumn; ++i)
        {
            platform.push_back({cursor + i, baseRow + rowOffset});
        }
        level.m_platforms.push_back(platform);
        const int gap = (rng.next() % 3) + 1;
        cursor += groupWidth + gap;
        ++group;
    }
    for (int k = 1; k <= Match::FinishColumns; ++k)
    {
        for (int y = 0; y < height; ++y)
        {
            level.m_finish.push_back({width - k, y});
        }
    }
    return level;
}

Field Level::toField() const
{
    Field field(m_width, m_height);
    for (const std::vector<Cell>& platform : m_platforms)
    {
        for (const Cell& cell : platform)
        {
            field.set(cell, CellKind::Static);
        }
    }
    for (const Cell& cell : m_finish)
    {
        field.set(cell, CellKind::Finish);
    }
    return field;
}
} // namespace orv_gd::rules
