#include "match/GridManager.h"

#include "FieldTestSupport.h"
#include "match/BlockComponent.h"
#include "match/Palette.h"
#include "objects/EventBus.h"
#include "objects/GameObjectManager.h"
#include "objects/IRenderComponent.h"
#include "objects/RenderableDestroyEvent.h"

#include <SFML/Graphics/RectangleShape.hpp>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace orv_gd
{
namespace
{
/// The match's 50 x 15 grid with the cell size of a 600-pixel-high window.
class GridManagerTest : public ::testing::Test
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

    std::shared_ptr<BlockComponent> block(sf::Vector2i cell, BlockType type = BlockType::Dynamic,
                                          bool ghost = false, const std::string& id = "obstacleBlock_0")
    {
        return test::makeBlock(m_objects, *m_window, id, cell, type, ghost);
    }

    GridManager& m_grid = GridManager::getInstance();
    std::unique_ptr<sf::RenderWindow> m_window;
    std::vector<std::shared_ptr<GameObject>> m_objects;
};

TEST_F(GridManagerTest, InitBuildsAnEmptyTableOfTheMapSize)
{
    EXPECT_EQ(m_grid.getMapSize(), sf::Vector2i(50, 15));
    ASSERT_EQ(m_grid.getCells().size(), 50u);
    for (const auto& column : m_grid.getCells())
    {
        ASSERT_EQ(column.size(), 15u);
        for (const auto& cell : column)
        {
            EXPECT_EQ(cell, nullptr);
        }
    }
    EXPECT_TRUE(m_grid.isInside(0, 0));
    EXPECT_TRUE(m_grid.isInside(49, 14));
    EXPECT_FALSE(m_grid.isInside(-1, 0));
    EXPECT_FALSE(m_grid.isInside(50, 0));
    EXPECT_FALSE(m_grid.isInside(0, 15));
    EXPECT_EQ(m_grid.getBlockAt(-1, 9), nullptr);
    EXPECT_EQ(m_grid.getBlockAt(50, 14), nullptr);
}

TEST_F(GridManagerTest, FrameRectanglesCoverMapAndFrame)
{
    const std::size_t cells = 66u * 25u;
    ASSERT_EQ(m_grid.frameCount(), cells);
    const sf::VertexArray& frame = m_grid.getCellShapes();
    ASSERT_EQ(frame.getVertexCount(), cells * 30u);
    EXPECT_EQ(m_grid.frameIndex(-8, -5), 0u);
    EXPECT_EQ(m_grid.frameIndex(-8, -4), 1u);
    EXPECT_EQ(m_grid.frameIndex(-7, -5), 25u);

    // The fill quad of the corner cell (-8, -5) starts at its top-left corner.
    EXPECT_NEAR(frame[0].position.x, -436.36f, 0.01f);
    EXPECT_NEAR(frame[0].position.y, -272.73f, 0.01f);
    EXPECT_EQ(frame[0].color, PaletteDarkTranslucent);
    EXPECT_EQ(frame[m_grid.frameIndex(0, 0) * 6].color, sf::Color::Transparent);
    EXPECT_EQ(frame[m_grid.frameIndex(49, 14) * 6].color, sf::Color::Transparent);
    EXPECT_EQ(frame[m_grid.frameIndex(50, 14) * 6].color, PaletteDarkTranslucent);
    // Outlines, thickness 1 outside the rectangle.
    const std::size_t outline = cells * 6 + m_grid.frameIndex(0, 0) * 24;
    EXPECT_EQ(frame[outline].color, PaletteDark);
    EXPECT_FLOAT_EQ(frame[outline].position.x, -1.0f);
    EXPECT_FLOAT_EQ(frame[outline].position.y, -1.0f);
}

TEST_F(GridManagerTest, HighlightTouchesOnlyTheOutlineOfOneMapCell)
{
    const sf::VertexArray before = m_grid.getCellShapes();
    m_grid.highlightCell(3, 4);
    const sf::VertexArray& frame = m_grid.getCellShapes();
    const std::size_t first = m_grid.frameCount() * 6 + m_grid.frameIndex(3, 4) * 24;
    for (std::size_t i = 0; i < frame.getVertexCount(); ++i)
    {
        const bool own = first <= i && i < first + 24;
        ASSERT_EQ(frame[i].color, own ? PaletteGrey : before[i].color) << "vertex " << i;
    }
    m_grid.unhighlightCell(3, 4);
    m_grid.highlightCell(-1, 4);
    m_grid.highlightCell(50, 0);
    for (std::size_t i = 0; i < frame.getVertexCount(); ++i)
    {
        ASSERT_EQ(frame[i].color, before[i].color) << "vertex " << i;
    }
}

TEST_F(GridManagerTest, PlacementOnEveryKindOfCell)
{
    auto platform = block({5, 10}, BlockType::Static);
    ASSERT_TRUE(m_grid.placeBlock(platform));
    EXPECT_TRUE(m_grid.isOccupied(5, 10));

    // A platform refuses another platform and an amber block; a finish block takes the cell over.
    EXPECT_FALSE(m_grid.placeBlock(block({5, 10}, BlockType::Static)));
    EXPECT_FALSE(m_grid.placeBlock(block({5, 10}, BlockType::Dynamic)));
    EXPECT_EQ(m_grid.getBlockAt(5, 10), platform);
    auto finish = block({5, 10}, BlockType::Finish);
    EXPECT_TRUE(m_grid.placeBlock(finish));
    EXPECT_EQ(m_grid.getBlockAt(5, 10), finish);
    EXPECT_FALSE(m_grid.placeBlock(block({5, 10}, BlockType::Dynamic)));

    // The Runner's cell does not stop a block: its entry is overwritten.
    auto runner = block({0, 9}, BlockType::Dynamic, false, "Runner");
    ASSERT_TRUE(m_grid.placeBlock(runner));
    EXPECT_FALSE(m_grid.isOccupied(0, 9));
    auto amber = block({0, 9});
    EXPECT_TRUE(m_grid.placeBlock(amber));
    EXPECT_EQ(m_grid.getBlockAt(0, 9), amber);

    // Ghosts are accepted inside the map and never entered.
    EXPECT_TRUE(m_grid.placeBlock(block({5, 10}, BlockType::Static, true)));
    EXPECT_TRUE(m_grid.placeBlock(block({7, 7}, BlockType::Dynamic, true)));
    EXPECT_EQ(m_grid.getBlockAt(5, 10), finish);
    EXPECT_EQ(m_grid.getBlockAt(7, 7), nullptr);
    EXPECT_FALSE(m_grid.placeBlock(block({-1, 9}, BlockType::SafeZone, true)));
    EXPECT_FALSE(m_grid.placeBlock(block({50, 3}, BlockType::Finish)));
    EXPECT_FALSE(m_grid.placeBlock(block({3, -1}, BlockType::Dynamic)));
}

TEST_F(GridManagerTest, RemoveEmptiesOnlyTheBlocksOwnCell)
{
    auto a = block({2, 2});
    auto b = block({2, 2});
    m_grid.placeBlock(a);
    m_grid.removeBlock(b);
    EXPECT_EQ(m_grid.getBlockAt(2, 2), a);
    m_grid.removeBlock(a);
    EXPECT_EQ(m_grid.getBlockAt(2, 2), nullptr);
}

TEST_F(GridManagerTest, MovesThatAreRefusedLeaveEverythingAlone)
{
    auto runner = block({3, 3}, BlockType::Dynamic, false, "Runner");
    m_grid.placeBlock(runner);
    m_grid.placeBlock(block({4, 3}, BlockType::Finish));
    m_grid.placeBlock(block({3, 4}, BlockType::Static));

    testing::internal::CaptureStdout();
    m_grid.moveBlock(runner, {4, 3});
    m_grid.moveBlock(runner, {3, 4});
    m_grid.moveBlock(runner, {-1, 3});
    m_grid.moveBlock(runner, {3, 15});
    auto outside = block({50, 3});
    m_grid.moveBlock(outside, {49, 3});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(runner->getGridPosition(), sf::Vector2i(3, 3));
    EXPECT_EQ(m_grid.getBlockAt(3, 3), runner);
    EXPECT_EQ(outside->getGridPosition(), sf::Vector2i(50, 3));
    EXPECT_EQ(m_grid.getBlockAt(49, 3), nullptr);
}

TEST_F(GridManagerTest, MoveIntoADynamicCellOverwritesAndLogs)
{
    auto runner = block({3, 3}, BlockType::Dynamic, false, "Runner");
    auto amber = block({4, 3});
    m_grid.placeBlock(runner);
    m_grid.placeBlock(amber);

    testing::internal::CaptureStdout();
    m_grid.moveBlock(runner, {4, 3});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "moved block from 3, 3 to 4, 3\n---------------\n");
    EXPECT_EQ(m_grid.getBlockAt(3, 3), nullptr);
    EXPECT_EQ(m_grid.getBlockAt(4, 3), runner);
    EXPECT_EQ(runner->getGridPosition(), sf::Vector2i(4, 3));

    // Leaving a cell that another block has taken over leaves that block in place.
    m_grid.placeBlock(amber); // amber still thinks it stands on (4, 3)
    m_grid.moveBlock(runner, {5, 3});
    EXPECT_EQ(m_grid.getBlockAt(4, 3), amber);
}

TEST_F(GridManagerTest, GhostsMoveThroughOccupiedCellsWithoutTouchingTheTable)
{
    m_grid.placeBlock(block({6, 6}, BlockType::Static));
    auto ghost = block({5, 6}, BlockType::Dynamic, true);
    testing::internal::CaptureStdout();
    m_grid.moveBlock(ghost, {6, 6});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(ghost->getGridPosition(), sf::Vector2i(6, 6));
    EXPECT_EQ(m_grid.getBlockAt(6, 6)->getType(), BlockType::Static);
    EXPECT_EQ(m_grid.getBlockAt(5, 6), nullptr);
}

TEST_F(GridManagerTest, SafeZoneMovesAnywhereEvenOutsideTheMap)
{
    auto zone = block({0, 9}, BlockType::SafeZone, true, "runner_safezone");
    m_grid.moveBlock(zone, {-1, 10});
    EXPECT_EQ(zone->getGridPosition(), sf::Vector2i(-1, 10));
    m_grid.moveBlock(zone, {-1, 15});
    EXPECT_EQ(zone->getGridPosition(), sf::Vector2i(-1, 15));
    EXPECT_FLOAT_EQ(zone->getShape().getPosition().x, -600.0f / 11.0f);
}

TEST_F(GridManagerTest, TimedBlocksAgeOnlyInTheBuildersTurnAndExpire)
{
    EventBus& bus = EventBus::getInstance();
    std::vector<std::pair<std::string, IRenderComponent*>> destroyed;
    const ListenerId listener =
        bus.addListener(RenderableDestroyEvent::Type,
                        [&destroyed](std::shared_ptr<IEvent> event)
                        {
                            auto destroy = std::static_pointer_cast<RenderableDestroyEvent>(event);
                            destroyed.emplace_back(destroy->getLayerName(), &destroy->getData());
                        });

    auto early = block({1, 1});
    auto late = block({2, 1});
    for (const auto& b : {early, late})
    {
        b->setGhost(false);
        b->setPlaced(true);
        b->resetLifetime();
        m_grid.placeBlock(b);
        m_grid.addTimedBlock(b);
    }
    m_grid.addTimedBlock(early);
    EXPECT_EQ(m_grid.getTimedBlocks().size(), 2u);
    late->setRemainingLifetime(9.0f);

    m_grid.setCurrentPlayer(StrategyType::Runner);
    m_grid.update(5.0f);
    EXPECT_FLOAT_EQ(early->getRemainingLifetime(), 7.0f);

    m_grid.setCurrentPlayer(StrategyType::Builder);
    m_grid.update(6.5f);
    EXPECT_FLOAT_EQ(early->getRemainingLifetime(), 0.5f);
    EXPECT_TRUE(destroyed.empty());
    m_grid.update(0.5f); // exactly zero expires
    EXPECT_EQ(m_grid.getBlockAt(1, 1), nullptr);
    EXPECT_EQ(m_grid.getBlockAt(2, 1), late);
    ASSERT_EQ(destroyed.size(), 1u);
    EXPECT_EQ(destroyed[0].first, "Map");
    EXPECT_EQ(destroyed[0].second, early.get());
    ASSERT_EQ(m_grid.getTimedBlocks().size(), 1u);
    EXPECT_EQ(m_grid.getTimedBlocks().front(), late);
    bus.removeListener(listener);
}

TEST_F(GridManagerTest, ClearEmptiesTableAndTimedBlocks)
{
    auto a = block({1, 1});
    m_grid.placeBlock(a);
    m_grid.addTimedBlock(a);
    m_grid.placeBlock(block({4, 4}, BlockType::Static));
    m_grid.clear();
    EXPECT_TRUE(m_grid.getTimedBlocks().empty());
    EXPECT_EQ(m_grid.getBlockAt(1, 1), nullptr);
    EXPECT_EQ(m_grid.getBlockAt(4, 4), nullptr);
    EXPECT_EQ(m_grid.getMapSize(), sf::Vector2i(50, 15));
}

/// A small map drawn into a 400 x 300 window with 20-pixel cells: the map covers (0,0)-(100,60),
/// the frame reaches to x = 260 and y = 160.
class GridPictureTest : public GridManagerTest
{
protected:
    void SetUp() override
    {
        m_window = test::makeFieldWindow(400, 300);
        m_grid.setCellSize({20.0f, 20.0f});
        m_grid.setWindow(*m_window);
        m_grid.init(5, 3);
        m_window->clear(Background);
    }

    static inline const sf::Color Background{200, 200, 200};
};

TEST_F(GridPictureTest, FrameDarkensAroundTheMapWithOutlinesOnTop)
{
    m_grid.highlightCell(1, 1);
    m_grid.draw();
    const sf::Image picture = test::grabField(*m_window);
    EXPECT_EQ(picture.getPixel(10, 10), Background);   // inside a map cell
    const sf::Color frame = picture.getPixel(150, 30); // inside a frame cell
    EXPECT_NEAR(frame.r, 20 * 192 / 255 + 200 * 63 / 255, 2);
    EXPECT_EQ(picture.getPixel(19, 5), PaletteDark); // between cells (0,0) and (1,0)
    EXPECT_EQ(picture.getPixel(20, 5), PaletteDark);
    EXPECT_EQ(picture.getPixel(19, 30), PaletteGrey); // left of the highlighted cell
    EXPECT_EQ(picture.getPixel(30, 19), PaletteGrey); // above it
    EXPECT_EQ(picture.getPixel(5, 40), PaletteDark);  // the lower map edge
}

TEST_F(GridPictureTest, FramePictureMatchesOneRectangleShapePerCell)
{
    m_grid.highlightCell(2, 1);
    m_grid.draw();
    const sf::Image grid = test::grabField(*m_window);

    m_window->clear(Background);
    for (int x = -8; x < 5 + 8; ++x)
    {
        for (int y = -5; y < 3 + 5; ++y)
        {
            sf::RectangleShape cell({20.0f, 20.0f});
            cell.setPosition(x * 20.0f, y * 20.0f);
            cell.setOutlineThickness(1.0f);
            cell.setOutlineColor(x == 2 && y == 1 ? PaletteGrey : PaletteDark);
            cell.setFillColor(m_grid.isInside(x, y) ? sf::Color::Transparent : PaletteDarkTranslucent);
            m_window->draw(cell);
        }
    }
    const sf::Image shapes = test::grabField(*m_window);
    int differences = 0;
    for (unsigned y = 0; y < 300; ++y)
    {
        for (unsigned x = 0; x < 400; ++x)
        {
            differences += grid.getPixel(x, y) != shapes.getPixel(x, y);
        }
    }
    EXPECT_EQ(differences, 0);
}

TEST_F(GridPictureTest, CameraCullsCellsLeftOfItsView)
{
    // The camera sees x from 100 to 500; one cell to its left (from x = 80) is still drawn.
    GameObjectManager& objects = GameObjectManager::getInstance();
    std::shared_ptr<GameObject> camera = GameObject::create("Camera");
    camera->setPosition(300.0f, 150.0f);
    objects.addGameObject(camera);
    m_grid.draw();
    const sf::Image picture = test::grabField(*m_window);
    EXPECT_EQ(picture.getPixel(59, 5), Background);
    EXPECT_EQ(picture.getPixel(79, 5), PaletteDark);
    objects.shutdown();
}

TEST_F(GridPictureTest, LitBlocksShineAndStayOnTopWhilePlatformsDrawThemselves)
{
    test::TempAssets assets;
    assets.writeShader();
    auto runner = block({1, 1}, BlockType::Dynamic, false, "Runner");
    runner->setColor(PaletteBlue);
    auto platform = block({3, 2}, BlockType::Static);
    m_grid.placeBlock(runner);
    m_grid.placeBlock(platform);
    m_grid.update(0.016f);
    runner->update(1.0f);
    platform->update(1.0f);

    m_grid.draw();
    ASSERT_EQ(m_grid.getLitBlocks().size(), 1u);
    EXPECT_EQ(m_grid.getLitBlocks()[0], runner);
    platform->draw();
    const sf::Image picture = test::grabField(*m_window);
    EXPECT_EQ(picture.getPixel(30, 30), PaletteBlue);  // the lit block itself
    EXPECT_EQ(picture.getPixel(70, 50), PaletteWhite); // the platform
    // The light is shaded only where its cone can reach, even through a shader that tints all it
    // shades: on this 5 x 3 map that is within the block's own cell.
    EXPECT_EQ(m_grid.getLightCone().getDrawCount(), 1u);
    EXPECT_EQ(picture.getPixel(90, 10), Background); // away from the block, inside the map
    EXPECT_NE(picture.getPixel(150, 30), sf::Color(14, 165, 233));
}

TEST_F(GridPictureTest, WithoutAShaderTheBlockIsDrawnUnlit)
{
    test::TempAssets assets;
    auto runner = block({1, 1}, BlockType::Dynamic, false, "Runner");
    runner->setColor(PaletteBlue);
    m_grid.placeBlock(runner);
    testing::internal::CaptureStdout();
    m_grid.update(0.016f);
    m_grid.update(0.016f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error loading shader\n");
    runner->update(1.0f);
    m_grid.draw();
    const sf::Image picture = test::grabField(*m_window);
    EXPECT_EQ(picture.getPixel(30, 30), PaletteBlue);
    EXPECT_EQ(picture.getPixel(90, 10), Background);
}
} // namespace
} // namespace orv_gd
