#include "match/GridPhysics.h"

#include "FieldTestSupport.h"
#include "match/Palette.h"
#include "objects/GameObjectManager.h"
#include "resources/AssetManager.h"

#include <SFML/Audio/Sound.hpp>

#include <gtest/gtest.h>

namespace orv_gd
{
namespace
{
/// A 10 x 6 grid; "warp" is a real sound on the silent audio device, so its playing shows.
class GridPhysicsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_window = test::makeFieldWindow();
        m_grid.setCellSize({20.0f, 20.0f});
        m_grid.init(10, 6);
        AssetManager::getInstance().LoadSound("warp", m_assets.writeSound("warp"));
    }
    void TearDown() override
    {
        AssetManager::getInstance().GetSound("warp").stop();
        m_grid.clear();
        GameObjectManager::getInstance().shutdown();
    }
    std::shared_ptr<BlockComponent> place(sf::Vector2i cell, BlockType type = BlockType::Dynamic,
                                          const std::string& id = "obstacleBlock_0")
    {
        auto block = test::makeBlock(m_objects, *m_window, id, cell, type);
        m_grid.placeBlock(block);
        return block;
    }
    std::string pass()
    {
        testing::internal::CaptureStdout();
        m_grid.runPhysics();
        return testing::internal::GetCapturedStdout();
    }

    test::TempAssets m_assets;
    GridManager& m_grid = GridManager::getInstance();
    std::unique_ptr<sf::RenderWindow> m_window;
    std::vector<std::shared_ptr<GameObject>> m_objects;
};

TEST_F(GridPhysicsTest, PassWithNothingToMoveStillAnnouncesItselfAndWarps)
{
    place({2, 5});                    // bottom row
    place({3, 3}, BlockType::Static); // platforms and finish cells never fall
    place({4, 2}, BlockType::Finish);
    EXPECT_EQ(pass(), "\n\nstarting physic updates\n");
    EXPECT_EQ(AssetManager::getInstance().GetSound("warp").getStatus(), sf::Sound::Playing);
    EXPECT_NE(m_grid.getBlockAt(2, 5), nullptr);
    EXPECT_NE(m_grid.getBlockAt(3, 3), nullptr);
    EXPECT_NE(m_grid.getBlockAt(4, 2), nullptr);
}

TEST_F(GridPhysicsTest, LooseBlocksFallOneCellPerPassAndStacksFallTogether)
{
    auto low = place({1, 4});
    auto bottom = place({5, 1});
    auto top = place({5, 0});
    auto resting = place({6, 2});
    place({6, 3}, BlockType::Static);
    const std::string out = pass();
    EXPECT_NE(out.find("moved block from 1, 4 to 1, 5\n---------------\n"), std::string::npos);
    EXPECT_EQ(low->getGridPosition(), sf::Vector2i(1, 5));
    EXPECT_EQ(m_grid.getBlockAt(1, 5), low);
    EXPECT_EQ(bottom->getGridPosition(), sf::Vector2i(5, 2));
    EXPECT_EQ(top->getGridPosition(), sf::Vector2i(5, 1));
    EXPECT_EQ(m_grid.getBlockAt(5, 0), nullptr);
    EXPECT_EQ(resting->getGridPosition(), sf::Vector2i(6, 2));
    pass();
    EXPECT_EQ(low->getGridPosition(), sf::Vector2i(1, 5));
    EXPECT_EQ(top->getGridPosition(), sf::Vector2i(5, 2));
}

TEST_F(GridPhysicsTest, SafeZoneFollowsTheFallingRunnerOnly)
{
    std::shared_ptr<GameObject> zone = GameObject::create("runner_safezone");
    std::vector<std::shared_ptr<BlockComponent>> cells;
    for (int dx = -1; dx <= 1; ++dx)
    {
        cells.push_back(zone->addComponent<BlockComponent>(*zone, *m_window, sf::Vector2i(dx, 2 + dx),
                                                           PaletteShadow, true, BlockType::SafeZone));
    }
    zone->init();
    GameObjectManager::getInstance().addGameObject(zone);

    place({4, 1});
    pass();
    EXPECT_EQ(cells[0]->getGridPosition(), sf::Vector2i(-1, 1));
    auto runner = place({0, 2}, BlockType::Dynamic, "Runner");
    pass();
    EXPECT_EQ(runner->getGridPosition(), sf::Vector2i(0, 3));
    EXPECT_EQ(cells[0]->getGridPosition(), sf::Vector2i(-1, 2)); // outside the map, moved all the same
    EXPECT_EQ(cells[2]->getGridPosition(), sf::Vector2i(1, 4));
    place({0, 4}, BlockType::Static); // the Runner rests: the next pass leaves the zone
    pass();
    EXPECT_EQ(cells[1]->getGridPosition(), sf::Vector2i(0, 3));
}
} // namespace
} // namespace orv_gd
