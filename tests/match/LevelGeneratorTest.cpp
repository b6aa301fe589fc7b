#include "match/LevelGenerator.h"

#include "FieldTestSupport.h"

#include <cstdlib>

namespace orv_gd::test
{
using LevelGeneratorTest = FieldTest;

TEST_F(LevelGeneratorTest, PlatformsAndFinishLineFollowTheRulesTheSameEveryRunWhateverIsRefused)
{
    // Generates level 0 of the 50 x 15 field, expecting this output; returns every block's id and cell.
    std::vector<std::shared_ptr<GameObject>> level;
    const auto generate = [&](const std::string& expectedOutput)
    {
        testing::internal::CaptureStdout();
        level = LevelGenerator().generate(*m_window, 50, 15, 0);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), expectedOutput);
        std::vector<std::pair<std::string, sf::Vector2i>> cells;
        for (const std::shared_ptr<GameObject>& object : level)
        {
            for (const std::shared_ptr<BlockComponent>& block : object->getComponents<BlockComponent>())
            {
                cells.emplace_back(object->getId(), block->getGridPosition());
            }
        }
        return cells;
    };
    const auto cells = generate("");
    int previousStart = -1;
    for (std::size_t group = 0; group + 1 < level.size(); ++group)
    {
        SCOPED_TRACE(group);
        EXPECT_EQ(level[group]->getId(), "map_0_" + std::to_string(group));
        const auto blocks = level[group]->getComponents<BlockComponent>();
        const sf::Vector2i first = blocks.front()->getGridPosition();
        // The first group at column 0 on row height - 5, then gaps of 3 to 8 and rows 11 or 12;
        // two to five blocks side by side, fewer only in a group cut short at the finish line.
        const int gap = first.x - previousStart;
        EXPECT_TRUE(group == 0 ? first == sf::Vector2i(0, 10)
                               : (first.y == 11 || first.y == 12) && gap >= 3 && gap <= 8);
        EXPECT_TRUE(blocks.size() <= 5u && (blocks.size() >= 2u || blocks.back()->getGridPosition().x == 46));
        EXPECT_EQ(blocks.back()->getGridPosition(),
                  first + sf::Vector2i(static_cast<int>(blocks.size()) - 1, 0));
        previousStart = first.x;
    }
    EXPECT_GE(previousStart, 41); // groups go on until none fits left of column 47
    ASSERT_EQ(level.back()->getId(), "finish_line");
    EXPECT_EQ(level.back()->getComponents<BlockComponent>().size(), 45u);
    for (const auto& [id, cell] : cells)
    {
        const std::shared_ptr<BlockComponent> b = m_grid.getBlockAt(cell.x, cell.y); // none off the map
        ASSERT_TRUE(b && b->getGameObject().getId() == id) << id << " at " << cell.x << ", " << cell.y;
        EXPECT_EQ(b->getType(), cell.x >= 47 ? BlockType::Finish : BlockType::Static);
    }
    std::srand(1); // a never-seeded rand() runs as if seeded with 1
    m_grid.clear();
    placed({1, 10}, BlockType::Static, "blocker"); // a refused platform cell is reported and kept
    EXPECT_EQ(generate("Failed to place block\n"), cells);
    std::srand(2); // the level comes from the process's random sequence: another seed, another level
    m_grid.clear();
    EXPECT_NE(generate(""), cells);
}
} // namespace orv_gd::test
