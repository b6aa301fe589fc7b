#include "match/BuilderStrategy.h"

#include "core/ControllerInput.h"
#include "match/Palette.h"
#include "resources/AssetManager.h"
#include "support/MatchFixture.h"

#include <SFML/Audio/Sound.hpp>

#include <cmath>

namespace orv_gd
{
using Key = sf::Keyboard::Key;
using Shape = BuilderStrategy::Shape;
using Cell = sf::Vector2i;

const Shape SingleCell{{0, 0}};
const Shape VerticalBar{{0, -1}, {0, 1}, {0, 0}};
const Shape HorizontalBar{{-1, 0}, {1, 0}, {0, 0}};
const Shape Square{{-1, 0}, {0, 0}, {0, -1}, {-1, -1}};

/// A fresh match in the Builder's first turn.
class BuilderStrategyTest : public ::testing::Test
{
protected:
    BuilderStrategy& builder() { return m.builder(); }
    /// Puts a ghost of the given shape at the cursor instead of the random one.
    void ghostAt(Cell cursor, const Shape& shape, BlockType type = BlockType::Dynamic)
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
    void hold(Key key, float seconds)
    {
        m.key(key);
        m.runFor(seconds);
        m.key(key, false);
        m.frame();
    }

    test::MatchFixture m;
};

TEST_F(BuilderStrategyTest, TheCursorStartsInFrontOfTheRunnerAndBehindItNearTheFinish)
{
    EXPECT_EQ(builder().getCursor(), Cell(4, 9));
    EXPECT_EQ(builder().getCurrentBlock()->getId(), "obstacleBlock_0");
    EXPECT_TRUE(cells().front()->isGhost());
    for (const auto& [column, cursor] : {std::pair{40, 44}, {41, 38}})
    {
        m.placeRunner({column, 9});
        m.giveTurnTo(StrategyType::Builder);
        EXPECT_EQ(builder().getCursor(), Cell(cursor, 9)) << "Runner in column " << column;
    }
}

TEST_F(BuilderStrategyTest, StepsRepeatEveryFifthOfASecondAndStopAtTheCameraAndGridEdges)
{
    m.runFor(1.0f);
    ghostAt({4, 9}, SingleCell);
    const float rightEdge = m.object("Camera")->getPosition().x + 400.0f;
    const int lastVisible = static_cast<int>(std::floor(rightEdge / m.grid().getCellSize().x));
    m.key(Key::Right);
    m.frame();
    EXPECT_EQ(builder().getCursor().x, 5) << "the first step is immediate";
    m.runFor(0.18f);
    EXPECT_EQ(builder().getCursor().x, 5);
    m.runFor(0.05f);
    EXPECT_EQ(builder().getCursor().x, 6);
    hold(Key::Right, 3.0f);
    EXPECT_EQ(cells().front()->getGridPosition(), Cell(lastVisible, 9));

    ghostAt({4, 0}, VerticalBar); // its top cell lies outside the map
    hold(Key::Down, 0.3f);
    EXPECT_EQ(builder().getCursor(), Cell(4, 1));
    EXPECT_EQ(offsets(), VerticalBar) << "the block comes back in one piece";
    hold(Key::Up, 0.5f);
    EXPECT_EQ(builder().getCursor(), Cell(4, 1)) << "the top cell would leave the map";
    ghostAt({4, 0}, SingleCell);
    hold(Key::Left, 1.5f);
    EXPECT_EQ(builder().getCursor(), Cell(0, 0));
}

TEST_F(BuilderStrategyTest, RotationTurnsTheBlockAboutTheAnchor)
{
    ghostAt({10, 5}, Square);
    m.tap({Key::PageDown});
    EXPECT_EQ(builder().getCursor(), Cell(10, 5));
    EXPECT_EQ(offsets(), (Shape{{0, -1}, {0, 0}, {1, 0}, {1, -1}}));
    m.tap({Key::PageUp});
    EXPECT_EQ(offsets(), Square) << "and the old cells are gone";
}

TEST_F(BuilderStrategyTest, TheSafeZoneRefusesADropWithTheMisplaceSoundTheFinishColumnsSilently)
{
    sf::Sound& misplace = AssetManager::getInstance().GetSound("misplace");
    for (const auto& [cursor, redCell, sound] : {std::tuple{Cell(2, 8), 0, true}, {Cell(46, 4), 1, false}})
    {
        ghostAt(cursor, HorizontalBar);
        EXPECT_EQ(cells()[redCell]->getColor(), PaletteRed);
        EXPECT_EQ(cells()[2]->getColor(), PaletteAmber);
        misplace.stop();
        m.tap({Key::Return});
        EXPECT_EQ(builder().getBlocksLeft(), 2);
        EXPECT_EQ(misplace.getStatus() == sf::Sound::Playing, sound);
    }
}

TEST_F(BuilderStrategyTest, CellsOnWhiteOrGreenAreDroppedAndTheRestPlaced)
{
    m.put(5, 19, 19);
    m.put(5, 21, 21, BlockType::Finish);
    ghostAt({20, 5}, HorizontalBar);
    const auto placed = cells()[2];
    m.tap({Key::Return});
    EXPECT_EQ(builder().getBlocksLeft(), 1);
    EXPECT_EQ(builder().getPlacedBlocks(), std::vector{placed});
    EXPECT_TRUE(placed->isPlaced() && !placed->isGhost());
    EXPECT_EQ(m.grid().getBlockAt(20, 5), placed);
    EXPECT_EQ(m.grid().getBlockAt(19, 5)->getType(), BlockType::Static);
    EXPECT_EQ(m.grid().getBlockAt(21, 5)->getType(), BlockType::Finish);
    EXPECT_EQ(m.grid().getTimedBlocks().back(), placed);
    EXPECT_EQ(builder().getCurrentBlock()->getId(), "obstacleBlock_1")
        << "the next block hangs at the cursor";
    ghostAt({19, 5}, SingleCell, BlockType::Finish);
    m.tap({Key::Return});
    EXPECT_EQ(m.grid().getBlockAt(19, 5)->getType(), BlockType::Finish) << "a finish cell goes anywhere";
}

TEST_F(BuilderStrategyTest, TwoDropsEndTheTurnOnceEvenAtTheTimeLimit)
{
    for (int turn = 0; turn < 2; ++turn)
    {
        const int turnsLeft = m.runner().getTurnsLeft();
        ghostAt({10, 3 + 5 * turn}, SingleCell);
        m.tap({Key::Return});
        ghostAt({12, 3 + 5 * turn}, Square);
        m.runFor(turn * (9.95f - builder().getTimeInTurn())); // the second turn to its last frame
        const std::string log = test::stdoutOf(
            [&]
            {
                for (Key key : {Key::Return, Key::PageDown, Key::Left})
                {
                    m.key(key);
                }
                m.frame(0.1f);
            });
        EXPECT_EQ(log.find("RunnerStrategy::enter()\n"), log.rfind("RunnerStrategy::enter()\n")) << log;
        EXPECT_NE(log.find("RunnerStrategy::enter()\n"), std::string::npos);
        EXPECT_EQ(m.grid().getCurrentPlayer(), StrategyType::Runner);
        EXPECT_EQ(m.runner().getTurnsLeft(), turnsLeft) << "no second hand-over ended the Runner's turn";
        EXPECT_FALSE(builder().getCurrentBlock());
        EXPECT_EQ(builder().getPlacedBlocks().size(), 5u) << "the blocks of this turn";
        m.giveTurnTo(StrategyType::Builder);
    }
}

TEST_F(BuilderStrategyTest, TenSecondsEndTheTurnAndTheUnplacedGhostGoesDark)
{
    const std::shared_ptr<GameObject> ghost = builder().getCurrentBlock();
    m.runFor(9.9f);
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Builder);
    m.runFor(0.2f);
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Runner);
    EXPECT_FALSE(ghost->isActive());
    EXPECT_TRUE(ghost->getComponents<BlockComponent>().front()->isGhost());
}

TEST_F(BuilderStrategyTest, ControllerButtonPlacesOncePerPressAndTheStickSteps)
{
    ControllerInput& controllers = ControllerInput::getInstance();
    controllers.setSimulated(true);
    controllers.setConnected(1, true);
    ghostAt({10, 3}, SingleCell);
    m.frame();
    controllers.setButton(1, 0, true);
    m.runFor(0.15f);
    EXPECT_EQ(builder().getBlocksLeft(), 1);
    controllers.setButton(1, 0, false);
    controllers.setAxis(1, sf::Joystick::X, -100.0f);
    m.runFor(0.5f);
    EXPECT_EQ(builder().getCursor().x, 7) << "three steps in half a second, one every 0.2 s";
    controllers.resetSimulated();
}
} // namespace orv_gd
