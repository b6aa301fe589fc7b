#include "match/LevelGenerator.h"

#include "FieldTestSupport.h"
#include "match/BlockComponent.h"
#include "match/GridManager.h"
#include "objects/EventBus.h"
#include "objects/GameObjectCreateEvent.h"
#include "objects/GameObjectManager.h"
#include "objects/RenderableCreateEvent.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace orv_gd
{
namespace
{
/// Every block of a level as (object id, cell).
struct Placed
{
    std::string id;
    sf::Vector2i cell;
    bool operator==(const Placed& other) const { return id == other.id && cell == other.cell; }
};

/// The match's 50 x 15 field, generated with level id 0 in a fresh process.
class LevelGeneratorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_window = test::makeFieldWindow();
        m_grid.setCellSize({600.0f / 11.0f, 600.0f / 11.0f});
        m_grid.setWindow(*m_window);
        m_grid.init(50, 15);
    }
    void TearDown() override { m_grid.clear(); }

    std::vector<std::shared_ptr<GameObject>> generate()
    {
        testing::internal::CaptureStdout();
        std::vector<std::shared_ptr<GameObject>> level = LevelGenerator().generate(*m_window, 50, 15, 0);
        m_output = testing::internal::GetCapturedStdout();
        return level;
    }

    static std::vector<Placed> layout(const std::vector<std::shared_ptr<GameObject>>& level)
    {
        std::vector<Placed> placed;
        for (const auto& object : level)
        {
            for (const auto& block : object->getComponents<BlockComponent>())
            {
                placed.push_back({object->getId(), block->getGridPosition()});
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
    ASSERT_GE(level.size(), 2u);
    EXPECT_EQ(m_output, "");
    int previousStart = -1;
    for (std::size_t group = 0; group + 1 < level.size(); ++group)
    {
        EXPECT_EQ(level[group]->getId(), "map_0_" + std::to_string(group));
        const auto blocks = level[group]->getComponents<BlockComponent>();
        ASSERT_FALSE(blocks.empty());
        const int start = blocks.front()->getGridPosition().x;
        const int row = blocks.front()->getGridPosition().y;
        if (group == 0)
        {
            EXPECT_EQ(start, 0);
            EXPECT_EQ(row, 10);
        }
        else
        {
            EXPECT_TRUE(row == 11 || row == 12) << "group " << group << " on row " << row;
            EXPECT_GE(start - previousStart, 3);
            EXPECT_LE(start - previousStart, 8);
        }
        EXPECT_LT(start, 47);
        // Up to five blocks side by side; only a group cut short at the finish line has fewer than two.
        EXPECT_LE(blocks.size(), 5u);
        EXPECT_TRUE(blocks.size() >= 2u || blocks.back()->getGridPosition().x == 46);
        for (std::size_t i = 0; i < blocks.size(); ++i)
        {
            const auto& block = blocks[i];
            EXPECT_EQ(block->getGridPosition(), sf::Vector2i(start + static_cast<int>(i), row));
            EXPECT_EQ(block->getType(), BlockType::Static);
            EXPECT_FALSE(block->isGhost());
            EXPECT_EQ(m_grid.getBlockAt(start + static_cast<int>(i), row), block);
        }
        previousStart = start;
    }
    // The last group is the one whose start no longer fits left of the finish line.
    EXPECT_GE(previousStart + 3, 44);
}

TEST_F(LevelGeneratorTest, FinishLineIsFortyFiveBlocksOnOneObjectAndNothingElseReachesIt)
{
    const auto level = generate();
    const auto& finish = level.back();
    EXPECT_EQ(finish->getId(), "finish_line");
    const auto blocks = finish->getComponents<BlockComponent>();
    ASSERT_EQ(blocks.size(), 45u);
    for (std::size_t i = 0; i < blocks.size(); ++i)
    {
        const sf::Vector2i expected(50 - 1 - static_cast<int>(i / 15), static_cast<int>(i % 15));
        EXPECT_EQ(blocks[i]->getGridPosition(), expected);
        EXPECT_EQ(blocks[i]->getType(), BlockType::Finish);
        EXPECT_EQ(m_grid.getBlockAt(expected.x, expected.y), blocks[i]);
    }
    for (const Placed& placed : layout(level))
    {
        EXPECT_TRUE(m_grid.isInside(placed.cell.x, placed.cell.y));
        EXPECT_EQ(placed.cell.x >= 47, placed.id == "finish_line") << placed.id << " at " << placed.cell.x;
    }
}

TEST_F(LevelGeneratorTest, EveryBlockAndObjectIsAnnounced)
{
    EventBus& bus = EventBus::getInstance();
    std::vector<std::string> layers;
    std::vector<std::string> objects;
    bus.addListener(
        RenderableCreateEvent::Type, [&layers](std::shared_ptr<IEvent> event)
        { layers.push_back(std::static_pointer_cast<RenderableCreateEvent>(event)->getLayerName()); });
    bus.addListener(
        GameObjectCreateEvent::Type, [&objects](std::shared_ptr<IEvent> event)
        { objects.push_back(std::static_pointer_cast<GameObjectCreateEvent>(event)->getData()->getId()); });
    const auto level = generate();
    EXPECT_EQ(layers.size(), layout(level).size());
    EXPECT_EQ(std::count(layers.begin(), layers.end(), "Map"), static_cast<long>(layers.size()));
    ASSERT_EQ(objects.size(), level.size());
    for (std::size_t i = 0; i < level.size(); ++i)
    {
        EXPECT_EQ(objects[i], level[i]->getId());
    }
}

TEST_F(LevelGeneratorTest, SameLevelEveryRunAndNoRowDrawForTheFirstGroup)
{
    // A never-seeded rand() runs as if seeded with 1.
    const auto first = layout(generate());
    std::srand(1);
    m_grid.clear();
    const auto level = generate();
    EXPECT_EQ(layout(level), first);

    // Group 0 draws width and gap, every later group width, row and gap.
    const int draws = 2 + 3 * static_cast<int>(level.size() - 2);
    const int next = std::rand();
    std::srand(1);
    for (int i = 0; i < draws; ++i)
    {
        std::rand();
    }
    EXPECT_EQ(next, std::rand());
}

TEST_F(LevelGeneratorTest, RefusedPlatformCellIsReported)
{
    std::vector<std::shared_ptr<GameObject>> keep;
    m_grid.placeBlock(test::makeBlock(keep, *m_window, "blocker", {1, 10}, BlockType::Static));
    const auto level = generate();
    EXPECT_EQ(m_output, "Failed to place block\n");
    // The refused block stays on its object.
    EXPECT_EQ(level[0]->getComponents<BlockComponent>()[1]->getGridPosition(), sf::Vector2i(1, 10));
}
} // namespace
} // namespace orv_gd
