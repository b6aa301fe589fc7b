#include "match/GridPhysics.h"

#include "FieldTestSupport.h"
#include "resources/AssetManager.h"

#include <SFML/Audio/Sound.hpp>

namespace orv_gd::test
{
using GridPhysicsTest = FieldTest;

TEST_F(GridPhysicsTest, LooseBlocksFallOneCellPerPassStacksTogetherAndTheSafeZoneWithTheRunner)
{
    AssetManager::getInstance().LoadSound("warp", "sounds/warp.wav"); // plays on the silent device
    sf::Sound& warp = AssetManager::getInstance().GetSound("warp");
    const auto pass = [this]
    {
        testing::internal::CaptureStdout();
        m_grid.runPhysics();
        return testing::internal::GetCapturedStdout();
    };
    auto bottom = placed({2, 14});
    auto aboveBottom = placed({1, 13});
    auto lower = placed({5, 12});
    auto upper = placed({5, 11});
    auto resting = placed({6, 11});
    // Only Dynamic blocks fall: a platform, a finish cell and a solid safe-zone cell stay.
    const std::shared_ptr<BlockComponent> fixed[] = {placed({6, 12}, BlockType::Static),
                                                     placed({8, 5}, BlockType::Finish),
                                                     placed({9, 5}, BlockType::SafeZone)};
    auto runner = placed({0, 12}, BlockType::Dynamic, "Runner");
    std::shared_ptr<GameObject> zone = GameObject::create("runner_safezone");
    auto zoneCell = zone->addComponent<BlockComponent>(*zone, *m_window, sf::Vector2i(-1, 11), PaletteShadow,
                                                       true, BlockType::SafeZone);
    GameObjectManager::getInstance().addGameObject(zone);

    EXPECT_EQ(pass().rfind("\n\nstarting physic updates\n", 0), 0u);
    EXPECT_EQ(m_grid.getBlockAt(1, 14), aboveBottom);
    EXPECT_EQ(lower->getGridPosition(), sf::Vector2i(5, 13));
    EXPECT_EQ(upper->getGridPosition(), sf::Vector2i(5, 12));
    EXPECT_TRUE(bottom->getGridPosition() == sf::Vector2i(2, 14) &&
                resting->getGridPosition() == sf::Vector2i(6, 11));
    EXPECT_EQ(zoneCell->getGridPosition(), sf::Vector2i(-1, 12)); // outside the map, moved all the same
    pass();
    EXPECT_EQ(m_grid.getBlockAt(5, 13), upper);
    EXPECT_EQ(runner->getGridPosition(), sf::Vector2i(0, 14));
    warp.stop();
    EXPECT_EQ(pass(), "\n\nstarting physic updates\n"); // nothing to move: announced, warped all the same
    EXPECT_EQ(warp.getStatus(), sf::Sound::Playing);
    EXPECT_EQ(zoneCell->getGridPosition(), sf::Vector2i(-1, 13)); // the Runner rests: the zone stays
    EXPECT_TRUE(fixed[0]->getGridPosition() == sf::Vector2i(6, 12) &&
                fixed[1]->getGridPosition() == sf::Vector2i(8, 5) &&
                fixed[2]->getGridPosition() == sf::Vector2i(9, 5));
}
} // namespace orv_gd::test
