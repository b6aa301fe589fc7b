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
const Shape One{{0, 0}};
const Shape Column{{0, -1}, {0, 1}, {0, 0}};
const Shape Row{{-1, 0}, {1, 0}, {0, 0}};
const Shape Square{{-1, 0}, {0, 0}, {0, -1}, {-1, -1}};

/// A fresh match in the Builder's first turn; tests put ghosts of known shapes at the cursor.
class BuilderStrategyTest : public ::testing::Test
{
protected:
    std::vector<std::shared_ptr<BlockComponent>> ghostAt(Cell cursor, const Shape& shape)
    {
        m.builder().setCursor(cursor);
        m.builder().replaceBlock(shape, BlockType::Dynamic);
        return m.builder().getCurrentBlock()->getComponents<BlockComponent>();
    }
    Shape offsets()
    {
        Shape result;
        for (const auto& cell : m.builder().getCurrentBlock()->getComponents<BlockComponent>())
        {
            result.push_back(cell->getGridPosition() - m.builder().getCursor());
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
    ControllerInput& controllers = ControllerInput::getInstance();
};

TEST_F(BuilderStrategyTest, TheCursorStartsBesideTheRunnerAndTheBlockTurnsAboutIt)
{
    EXPECT_EQ(m.builder().getCursor(), Cell(4, 9));
    ghostAt({10, 5}, Square);
    m.tap({Key::PageDown});
    EXPECT_EQ(m.builder().getCursor(), Cell(10, 5));
    EXPECT_EQ(offsets(), (Shape{{0, -1}, {0, 0}, {1, 0}, {1, -1}}));
    m.tap({Key::PageUp});
    EXPECT_EQ(offsets(), Square) << "and the old cells are gone";
    for (const auto& [column, cursor] : {std::pair{40, 44}, {41, 38}}) // behind the Runner near the finish
    {
        m.placeRunner({column, 9});
        m.giveTurnTo(StrategyType::Builder);
        EXPECT_EQ(m.builder().getCursor(), Cell(cursor, 9)) << "Runner in column " << column;
    }
}

TEST_F(BuilderStrategyTest, StepsRepeatEveryFifthOfASecondAndStopAtTheCameraAndGridEdges)
{
    m.runFor(1.0f);
    ghostAt({4, 9}, One);
    const float rightEdge = m.object("Camera")->getPosition().x + 400.0f;
    m.key(Key::Right);
    m.frame();
    EXPECT_EQ(m.builder().getCursor().x, 5) << "the first step is immediate";
    m.runFor(0.18f);
    EXPECT_EQ(m.builder().getCursor().x, 5);
    m.runFor(0.05f);
    EXPECT_EQ(m.builder().getCursor().x, 6);
    hold(Key::Right, 3.0f);
    EXPECT_EQ(m.builder().getCursor().x, static_cast<int>(std::floor(rightEdge / m.grid().getCellSize().x)));
    ghostAt({4, 1}, Column);
    hold(Key::Up, 0.5f);
    EXPECT_EQ(m.builder().getCursor(), Cell(4, 1)) << "the top cell would leave the map";
    hold(Key::Left, 1.5f);
    EXPECT_EQ(m.builder().getCursor(), Cell(0, 1));
    controllers.setSimulated(true);
    controllers.setConnected(1, true);
    ghostAt({10, 3}, Row);
    controllers.setAxis(1, sf::Joystick::X, -100.0f);
    m.runFor(0.5f);
    EXPECT_EQ(m.builder().getCursor().x, 7) << "the Builder's stick: a step every 0.2 s";
}

TEST_F(BuilderStrategyTest, RedCellsRefuseTheDropAndCellsOnWhiteOrGreenAreLeftOut)
{
    sf::Sound& misplace = AssetManager::getInstance().GetSound("misplace");
    for (const auto& [cursor, redCell, sound] : {std::tuple{Cell(2, 8), 0, true}, {Cell(46, 4), 1, false}})
    {
        SCOPED_TRACE(sound ? "the safe zone, with the misplace sound" : "the finish columns, silently");
        const auto cells = ghostAt(cursor, Row);
        EXPECT_EQ(cells[redCell]->getColor(), PaletteRed);
        EXPECT_EQ(cells[2]->getColor(), PaletteAmber);
        misplace.stop();
        m.tap({Key::Return});
        EXPECT_EQ(m.builder().getBlocksLeft(), 2);
        EXPECT_EQ(misplace.getStatus() == sf::Sound::Playing, sound);
    }
    m.put(5, 19, 19);
    m.put(5, 21, 21, BlockType::Finish);
    const auto placed = ghostAt({20, 5}, Row)[2];
    m.tap({Key::Return});
    EXPECT_EQ(m.builder().getPlacedBlocks(), std::vector{placed});
    EXPECT_TRUE(placed->isPlaced() && !placed->isGhost());
    EXPECT_EQ(m.grid().getBlockAt(20, 5), placed);
    EXPECT_EQ(m.grid().getBlockAt(19, 5)->getType(), BlockType::Static);
    EXPECT_EQ(m.grid().getBlockAt(21, 5)->getType(), BlockType::Finish);
    EXPECT_EQ(m.grid().getTimedBlocks().back(), placed);
    EXPECT_EQ(m.builder().getCurrentBlock()->getId(), "obstacleBlock_1") << "the next ghost";
}

TEST_F(BuilderStrategyTest, TwoDropsOrTenSecondsEndTheTurnOnceAndTheUnplacedGhostGoesDark)
{
    controllers.setSimulated(true);
    controllers.setConnected(1, true);
    m.frame();
    for (int turn = 0; turn < 2; ++turn) // the second drop early, then in the turn's last frame
    {
        const int turnsLeft = m.runner().getTurnsLeft();
        ghostAt({10, 3 + 5 * turn}, One);
        controllers.setButton(1, 0, true);
        m.runFor(0.15f);
        controllers.setButton(1, 0, false);
        m.frame();
        EXPECT_EQ(m.builder().getBlocksLeft(), 1) << "a held button drops once";
        ghostAt({12, 3 + 5 * turn}, Square);
        m.runFor(turn * (9.95f - m.builder().getTimeInTurn()));
        const std::string log = test::stdoutOf(
            [&]
            {
                m.key(Key::Return);
                m.key(Key::PageDown);
                m.frame(0.1f);
            });
        EXPECT_NE(log.find("RunnerStrategy::enter()\n"), std::string::npos);
        EXPECT_EQ(log.find("RunnerStrategy::enter()\n"), log.rfind("RunnerStrategy::enter()\n")) << log;
        EXPECT_EQ(m.runner().getTurnsLeft(), turnsLeft) << "no second hand-over ended the Runner's turn";
        EXPECT_EQ(m.builder().getPlacedBlocks().size(), turn == 0 ? 5u : 6u)
            << "a drop after the time is up is lost";
        EXPECT_FALSE(m.builder().getCurrentBlock());
        m.giveTurnTo(StrategyType::Builder);
    }
    const std::shared_ptr<GameObject> ghost = m.builder().getCurrentBlock();
    m.runFor(9.9f);
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Builder);
    m.runFor(0.2f);
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Runner);
    EXPECT_FALSE(ghost->isActive());
    EXPECT_TRUE(ghost->getComponents<BlockComponent>().front()->isGhost());
}
} // namespace orv_gd
