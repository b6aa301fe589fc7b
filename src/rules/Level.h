#pragma once

#include "rules/Cell.h"
#include "rules/Field.h"
#include "rules/Rng.h"

#include <vector>

namespace orv_gd::rules
{
/// One match's fixed content: randomly sized and spaced white platforms from the left edge
/// towards the right, and the three-column green finish line at the right edge.
class Level
{
public:
    /// Draws the platforms from the generator, as every match always has.
    static Level generate(Rng& rng, int width, int height);

    /// Each platform's cells, left to right, in the order they were laid.
    const std::vector<std::vector<Cell>>& getPlatforms() const { return m_platforms; }
    /// The finish line's cells, right-most column first, each top down.
    const std::vector<Cell>& getFinishLine() const { return m_finish; }
    /// The field the level makes.
    Field toField() const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<std::vector<Cell>> m_platforms;
    std::vector<Cell> m_finish;
};
} // namespace orv_gd::rules
