#include "rules/Level.h"

#include <gtest/gtest.h>

#include <string>

namespace orv_gd::rules
{
namespace
{
/// Rows 10 to 12 of columns 0 to 46 with each platform cell as its group number, '.' elsewhere.
std::vector<std::string> platformRows(const Level& level)
{
    std::vector<std::string> rows(3, std::string(47, '.'));
    for (std::size_t group = 0; group < level.getPlatforms().size(); ++group)
    {
        for (const Cell& cell : level.getPlatforms()[group])
        {
            rows.at(static_cast<std::size_t>(cell.y - 10)).at(static_cast<std::size_t>(cell.x)) =
                static_cast<char>('0' + group);
        }
    }
    return rows;
}
} // namespace

TEST(LevelTest, TheFirstTwoLevelsOfAFreshProcessAndTheFinishLine)
{
    using Rows = std::vector<std::string>;
    // Per group its width (2 + r % 4), its row (10, then 11 + r % 2) and the gap after it
    // (1 + r % 3); a group reaching column 47 is cut short there. The second level goes on with
    // the draws the first left.
    Rng rng(1);
    const Level first = Level::generate(rng, 50, 15);
    EXPECT_EQ(platformRows(first), (Rows{"00000..........................................",
                                         ".............22222.......44444..55555.6666..777",
                                         ".......111.........333........................."}));
    const Level second = Level::generate(rng, 50, 15);
    EXPECT_EQ(platformRows(second), (Rows{"000............................................",
                                          "......1111..........3333..............77777..88",
                                          "............22222........444..55..666.........."}));

    const std::vector<Cell>& finish = first.getFinishLine();
    ASSERT_EQ(finish.size(), 45u);
    EXPECT_EQ(finish.front(), (Cell{49, 0}));
    EXPECT_EQ(finish[15], (Cell{48, 0}));
    EXPECT_EQ(finish.back(), (Cell{47, 14}));
    const Field field = first.toField();
    ASSERT_EQ(field.getWidth(), 50);
    ASSERT_EQ(field.getHeight(), 15);
    int white = 0;
    for (int x = 0; x < 50; ++x)
    {
        for (int y = 0; y < 15; ++y)
        {
            const CellKind kind = field.at({x, y});
            ASSERT_EQ(kind == CellKind::Finish, x >= 47) << x << ", " << y;
            white += kind == CellKind::Static ? 1 : 0;
        }
    }
    EXPECT_EQ(white, 33);
}
} // namespace orv_gd::rules
