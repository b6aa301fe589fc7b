#include "input/BuilderStrategy.h"

#include "view/GridManager.h"

#include "core/ControllerInput.h"
#include "resources/AssetManager.h"
#include "support/MatchFixture.h"
#include "view/Palette.h"

#include <algorithm>
#include <functional>

namespace orv_gd
{
using Key = sf::Keyboard::Key;
using Cell = sf::Vector2i;
const BuilderStrategy::Shape One{{0, 0}}, Column{{0, -1}, {0, 1}, {0, 0}}, Row{{-1, 0}, {1, 0}, {0, 0}};

/// A fresh match in the Builder's first turn; tests put ghosts of known shapes at the cursor.
class BuilderStrategyTest : public ::testing::Test
{
protected:
    auto cells() { return m.builder().getCurrentBlock()->getComponents<BlockComponent>(); }
    std::vector<std::shared_ptr<BlockComponent>> ghostAt(Cell cursor, const BuilderStrategy::Shape& shape)
    {
        m.builder().setCursor(cursor);
        m.builder().replaceBlock(shape, BlockType::Dynamic);
        return cells();
    }
    test::MatchFixture m;
    ControllerInput& controllers = ControllerInput::getInstance();
};

TEST_F(BuilderStrategyTest, TheCursorStartsBesideTheRunnerStepsWithinTheViewAndTurnsTheBlock)
{
    EXPECT_EQ(m.builder().getCursor(), Cell(4, 9));
    ghostAt({10, 5}, {{-1, 0}, {0, 0}, {0, -1}, {-1, -1}}); // a square
    m.tap({Key::PageDown});
    ASSERT_EQ(cells().size(), 4u) << "the old cells are gone";
    EXPECT_EQ(cells()[0]->getGridPosition(), Cell(10, 4));
    EXPECT_EQ(cells()[2]->getGridPosition(), Cell(11, 5));
    m.tap({Key::PageUp});
    EXPECT_EQ(cells()[3]->getGridPosition(), Cell(9, 4)) << "and back";
    m.runFor(1.0f);
    ghostAt({4, 9}, One);
    const float rightEdge = m.object("Camera")->getPosition().x + 400.0f;
    m.key(Key::Right);
    m.runFor(0.18f);
    EXPECT_EQ(m.builder().getCursor().x, 5) << "the first step is immediate";
    m.runFor(0.05f);
    EXPECT_EQ(m.builder().getCursor().x, 6);
    m.runFor(3.0f);
    EXPECT_EQ(m.builder().getCursor().x, static_cast<int>(rightEdge / m.grid().getCellSize().x));
    m.key(Key::Right, false);
    ghostAt({4, 1}, Column);
    m.key(Key::Up);
    m.runFor(0.5f);
    EXPECT_EQ(m.builder().getCursor(), Cell(4, 1)) << "the column's top cell would leave the map";
}

TEST_F(BuilderStrategyTest, RedCellsRefuseDropsWhiteOrGreenOnesAreLeftOutAndTwoDropsOrTenSecondsEndTheTurn)
{
    controllers.setSimulated(true);
    controllers.setConnected(1, true);
    m.frame(); // a button already down when the turn began does not drop
    ghostAt({10, 3}, One);
    controllers.setButton(1, 0, true);
    m.runFor(0.15f);
    EXPECT_EQ(m.builder().getBlocksLeft(), 1) << "a held button drops once";
    sf::Sound& misplace = AssetManager::getInstance().GetSound("misplace");
    for (const auto& [cursor, red, sound] : {std::tuple{Cell(2, 8), 0, true}, {Cell(46, 4), 1, false}})
    {
        SCOPED_TRACE(sound ? "the safe zone, with the misplace sound" : "the finish columns, silently");
        EXPECT_EQ(ghostAt(cursor, Row)[red]->getColor(), PaletteRed);
        misplace.stop();
        m.tap({Key::Return});
        EXPECT_EQ(m.builder().getBlocksLeft(), 1);
        EXPECT_EQ(misplace.getStatus() == sf::Sound::Playing, sound);
    }
    m.put(5, 19, 19);
    m.put(5, 21, 21, BlockType::Finish);
    const auto placed = ghostAt({20, 5}, Row)[2];
    const std::string log = test::stdoutOf([&] { m.tap({Key::Return, Key::PageDown}); });
    EXPECT_EQ(m.builder().getPlacedBlocks().size(), 2u) << "the white and green cells stay";
    EXPECT_EQ(m.grid().getBlockAt(20, 5), placed);
    EXPECT_EQ(m.grid().getTimedBlocks().back(), placed);
    EXPECT_EQ(test::countOf(log, "RunnerStrategy::enter()\n"), 1) << "the second drop ends the turn, once";
    controllers.setButton(1, 0, false); // let go during the Runner's turn
    m.giveTurnTo(StrategyType::Builder);
    controllers.setButton(1, 0, true);
    m.frame();
    EXPECT_EQ(m.builder().getBlocksLeft(), 1) << "the first press of the next turn drops";
    const std::shared_ptr<GameObject> ghost = m.builder().getCurrentBlock();
    m.runFor(10.1f);
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Runner);
    EXPECT_FALSE(ghost->isActive()) << "the unplaced ghost goes dark";
    EXPECT_TRUE(ghost->getComponents<BlockComponent>().front()->isGhost());
}

TEST_F(BuilderStrategyTest, TwoDirectionKeysMoveDiagonallyAndEachActionHasItsSound)
{
    // The sounds that are playing after the action, of "move", "misplace" and "place".
    const auto heard = [](const std::function<void()>& action)
    {
        const char* ids[] = {"move", "misplace", "place"};
        for (const char* id : ids)
        {
            AssetManager::getInstance().GetSound(id).stop();
        }
        action();
        std::string playing;
        for (const char* id : ids)
        {
            playing += AssetManager::getInstance().GetSound(id).getStatus() == sf::Sound::Playing
                           ? id + std::string(" ")
                           : "";
        }
        return playing;
    };
    m.runFor(0.25f); // the cursor first moves 0.2 s into the turn
    ghostAt({10, 5}, One);
    EXPECT_EQ(heard([&] { m.tap({Key::Down, Key::Left}); }), "move ");
    EXPECT_EQ(m.builder().getCursor(), Cell(9, 6));
    m.runFor(0.25f);
    ghostAt({5, 0}, One);
    m.tap({Key::Up, Key::Right});
    EXPECT_EQ(m.builder().getCursor(), Cell(6, 0)) << "the key against the top edge holds nothing back";
    ghostAt({9, 6}, One);
    EXPECT_EQ(heard([&] { m.tap({Key::Return}); }), "move place ") << "the next ghost comes with its move";
    ghostAt({1, 9}, One);
    EXPECT_EQ(heard([&] { m.tap({Key::Return}); }), "misplace ") << "on the safe zone";
    m.runFor(0.25f);
    EXPECT_EQ(heard([&] { m.tap({Key::Left}); }), "misplace ") << "moved within it";
}

TEST_F(BuilderStrategyTest, AGreenCellOverWhiteGivesTheWhiteBackWhenItFadesAsTheRulesHoldIt)
{
    const std::shared_ptr<BlockComponent> white = m.grid().getBlockAt(3, 10); // the first platform
    ASSERT_TRUE(white && white->getType() == BlockType::Static);
    m.builder().setCursor({3, 10});
    m.builder().replaceBlock(One, BlockType::Finish);
    m.tap({Key::Return});
    EXPECT_EQ(m.grid().getBlockAt(3, 10)->getType(), BlockType::Finish);
    EXPECT_EQ(m.grid().getBlockBeneath(3, 10), white);
    for (int frame = 0; frame < 7 * 60 && m.grid().getBlockAt(3, 10) != white; ++frame)
    {
        m.frame(); // which checks the screen against the rules
    }
    EXPECT_EQ(m.grid().getBlockAt(3, 10), white) << "back after the green cell's seven seconds";
}
} // namespace orv_gd
