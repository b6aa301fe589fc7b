#include "match/LevelGenerator.h"

#include "FieldTestSupport.h"
#include "rules/Level.h"

namespace orv_gd::test
{
using LevelGeneratorTest = FieldTest;

TEST_F(LevelGeneratorTest, TheFirstTwoLevelsOfAFreshProcessCellByCellAndTheFinishLine)
{
    // Generates level 0 of the 50 x 15 field, expecting this output; returns rows 10 to 12 of
    // columns 0 to 46 as the grid holds them: the group number of a platform cell ("map_0_<n>"),
    // 'x' a cell of another object, '.' an empty cell.
    std::vector<std::shared_ptr<GameObject>> level;
    rules::Rng rng(1);
    const auto generate = [&](const std::string& expectedOutput)
    {
        testing::internal::CaptureStdout();
        level = LevelGenerator().generate(*m_window, rules::Level::generate(rng, 50, 15), 0);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), expectedOutput);
        std::vector<std::string> rows;
        for (int y = 10; y <= 12; ++y)
        {
            std::string& row = rows.emplace_back();
            for (int x = 0; x <= 46; ++x)
            {
                const std::shared_ptr<BlockComponent> b = m_grid.getBlockAt(x, y);
                const std::string id = b ? b->getGameObject().getId() : "";
                row += !b                                                                ? '.'
                       : id.rfind("map_0_", 0) == 0 && b->getType() == BlockType::Static ? id.back()
                                                                                         : 'x';
            }
        }
        return rows;
    };
    using Rows = std::vector<std::string>;
    // From the generator as a fresh process starts it: per group its width (2 + r % 4), its row
    // (10, then 11 + r % 2) and the gap after it (1 + r % 3); a group reaching column 47 is cut
    // short there.
    EXPECT_EQ(generate(""), (Rows{"00000..........................................",
                                  ".............22222.......44444..55555.6666..777",
                                  ".......111.........333........................."}));
    ASSERT_EQ(level.size(), 9u);
    ASSERT_EQ(level.back()->getId(), "finish_line");
    EXPECT_EQ(level.back()->getComponents<BlockComponent>().size(), 45u);
    for (int y = 0; y < 15; ++y)
    {
        for (int x = 47; x < 50; ++x)
        {
            const std::shared_ptr<BlockComponent> b = m_grid.getBlockAt(x, y);
            ASSERT_TRUE(b && b->getType() == BlockType::Finish &&
                        b->getGameObject().getId() == "finish_line");
        }
    }
    m_grid.clear();
    EXPECT_EQ(generate(""), (Rows{"000............................................",
                                  "......1111..........3333..............77777..88",
                                  "............22222........444..55..666.........."}));
    rng = rules::Rng(1);
    m_grid.clear();
    placed({1, 10}, BlockType::Static, "blocker"); // a refused platform cell is reported and kept
    EXPECT_EQ(generate("Failed to place block\n").front(), "0x000..........................................");
    EXPECT_EQ(level.front()->getComponents<BlockComponent>().size(), 5u);
}
} // namespace orv_gd::test
