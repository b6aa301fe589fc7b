#include "match/BuilderStrategy.h"

#include "core/ControllerInput.h"
#include "match/BlockComponent.h"
#include "match/BlockType.h"
#include "match/GridManager.h"
#include "match/MainState.h"
#include "match/Palette.h"
#include "match/RunnerStrategy.h"
#include "objects/GameObject.h"
#include "resources/AssetManager.h"
#include "support/MatchFixture.h"

#include <SFML/Audio/Sound.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace orv_gd
{
namespace
{
using Key = sf::Keyboard::Key;
using Shape = BuilderStrategy::Shape;

const Shape SingleCell{{0, 0}};
const Shape VerticalBar{{0, -1}, {0, 1}, {0, 0}};
const Shape HorizontalBar{{-1, 0}, {1, 0}, {0, 0}};
const Shape Square{{-1, 0}, {0, 0}, {0, -1}, {-1, -1}};

/// A fresh match in the Builder's first turn.
class BuilderStrategyTest : public ::testing::Test
{
protected:
    void SetUp() override { m = std::make_unique<test::MatchFixture>(); }

    BuilderStrategy& builder() { return m->builder(); }
    /// Puts a ghost of the given shape at the cursor instead of the random one.
    void ghostAt(sf::Vector2i cursor, const Shape& shape, BlockType type = BlockType::Dynamic)
    {
        builder().setCursor(cursor);
        builder().replaceBlock(shape, type);
    }
    std::vector<std::shared_ptr<BlockComponent>> cells()
    {
        return builder().getCurrentBlock()->getComponents<BlockComponent>();
    }
    Shape offsets()
    {
        Shape result;
        for (const std::shared_ptr<BlockComponent>& cell : cells())
        {
            result.push_back(cell->getGridPosition() - builder().getCursor());
        }
        return result;
    }
    sf::Sound& sound(const std::string& id) { return AssetManager::getInstance().GetSound(id); }
    void silence()
    {
        for (const char* id : {"move", "misplace", "place"})
        {
            sound(id).stop();
        }
    }
    void hold(Key key, float seconds)
    {
        m->press(key);
        m->runFor(seconds);
        m->release(key);
        m->frame();
    }

    std::unique_ptr<test::MatchFixture> m;
};

TEST_F(BuilderStrategyTest, TheCursorStartsInFrontOfTheRunnerAndBehindItNearTheFinish)
{
    EXPECT_EQ(builder().getCursor(), sf::Vector2i(4, 9));
    ASSERT_TRUE(builder().getCurrentBlock());
    EXPECT_EQ(builder().getCurrentBlock()->getId(), "obstacleBlock_0");
    EXPECT_TRUE(cells().front()->isGhost());

    m->placeRunner({40, 9});
    m->giveTurnTo(StrategyType::Builder);
    EXPECT_EQ(builder().getCursor(), sf::Vector2i(44, 9));
    m->placeRunner({41, 9});
    m->giveTurnTo(StrategyType::Builder);
    EXPECT_EQ(builder().getCursor(), sf::Vector2i(38, 9));
}

TEST_F(BuilderStrategyTest, StepsStopAtTheGridEdge)
{
    ghostAt({4, 1}, VerticalBar);
    hold(Key::Up, 0.5f);
    EXPECT_EQ(builder().getCursor(), sf::Vector2i(4, 1)) << "the top cell would leave the map";

    ghostAt({4, 0}, SingleCell);
    hold(Key::Up, 0.5f);
    EXPECT_EQ(builder().getCursor(), sf::Vector2i(4, 0));
    hold(Key::Left, 1.5f);
    EXPECT_EQ(builder().getCursor(), sf::Vector2i(0, 0));
}

TEST_F(BuilderStrategyTest, StepsStopAtTheCameraEdgeAndRepeatEveryFifthOfASecond)
{
    m->runFor(1.0f);
    ghostAt({4, 9}, SingleCell);
    const float cellEdge = m->grid().getCellSize().x;
    const float rightEdge = m->object("Camera")->getPosition().x + 400.0f;
    const int lastVisible = static_cast<int>(std::floor(rightEdge / cellEdge));

    m->press(Key::Right);
    m->frame();
    EXPECT_EQ(builder().getCursor().x, 5) << "the first step is immediate";
    m->runFor(0.18f);
    EXPECT_EQ(builder().getCursor().x, 5);
    m->runFor(0.05f);
    EXPECT_EQ(builder().getCursor().x, 6);
    m->runFor(3.0f);
    m->release(Key::Right);
    m->frame();
    EXPECT_EQ(builder().getCursor().x, lastVisible);
    EXPECT_EQ(cells().front()->getGridPosition(), sf::Vector2i(lastVisible, 9));
}

TEST_F(BuilderStrategyTest, RotationTurnsTheBlockAboutTheAnchor)
{
    ghostAt({10, 5}, Square);
    m->tap(Key::PageDown);
    EXPECT_EQ(builder().getCursor(), sf::Vector2i(10, 5));
    EXPECT_EQ(offsets(), (Shape{{0, -1}, {0, 0}, {1, 0}, {1, -1}}));
    m->tap(Key::PageUp);
    EXPECT_EQ(offsets(), Square);
    EXPECT_EQ(cells().size(), 4u) << "the old cells are gone";
}

TEST_F(BuilderStrategyTest, AGhostRotatedPartlyOutOfTheMapCanBeSteeredBackWhole)
{
    m->runFor(0.3f);
    ghostAt({4, 0}, VerticalBar);
    ASSERT_EQ(offsets().front(), sf::Vector2i(0, -1));
    hold(Key::Down, 0.1f);
    EXPECT_EQ(builder().getCursor(), sf::Vector2i(4, 1));
    EXPECT_EQ(offsets(), VerticalBar) << "the block stays in one piece";
    m->tap(Key::Return);
    EXPECT_EQ(builder().getBlocksLeft(), 1);
}

TEST_F(BuilderStrategyTest, TheSafeZoneRefusesADropWithTheMisplaceSound)
{
    ghostAt({2, 8}, HorizontalBar);
    EXPECT_EQ(cells()[0]->getColor(), PaletteRed) << "the cell on the safe zone";
    EXPECT_EQ(cells()[1]->getColor(), PaletteAmber);
    silence();
    m->tap(Key::Return);
    EXPECT_EQ(builder().getBlocksLeft(), 2);
    EXPECT_TRUE(cells().front()->isGhost());
    EXPECT_EQ(sound("misplace").getStatus(), sf::Sound::Playing);
}

TEST_F(BuilderStrategyTest, TheFinishColumnsRefuseADropSilently)
{
    ghostAt({46, 4}, HorizontalBar);
    EXPECT_EQ(cells()[1]->getColor(), PaletteRed);
    EXPECT_EQ(cells()[0]->getColor(), PaletteAmber);
    silence();
    m->tap(Key::Return);
    EXPECT_EQ(builder().getBlocksLeft(), 2);
    EXPECT_TRUE(cells().front()->isGhost());
    EXPECT_NE(sound("misplace").getStatus(), sf::Sound::Playing);
}

TEST_F(BuilderStrategyTest, CellsOnWhiteOrGreenAreDroppedAndTheRestPlaced)
{
    m->putBlock({19, 5}, static_cast<int>(BlockType::Static));
    m->putBlock({21, 5}, static_cast<int>(BlockType::Finish));
    ghostAt({20, 5}, HorizontalBar);
    const std::shared_ptr<GameObject> dropped = builder().getCurrentBlock();
    m->tap(Key::Return);

    EXPECT_EQ(builder().getBlocksLeft(), 1);
    const auto placed = dropped->getComponents<BlockComponent>();
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed.front()->getGridPosition(), sf::Vector2i(20, 5));
    EXPECT_TRUE(placed.front()->isPlaced());
    EXPECT_FALSE(placed.front()->isGhost());
    EXPECT_EQ(m->grid().getBlockAt(20, 5), placed.front());
    EXPECT_EQ(m->grid().getBlockAt(19, 5)->getType(), BlockType::Static);
    EXPECT_EQ(m->grid().getBlockAt(21, 5)->getType(), BlockType::Finish);
    const auto& timed = m->grid().getTimedBlocks();
    EXPECT_NE(std::find(timed.begin(), timed.end(), placed.front()), timed.end());
    EXPECT_EQ(builder().getCurrentBlock()->getId(), "obstacleBlock_1")
        << "the next block hangs at the cursor";
}

TEST_F(BuilderStrategyTest, ASingleFinishCellIsAcceptedOnAnyCellInTheMap)
{
    m->putBlock({12, 5}, static_cast<int>(BlockType::Static));
    ghostAt({12, 5}, SingleCell, BlockType::Finish);
    const std::shared_ptr<GameObject> dropped = builder().getCurrentBlock();
    m->tap(Key::Return);
    EXPECT_EQ(m->grid().getBlockAt(12, 5), dropped->getComponent<BlockComponent>());
}

TEST_F(BuilderStrategyTest, TwoDropsEndTheTurn)
{
    ghostAt({10, 3}, SingleCell);
    m->tap(Key::Return);
    ghostAt({12, 3}, VerticalBar);
    testing::internal::CaptureStdout();
    m->tap(Key::Return);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(m->match().getCurrentStrategy(), StrategyType::Runner);
    EXPECT_EQ(m->grid().getCurrentPlayer(), StrategyType::Runner);
    EXPECT_NE(log.find("RunnerStrategy::enter()\n"), std::string::npos);
    EXPECT_FALSE(builder().getCurrentBlock());
    EXPECT_EQ(builder().getPlacedBlocks().size(), 4u);
}

TEST_F(BuilderStrategyTest, TheSecondDropWithARotationOrTimeoutHandsOverOnce)
{
    ghostAt({10, 3}, SingleCell);
    m->tap(Key::Return);
    ghostAt({12, 3}, Square);
    m->runFor(9.95f - builder().getTimeInTurn());
    testing::internal::CaptureStdout();
    m->press(Key::Return);
    m->press(Key::PageDown);
    m->press(Key::Left);
    m->frame(0.1f);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(m->match().getCurrentStrategy(), StrategyType::Runner);
    EXPECT_EQ(m->runner().getTurnsLeft(), 50) << "the Runner's turn was not ended by a second hand-over";
    EXPECT_EQ(log.find("RunnerStrategy::enter()"), log.rfind("RunnerStrategy::enter()"));
}

TEST_F(BuilderStrategyTest, TenSecondsEndTheTurnAndTheUnplacedGhostGoesDark)
{
    const std::shared_ptr<GameObject> ghost = builder().getCurrentBlock();
    m->runFor(9.9f);
    EXPECT_EQ(m->match().getCurrentStrategy(), StrategyType::Builder);
    m->runFor(0.2f);
    EXPECT_EQ(m->match().getCurrentStrategy(), StrategyType::Runner);
    EXPECT_FALSE(ghost->isActive());
    EXPECT_TRUE(ghost->getComponents<BlockComponent>().front()->isGhost());
}

TEST_F(BuilderStrategyTest, ControllerButtonPlacesOncePerPress)
{
    ControllerInput& controllers = ControllerInput::getInstance();
    controllers.setSimulated(true);
    controllers.setConnected(1, true);
    ghostAt({10, 3}, SingleCell);
    m->frame();
    controllers.setButton(1, 0, true);
    m->frames(10);
    EXPECT_EQ(builder().getBlocksLeft(), 1);
    controllers.setButton(1, 0, false);
    m->frame();
    controllers.setAxis(1, sf::Joystick::X, -100.0f);
    m->runFor(0.5f);
    controllers.setAxis(1, sf::Joystick::X, 0.0f);
    EXPECT_LE(builder().getCursor().x, 8) << "the stick steps the cursor";
    EXPECT_GE(builder().getCursor().x, 7) << "at most once every 0.2 s";
    controllers.resetSimulated();
}
} // namespace
} // namespace orv_gd
