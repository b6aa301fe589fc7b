#include "view/LevelGenerator.h"

#include "FieldTestSupport.h"
#include "rules/Level.h"

namespace orv_gd::test
{
using LevelGeneratorTest = FieldTest;

TEST_F(LevelGeneratorTest, EachPlatformOfTheRulesLevelIsAnObjectInTheGridAndTheFinishLineOneMore)
{
    rules::Rng rng(1);
    const rules::Level level = rules::Level::generate(rng, 50, 15);
    testing::internal::CaptureStdout();
    const std::vector<std::shared_ptr<GameObject>> objects = LevelGenerator().generate(*m_window, level, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(objects.size(), level.getPlatforms().size() + 1);
    for (std::size_t group = 0; group < level.getPlatforms().size(); ++group)
    {
        EXPECT_EQ(objects[group]->getId(), "map_0_" + std::to_string(group));
        for (const rules::Cell& cell : level.getPlatforms()[group])
        {
            const std::shared_ptr<BlockComponent> block = m_grid.getBlockAt(cell.x, cell.y);
            ASSERT_TRUE(block && block->getType() == BlockType::Static &&
                        &block->getGameObject() == objects[group].get());
        }
    }
    EXPECT_EQ(objects.back()->getId(), "finish_line");
    EXPECT_EQ(objects.back()->getComponents<BlockComponent>().size(), 45u);
    EXPECT_EQ(m_grid.getBlockAt(47, 0)->getType(), BlockType::Finish);
}
} // namespace orv_gd::test
