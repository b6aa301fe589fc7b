#include "view/GridManager.h"
#include "view/GridRenderer.h"

#include "FieldTestSupport.h"
#include "support/TempWorkDir.h"

#include <SFML/Graphics/RectangleShape.hpp>

#include <cstring>
#include <filesystem>

namespace orv_gd::test
{
using GridManagerTest = FieldTest;

TEST_F(GridManagerTest, ABlockTakesItsCellAndKeepsTheOneBeneathOnlyWhenTold)
{
    auto platform = placed({5, 10}, BlockType::Static);
    m_grid.removeBlock(block({5, 10})); // another block's removal leaves the cell alone
    EXPECT_EQ(m_grid.getBlockAt(5, 10), platform);
    // Green over white, and green over that green: each comes back as the one above leaves.
    auto green = placed({5, 10}, BlockType::Finish);
    auto top = block({5, 10}, BlockType::Finish);
    EXPECT_TRUE(m_grid.placeBlock(top, true));
    EXPECT_EQ(m_grid.getBlockBeneath(5, 10), green) << "kept beneath only when told";
    m_grid.removeBlock(top);
    EXPECT_EQ(m_grid.getBlockAt(5, 10), green);
    EXPECT_EQ(m_grid.getBlockBeneath(5, 10), nullptr);
    auto line = placed({47, 10}, BlockType::Finish);
    auto under = block({47, 10}, BlockType::Finish);
    auto onTop = block({47, 10}, BlockType::Finish);
    m_grid.placeBlock(under, true);
    m_grid.placeBlock(onTop, true);
    m_grid.removeBlock(under); // a covered block that goes never comes back
    m_grid.removeBlock(onTop);
    EXPECT_EQ(m_grid.getBlockAt(47, 10), line);
    // Ghosts: accepted inside the map, never entered; refused outside like everything else.
    EXPECT_TRUE(m_grid.placeBlock(block({5, 10}, BlockType::Static, true)));
    EXPECT_EQ(m_grid.getBlockAt(5, 10), green);
    EXPECT_FALSE(m_grid.placeBlock(block({-1, 9}, BlockType::SafeZone, true)));
    EXPECT_FALSE(m_grid.placeBlock(block({50, 3}, BlockType::Finish)));
}

TEST_F(GridManagerTest, MovesFollowTheRulesWordWithinTheMap)
{
    auto runner = placed({3, 3}, BlockType::Dynamic, "Runner");
    auto amber = placed({2, 3});
    auto outside = block({50, 3});
    testing::internal::CaptureStdout();
    m_grid.moveBlock(outside, {49, 3});
    m_grid.moveBlock(runner, {-1, 3});
    m_grid.moveBlock(runner, {3, 15});
    m_grid.moveBlock(runner, {2, 3});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "moved block from 3, 3 to 2, 3\n---------------\n");
    EXPECT_EQ(outside->getGridPosition(), sf::Vector2i(50, 3));
    EXPECT_EQ(m_grid.getBlockAt(3, 3), nullptr);
    m_grid.placeBlock(amber); // amber still stands on (2, 3): leaving that cell must not empty it
    m_grid.moveBlock(runner, {1, 3});
    EXPECT_EQ(m_grid.getBlockAt(2, 3), amber);
    auto zone = block({0, 9}, BlockType::SafeZone, true, "runner_safezone");
    m_grid.moveBlock(zone, {-1, 15});
    EXPECT_EQ(zone->getShape().getPosition(), sf::Vector2f(-Edge, 15.0f * Edge));
}

TEST_F(GridManagerTest, FrameAndBlocksMatchOneRectangleShapePerCell)
{
    // A 5 x 3 map of 20-pixel cells; the view shows its whole frame, x -160..260, y -100..160.
    initGrid({20.0f, 20.0f}, 5, 3, {440, 300});
    lookAt({50.0f, 30.0f});
    placed({1, 2}, BlockType::Static)->update(1.0f);
    m_grid.highlightCell(2, 1);
    m_grid.highlightCell(-1, 1); // outside the map: ignored
    const sf::Image grid = drawFrame();
    m_window->clear();
    sf::RectangleShape cell({20.0f, 20.0f});
    cell.setOutlineThickness(1.0f);
    for (int i = 0; i < 21 * 13; ++i)
    {
        const sf::Vector2i c(i / 13 - 8, i % 13 - 5);
        cell.setPosition(c.x * 20.0f, c.y * 20.0f);
        cell.setOutlineColor(c == sf::Vector2i(2, 1) ? PaletteGrey : PaletteDark);
        cell.setFillColor(m_grid.isInside(c.x, c.y) ? sf::Color::Transparent : PaletteDarkTranslucent);
        m_window->draw(cell);
    }
    sf::RectangleShape platform({20.0f, 20.0f}); // the block in cell (1, 2), white and plain
    platform.setPosition(20.0f, 40.0f);
    m_window->draw(platform);
    EXPECT_EQ(std::memcmp(grid.getPixelsPtr(), grab().getPixelsPtr(), 4u * 440u * 300u), 0)
        << "the same picture";

    m_grid.unhighlightCell(2, 1);
    const sf::Vector2i edge = m_window->mapCoordsToPixel({39.0f, 30.0f}); // the left edge of cell (2, 1)
    EXPECT_EQ(drawFrame().getPixel(edge.x, edge.y), PaletteDark);
}

TEST_F(GridManagerTest, LitBlocksGlowUnderTheirCellsOnlyInViewAndFadeWithTheirLifetime)
{
    lookAt({9.0f * Edge, 7.5f * Edge});
    auto blue = placed({6, 9}, BlockType::Dynamic, "Runner");
    auto amber = drop({8, 9}); // its cone reaches over the Runner
    auto far = drop({40, 4});
    far->setRemainingLifetime(9.0f);
    blue->setRemainingLifetime(0.5f); // the Runner's light never fades, whatever its lifetime
    m_grid.addTimedBlock(amber);      // listed once
    placed({3, 10}, BlockType::Static, "map_0_0");
    m_grid.setCurrentPlayer(StrategyType::Runner);
    step(5.0f);
    const sf::Image picture = drawFrame();
    EXPECT_EQ(at(picture, {6.5f, 9.5f}), PaletteBlue); // lit cells sit above every cone
    EXPECT_NEAR(at(picture, {8.5f, 9.5f}).g, PaletteAmber.g, 3);
    // Each light in its own colour near its block, fading with distance; the rest of the map unlit.
    const sf::Color nearRunner = at(picture, {5.0f, 8.5f});
    EXPECT_GT(nearRunner.b, nearRunner.r + 40);
    EXPECT_GT(nearRunner.b, at(picture, {4.0f, 8.0f}).b);
    const sf::Color nearAmber = at(picture, {10.0f, 8.5f});
    EXPECT_TRUE(nearAmber.r > nearAmber.g && nearAmber.g > nearAmber.b + 40);
    EXPECT_GT(nearAmber.r, at(picture, {11.0f, 8.0f}).r);
    EXPECT_EQ(at(picture, {17.5f, 3.5f}), sf::Color::Black);
    EXPECT_EQ(at(picture, {3.5f, 10.5f}), PaletteWhite);
    EXPECT_EQ(m_grid.getRenderer().getLightCone().getDrawCount(), 2u); // the block out of view costs no light
    EXPECT_EQ(amber->getConeScale(), sf::Vector2f(2.5f, 7.5f));

    amber->setRemainingLifetime(3.5f);
    step(0.016f);
    EXPECT_FLOAT_EQ(amber->getRemainingTimeUniform(), 0.5f);
    EXPECT_FLOAT_EQ(blue->getRemainingTimeUniform(), 1.0f);
    // The Runner's light follows its eased rectangle.
    m_grid.moveBlock(blue, {7, 9});
    step(0.016f, 2);
    EXPECT_TRUE(blue->getScreenPos().x > 6.5f / 50 * 64 && blue->getScreenPos().x < 7.5f / 50 * 64);
}

TEST_F(GridManagerTest, LightFilesAreReadOnceAndWithoutThemTheLightDegradesGracefully)
{
    namespace fs = std::filesystem;
    const fs::path source = fs::absolute("assets/shaders");
    TempWorkDir work(false); // the shader without the light texture: a stand-in serves
    fs::create_directories("assets/shaders");
    fs::copy_file(source / "BloomShader.frag", "assets/shaders/BloomShader.frag");
    fs::copy_file(source / "BloomShader.vert", "assets/shaders/BloomShader.vert");
    lookAt({8.0f * Edge, 7.5f * Edge});
    auto blue = placed({8, 7}, BlockType::Dynamic, "Runner");
    step(0.016f);
    const sf::Shader* shader = blue->getRenderStates().shader;
    fs::remove_all("assets/shaders"); // never read again
    m_grid.moveBlock(blue, {8, 6});
    auto amber = drop({8, 9});
    step(0.016f, 20);
    EXPECT_TRUE(shader && blue->getRenderStates().shader == shader && amber->hasShader());
    EXPECT_GT(at(drawFrame(), {7.0f, 6.5f}).b, 100);

    fs::remove_all("assets"); // no asset folder here or above: no shader
    placed({14, 9});
    testing::internal::CaptureStdout();
    step(0.016f, 2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error loading shader\n");
    const sf::Image picture = drawFrame();
    EXPECT_EQ(at(picture, {14.5f, 9.5f}), PaletteAmber);
    EXPECT_EQ(at(picture, {15.3f, 8.3f}), sf::Color::Black); // never the bare texture over the map
}
} // namespace orv_gd::test
