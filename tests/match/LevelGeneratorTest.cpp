#include "match/LevelGenerator.h"

#include "FieldTestSupport.h"
#include "match/GridManager.h"
#include "objects/EventBus.h"
#include "objects/GameObjectCreateEvent.h"
#include "objects/RenderableCreateEvent.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace orv_gd
{
namespace
{
/// The match's 50 x 15 field, level 0, generated in a fresh process.
class LevelGeneratorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_window = test::makeFieldWindow();
        m_grid.setCellSize({600.0f / 11.0f, 600.0f / 11.0f});
        m_grid.init(50, 15);
    }
    void TearDown() override { m_grid.clear(); }

    std::vector<std::shared_ptr<GameObject>> generate()
    {
        testing::internal::CaptureStdout();
        auto level = LevelGenerator().generate(*m_window, 50, 15, 0);
        m_output = testing::internal::GetCapturedStdout();
        return level;
    }
    /// Every block as object id and cell, in creation order.
    static std::vector<std::pair<std::string, sf::Vector2i>>
    layout(const std::vector<std::shared_ptr<GameObject>>& level)
    {
        std::vector<std::pair<std::string, sf::Vector2i>> placed;
        for (const auto& object : level)
        {
            for (const auto& block : object->getComponents<BlockComponent>())
            {
                placed.emplace_back(object->getId(), block->getGridPosition());
            }
        }
        return placed;
    }

    GridManager& m_grid = GridManager::getInstance();
    std::unique_ptr<sf::RenderWindow> m_window;
    std::string m_output;
};

TEST_F(LevelGeneratorTest, PlatformGroupsFollowTheRules)
{
    const auto level = generate();
    EXPECT_EQ(m_output, "");
    int previousStart = -1;
    for (std::size_t group = 0; group + 1 < level.size(); ++group)
    {
        EXPECT_EQ(level[group]->getId(), "map_0_" + std::to_string(group));
        const auto blocks = level[group]->getComponents<BlockComponent>();
        ASSERT_FALSE(blocks.empty());
        const sf::Vector2i first = blocks.front()->getGridPosition();
        if (group == 0)
        {
            EXPECT_EQ(first, sf::Vector2i(0, 10));
        }
        else
        {
            EXPECT_TRUE(first.y == 11 || first.y == 12) << "group " << group;
            EXPECT_GE(first.x - previousStart, 3);
            EXPECT_LE(first.x - previousStart, 8);
        }
        // Two to five blocks side by side; only a group cut short at the finish line has fewer.
        EXPECT_LE(blocks.size(), 5u);
        EXPECT_TRUE(blocks.size() >= 2u || blocks.back()->getGridPosition().x == 46);
        for (std::size_t i = 0; i < blocks.size(); ++i)
        {
            EXPECT_EQ(blocks[i]->getGridPosition(), first + sf::Vector2i(static_cast<int>(i), 0));
            EXPECT_EQ(blocks[i]->getType(), BlockType::Static);
            EXPECT_EQ(m_grid.getBlockAt(first.x + static_cast<int>(i), first.y), blocks[i]);
        }
        previousStart = first.x;
    }
    EXPECT_GE(previousStart, 41); // the loop runs until no further group fits left of column 47
}

TEST_F(LevelGeneratorTest, FinishLineIsFortyFiveBlocksOnOneObjectAndNothingElseReachesIt)
{
    const auto level = generate();
    EXPECT_EQ(level.back()->getId(), "finish_line");
    const auto blocks = level.back()->getComponents<BlockComponent>();
    ASSERT_EQ(blocks.size(), 45u);
    for (std::size_t i = 0; i < blocks.size(); ++i)
    {
        const sf::Vector2i cell(49 - static_cast<int>(i / 15), static_cast<int>(i % 15));
        EXPECT_EQ(blocks[i]->getGridPosition(), cell);
        EXPECT_EQ(blocks[i]->getType(), BlockType::Finish);
        EXPECT_EQ(m_grid.getBlockAt(cell.x, cell.y), blocks[i]);
    }
    for (const auto& [id, cell] : layout(level))
    {
        EXPECT_TRUE(m_grid.isInside(cell.x, cell.y));
        EXPECT_EQ(cell.x >= 47, id == "finish_line") << id << " at column " << cell.x;
    }
}

TEST_F(LevelGeneratorTest, EveryBlockAndObjectIsAnnouncedInOrder)
{
    std::vector<std::string> layers;
    std::vector<std::string> objects;
    EventBus& bus = EventBus::getInstance();
    bus.addListener(
        RenderableCreateEvent::Type, [&layers](std::shared_ptr<IEvent> event)
        { layers.push_back(std::static_pointer_cast<RenderableCreateEvent>(event)->getLayerName()); });
    bus.addListener(
        GameObjectCreateEvent::Type, [&objects](std::shared_ptr<IEvent> event)
        { objects.push_back(std::static_pointer_cast<GameObjectCreateEvent>(event)->getData()->getId()); });
    const auto level = generate();
    EXPECT_EQ(layers, std::vector<std::string>(layout(level).size(), "Map"));
    ASSERT_EQ(objects.size(), level.size());
    for (std::size_t i = 0; i < level.size(); ++i)
    {
        EXPECT_EQ(objects[i], level[i]->getId());
    }
}

TEST_F(LevelGeneratorTest, SameLevelEveryRunAndNoRowDrawForTheFirstGroup)
{
    const auto first = layout(generate());
    std::srand(1); // a never-seeded rand() runs as if seeded with 1
    m_grid.clear();
    const auto level = generate();
    EXPECT_EQ(layout(level), first);

    // Group 0 draws its width and gap; every later group its width, row and gap.
    const int next = std::rand();
    std::srand(1);
    for (std::size_t i = 0; i < 2 + 3 * (level.size() - 2); ++i)
    {
        std::rand();
    }
    EXPECT_EQ(next, std::rand());
}

TEST_F(LevelGeneratorTest, RefusedPlatformCellIsReportedAndKept)
{
    std::vector<std::shared_ptr<GameObject>> keep;
    m_grid.placeBlock(test::makeBlock(keep, *m_window, "blocker", {1, 10}, BlockType::Static));
    const auto level = generate();
    EXPECT_EQ(m_output, "Failed to place block\n");
    EXPECT_EQ(level[0]->getComponents<BlockComponent>()[1]->getGridPosition(), sf::Vector2i(1, 10));
}
} // namespace
} // namespace orv_gd
