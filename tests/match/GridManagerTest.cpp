#include "match/GridManager.h"

#include "FieldTestSupport.h"
#include "match/Palette.h"
#include "objects/EventBus.h"
#include "objects/GameObjectManager.h"
#include "objects/RenderableDestroyEvent.h"

#include <SFML/Graphics/RectangleShape.hpp>

#include <gtest/gtest.h>

namespace orv_gd
{
namespace
{
/// The match's 50 x 15 grid with the cell size of a 600-pixel-high window.
class GridManagerTest : public ::testing::Test
{
protected:
    void SetUp() override { initGrid({600.0f / 11.0f, 600.0f / 11.0f}, 50, 15); }
    void TearDown() override { m_grid.clear(); }

    void initGrid(sf::Vector2f cellSize, int width, int height)
    {
        m_window = test::makeFieldWindow();
        m_grid.setCellSize(cellSize);
        m_grid.setWindow(*m_window);
        m_grid.init(width, height);
    }
    std::shared_ptr<BlockComponent> block(sf::Vector2i cell, BlockType type = BlockType::Dynamic,
                                          bool ghost = false, const std::string& id = "obstacleBlock_0")
    {
        return test::makeBlock(m_objects, *m_window, id, cell, type, ghost);
    }
    std::shared_ptr<BlockComponent> placed(sf::Vector2i cell, BlockType type = BlockType::Dynamic,
                                           const std::string& id = "obstacleBlock_0")
    {
        auto b = block(cell, type, false, id);
        EXPECT_TRUE(m_grid.placeBlock(b));
        return b;
    }

    GridManager& m_grid = GridManager::getInstance();
    std::unique_ptr<sf::RenderWindow> m_window;
    std::vector<std::shared_ptr<GameObject>> m_objects;
};

TEST_F(GridManagerTest, TableIsExactlyTheMapAndTheFrameSurroundsIt)
{
    ASSERT_EQ(m_grid.getCells().size(), 50u);
    EXPECT_EQ(m_grid.getCells()[49].size(), 15u);
    EXPECT_FALSE(m_grid.isInside(-1, 0) || m_grid.isInside(50, 0) || m_grid.isInside(0, 15));
    EXPECT_EQ(m_grid.getBlockAt(-1, 9), nullptr);

    // 66 x 25 frame cells, column by column; each a fill quad, then all the outline rings.
    ASSERT_EQ(m_grid.getCellShapes().getVertexCount(), 66u * 25u * 30u);
    EXPECT_EQ(m_grid.frameIndex(-7, -4), 26u);
    const sf::Vertex& corner = m_grid.getCellShapes()[0];
    EXPECT_NEAR(corner.position.x, -436.36f, 0.01f);
    EXPECT_NEAR(corner.position.y, -272.73f, 0.01f);
}

TEST_F(GridManagerTest, PlacementOnEveryKindOfCell)
{
    auto platform = placed({5, 10}, BlockType::Static);
    EXPECT_TRUE(m_grid.isOccupied(5, 10));
    EXPECT_FALSE(m_grid.placeBlock(block({5, 10}, BlockType::Static)));
    EXPECT_FALSE(m_grid.placeBlock(block({5, 10}, BlockType::Dynamic)));
    EXPECT_EQ(m_grid.getBlockAt(5, 10), platform);
    auto finish = placed({5, 10}, BlockType::Finish); // the finish line takes any cell over
    EXPECT_EQ(m_grid.getBlockAt(5, 10), finish);
    EXPECT_FALSE(m_grid.placeBlock(block({5, 10}, BlockType::Dynamic)));

    placed({0, 9}, BlockType::Dynamic, "Runner");
    EXPECT_FALSE(m_grid.isOccupied(0, 9));
    auto amber = placed({0, 9}); // the Runner's entry is overwritten
    EXPECT_EQ(m_grid.getBlockAt(0, 9), amber);

    // Ghosts: accepted inside the map, never entered; refused outside like everything else.
    EXPECT_TRUE(m_grid.placeBlock(block({5, 10}, BlockType::Static, true)));
    EXPECT_TRUE(m_grid.placeBlock(block({7, 7}, BlockType::Dynamic, true)));
    EXPECT_EQ(m_grid.getBlockAt(5, 10), finish);
    EXPECT_EQ(m_grid.getBlockAt(7, 7), nullptr);
    EXPECT_FALSE(m_grid.placeBlock(block({-1, 9}, BlockType::SafeZone, true)));
    EXPECT_FALSE(m_grid.placeBlock(block({50, 3}, BlockType::Finish)));
}

TEST_F(GridManagerTest, RefusedMovesChangeNothing)
{
    auto runner = placed({3, 3}, BlockType::Dynamic, "Runner");
    placed({4, 3}, BlockType::Finish);
    placed({3, 4}, BlockType::Static);
    auto outside = block({50, 3});
    testing::internal::CaptureStdout();
    for (sf::Vector2i to : {sf::Vector2i(4, 3), sf::Vector2i(3, 4), sf::Vector2i(-1, 3), sf::Vector2i(3, 15)})
    {
        m_grid.moveBlock(runner, to);
    }
    m_grid.moveBlock(outside, {49, 3});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(runner->getGridPosition(), sf::Vector2i(3, 3));
    EXPECT_EQ(m_grid.getBlockAt(3, 3), runner);
    EXPECT_EQ(outside->getGridPosition(), sf::Vector2i(50, 3));
}

TEST_F(GridManagerTest, MovesOverwriteDynamicCellsGhostsPassAndTheSafeZoneLeavesTheMap)
{
    auto runner = placed({3, 3}, BlockType::Dynamic, "Runner");
    auto amber = placed({4, 3});
    testing::internal::CaptureStdout();
    m_grid.moveBlock(runner, {4, 3});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "moved block from 3, 3 to 4, 3\n---------------\n");
    EXPECT_EQ(m_grid.getBlockAt(3, 3), nullptr);
    EXPECT_EQ(m_grid.getBlockAt(4, 3), runner);
    EXPECT_EQ(runner->getGridPosition(), sf::Vector2i(4, 3));
    m_grid.placeBlock(amber); // amber still stands on (4, 3): leaving that cell must not empty it
    m_grid.moveBlock(runner, {5, 3});
    EXPECT_EQ(m_grid.getBlockAt(4, 3), amber);

    placed({6, 6}, BlockType::Static);
    auto ghost = block({5, 6}, BlockType::Dynamic, true);
    m_grid.moveBlock(ghost, {6, 6});
    EXPECT_EQ(ghost->getGridPosition(), sf::Vector2i(6, 6));
    EXPECT_EQ(m_grid.getBlockAt(6, 6)->getType(), BlockType::Static);
    EXPECT_EQ(m_grid.getBlockAt(5, 6), nullptr);

    auto zone = block({0, 9}, BlockType::SafeZone, true, "runner_safezone");
    m_grid.moveBlock(zone, {-1, 15});
    EXPECT_EQ(zone->getGridPosition(), sf::Vector2i(-1, 15));
    EXPECT_FLOAT_EQ(zone->getShape().getPosition().x, -600.0f / 11.0f);
}

TEST_F(GridManagerTest, RemoveAndClearEmptyOnlyWhatTheyShould)
{
    auto a = placed({2, 2});
    m_grid.removeBlock(block({2, 2}));
    EXPECT_EQ(m_grid.getBlockAt(2, 2), a);
    m_grid.removeBlock(a);
    EXPECT_EQ(m_grid.getBlockAt(2, 2), nullptr);

    m_grid.addTimedBlock(placed({1, 1}));
    placed({4, 4}, BlockType::Static);
    m_grid.clear();
    EXPECT_TRUE(m_grid.getTimedBlocks().empty());
    EXPECT_EQ(m_grid.getBlockAt(1, 1), nullptr);
    EXPECT_EQ(m_grid.getBlockAt(4, 4), nullptr);
}

TEST_F(GridManagerTest, TimedBlocksAgeOnlyInTheBuildersTurnAndExpire)
{
    std::vector<std::pair<std::string, IRenderComponent*>> destroyed;
    EventBus::getInstance().addListener(
        RenderableDestroyEvent::Type,
        [&destroyed](std::shared_ptr<IEvent> event)
        {
            auto destroy = std::static_pointer_cast<RenderableDestroyEvent>(event);
            destroyed.emplace_back(destroy->getLayerName(), &destroy->getData());
        });
    auto early = placed({1, 1});
    auto late = placed({2, 1});
    m_grid.addTimedBlock(early);
    m_grid.addTimedBlock(late);
    m_grid.addTimedBlock(early);
    EXPECT_EQ(m_grid.getTimedBlocks().size(), 2u);
    late->setRemainingLifetime(9.0f);

    m_grid.setCurrentPlayer(StrategyType::Runner);
    m_grid.update(5.0f);
    EXPECT_FLOAT_EQ(early->getRemainingLifetime(), 7.0f);
    m_grid.setCurrentPlayer(StrategyType::Builder);
    m_grid.update(6.5f);
    EXPECT_TRUE(destroyed.empty());
    m_grid.update(0.5f); // exactly zero expires
    EXPECT_EQ(m_grid.getBlockAt(1, 1), nullptr);
    EXPECT_EQ(m_grid.getBlockAt(2, 1), late);
    ASSERT_EQ(destroyed.size(), 1u);
    EXPECT_EQ(destroyed[0], std::make_pair(std::string("Map"), static_cast<IRenderComponent*>(early.get())));
    EXPECT_EQ(m_grid.getTimedBlocks(), std::list<std::shared_ptr<BlockComponent>>{late});
}

/// A 5 x 3 map with 20-pixel cells in a 400 x 300 window: the map covers (0,0)-(100,60).
class GridPictureTest : public GridManagerTest
{
protected:
    void SetUp() override
    {
        initGrid({20.0f, 20.0f}, 5, 3);
        m_window->clear(Background);
    }
    static inline const sf::Color Background{200, 200, 200};
};

TEST_F(GridPictureTest, FrameMatchesOneRectangleShapePerCell)
{
    m_grid.highlightCell(2, 1);
    m_grid.highlightCell(-1, 1); // outside the map: ignored
    m_grid.draw();
    const sf::Image grid = test::grabField(*m_window);
    EXPECT_EQ(grid.getPixel(10, 10), Background);
    EXPECT_NEAR(grid.getPixel(150, 30).r, 20 * 192 / 255 + 200 * 63 / 255, 2);
    EXPECT_EQ(grid.getPixel(39, 30), PaletteGrey);

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

    m_grid.unhighlightCell(2, 1);
    m_window->clear(Background);
    m_grid.draw();
    EXPECT_EQ(test::grabField(*m_window).getPixel(39, 30), PaletteDark);
}

TEST_F(GridPictureTest, CameraCullsCellsLeftOfItsView)
{
    // The camera sees x from 100 to 500; one cell to its left (from x = 80) is still drawn.
    std::shared_ptr<GameObject> camera = GameObject::create("Camera");
    camera->setPosition(300.0f, 150.0f);
    GameObjectManager::getInstance().addGameObject(camera);
    m_grid.draw();
    const sf::Image picture = test::grabField(*m_window);
    EXPECT_EQ(picture.getPixel(59, 5), Background);
    EXPECT_EQ(picture.getPixel(79, 5), PaletteDark);
    GameObjectManager::getInstance().shutdown();
}

TEST_F(GridPictureTest, WithoutAShaderTheBlockIsDrawnUnlit)
{
    test::TempAssets assets;
    auto runner = placed({1, 1}, BlockType::Dynamic, "Runner");
    runner->setColor(PaletteBlue);
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
