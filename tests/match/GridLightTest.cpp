#include "match/BlockComponent.h"
#include "match/GridManager.h"
#include "match/LightCone.h"
#include "match/Palette.h"
#include "objects/GameObject.h"
#include "objects/GameObjectManager.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/View.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace orv_gd
{
namespace
{
int brightness(const sf::Color& c)
{
    return std::max({c.r, c.g, c.b});
}

/// The match's grid on a hidden 1366 x 768 window, cells 768 / 11 pixels, the camera on `camera`
/// (in cells). Blocks are made as the level and the Builder make them; the test plays the frame.
class GridLightTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_window =
            std::make_unique<sf::RenderWindow>(sf::VideoMode(1366, 768), "light test", sf::Style::None);
        m_window->setVisible(false);
        m_grid.setCellSize({Edge, Edge});
        m_grid.setWindow(*m_window);
        m_grid.init(50, 15);
        m_camera = GameObject::create("Camera");
        m_objects.addGameObject(m_camera);
    }

    void TearDown() override
    {
        m_grid.clear();
        m_objects.shutdown();
    }

    void lookAt(sf::Vector2f cell)
    {
        m_camera->setPosition(cell * Edge);
        m_window->setView(sf::View(cell * Edge, {1366.0f, 768.0f}));
    }

    std::shared_ptr<BlockComponent> addBlock(const std::string& id, sf::Vector2i cell, sf::Color color,
                                             BlockType type = BlockType::Dynamic)
    {
        std::shared_ptr<GameObject> object = GameObject::create(id);
        m_keep.push_back(object);
        std::shared_ptr<BlockComponent> block =
            object->addComponent<BlockComponent>(*object, *m_window, cell, color, false, type);
        block->init();
        m_blocks.push_back(block);
        m_grid.placeBlock(block);
        return block;
    }

    /// A Builder block just dropped: placed, its lifetime running.
    std::shared_ptr<BlockComponent> dropAmber(const std::string& id, sf::Vector2i cell)
    {
        std::shared_ptr<BlockComponent> block = addBlock(id, cell, PaletteAmber);
        block->setPlaced(true);
        block->resetLifetime();
        m_grid.addTimedBlock(block);
        return block;
    }

    /// One match frame: the grid, then every block, as the match updates them.
    void step(float dt)
    {
        m_grid.update(dt);
        for (const std::shared_ptr<BlockComponent>& block : m_blocks)
        {
            block->update(dt);
        }
    }

    sf::Image drawFrame()
    {
        m_window->clear(sf::Color::Black);
        m_grid.draw();
        for (const std::shared_ptr<BlockComponent>& block : m_blocks)
        {
            block->draw();
        }
        sf::Texture texture;
        texture.create(1366, 768);
        texture.update(*m_window);
        return texture.copyToImage();
    }

    sf::Color at(const sf::Image& image, sf::Vector2f cell) const
    {
        const sf::Vector2i p = m_window->mapCoordsToPixel(cell * Edge);
        return image.getPixel(static_cast<unsigned>(p.x), static_cast<unsigned>(p.y));
    }

    static constexpr float Edge = 768.0f / 11.0f;
    GridManager& m_grid = GridManager::getInstance();
    GameObjectManager& m_objects = GameObjectManager::getInstance();
    std::unique_ptr<sf::RenderWindow> m_window;
    std::shared_ptr<GameObject> m_camera;
    std::vector<std::shared_ptr<GameObject>> m_keep;
    std::vector<std::shared_ptr<BlockComponent>> m_blocks;
};

TEST_F(GridLightTest, RunnerAndAmberBlockGlowInTheirColoursWithTheirCellsOnTop)
{
    lookAt({9.0f, 7.5f});
    addBlock("Runner", {6, 9}, PaletteBlue);
    dropAmber("obstacleBlock_0", {12, 9});
    for (int x = 2; x < 16; ++x)
    {
        addBlock("map_0_0", {x, 10}, PaletteWhite, BlockType::Static);
    }
    m_grid.setCurrentPlayer(StrategyType::Builder);
    step(0.016f);
    const sf::Image picture = drawFrame();

    // The lit cells sit above every cone: the Runner exactly blue, the amber block near amber.
    EXPECT_EQ(at(picture, {6.5f, 9.5f}), PaletteBlue);
    const sf::Color amberCell = at(picture, {12.5f, 9.5f});
    EXPECT_NEAR(amberCell.r, PaletteAmber.r, 3);
    EXPECT_NEAR(amberCell.g, PaletteAmber.g, 3);
    EXPECT_NEAR(amberCell.b, PaletteAmber.b, 3);

    // Blue light left of the Runner, fading with distance.
    const sf::Color nearRunner = at(picture, {5.0f, 8.5f});
    EXPECT_GT(nearRunner.b, nearRunner.r + 40);
    EXPECT_GT(brightness(nearRunner), brightness(at(picture, {4.0f, 8.0f})));
    // Amber light right of the amber block, fading with distance.
    const sf::Color nearAmber = at(picture, {14.0f, 8.5f});
    EXPECT_GT(nearAmber.r, nearAmber.g);
    EXPECT_GT(nearAmber.g, nearAmber.b + 40);
    EXPECT_GT(brightness(nearAmber), brightness(at(picture, {15.0f, 8.0f})));
    // Unlit map far from both, and the platforms white.
    EXPECT_EQ(at(picture, {17.5f, 3.5f}), sf::Color::Black);
    EXPECT_EQ(at(picture, {1.5f, 3.5f}), sf::Color::Black);
    EXPECT_EQ(at(picture, {3.5f, 10.5f}), PaletteWhite);

    ASSERT_EQ(m_grid.getLitBlocks().size(), 2u);
    EXPECT_EQ(m_grid.getLightCone().getDrawCount(), 2u);
}

TEST_F(GridLightTest, BlocksOutsideTheViewCostNoLight)
{
    lookAt({8.0f, 7.5f});
    std::shared_ptr<BlockComponent> runner = addBlock("Runner", {6, 9}, PaletteBlue);
    dropAmber("obstacleBlock_0", {40, 4});
    step(0.016f);
    drawFrame();
    ASSERT_EQ(m_grid.getLitBlocks().size(), 1u);
    EXPECT_EQ(m_grid.getLitBlocks()[0], runner);
    EXPECT_EQ(m_grid.getLightCone().getDrawCount(), 1u);

    lookAt({36.0f, 7.5f});
    drawFrame();
    ASSERT_EQ(m_grid.getLitBlocks().size(), 1u);
    EXPECT_NE(m_grid.getLitBlocks()[0], runner);
    EXPECT_EQ(m_grid.getLightCone().getDrawCount(), 2u);
}

TEST_F(GridLightTest, UniformsFollowTheTurnsAndTheSlide)
{
    lookAt({8.0f, 7.5f});
    std::shared_ptr<BlockComponent> runner = addBlock("Runner", {6, 9}, PaletteBlue);
    std::shared_ptr<BlockComponent> amber = dropAmber("obstacleBlock_0", {10, 9});

    // 3.5 s of the Builder's turn: the amber light is at half, the Runner's untouched.
    m_grid.setCurrentPlayer(StrategyType::Builder);
    for (int i = 0; i < 35; ++i)
    {
        step(0.1f);
    }
    EXPECT_NEAR(amber->getRemainingTimeUniform(), 0.5f, 0.01f);
    EXPECT_FLOAT_EQ(runner->getRemainingTimeUniform(), 1.0f);
    EXPECT_EQ(runner->getConeScale(), sf::Vector2f(2.5f, 7.5f));
    EXPECT_EQ(amber->getConeScale(), sf::Vector2f(2.5f, 7.5f));

    // The Runner's turn holds it.
    m_grid.setCurrentPlayer(StrategyType::Runner);
    for (int i = 0; i < 20; ++i)
    {
        step(0.1f);
    }
    EXPECT_NEAR(amber->getRemainingTimeUniform(), 0.5f, 0.01f);

    // The Runner steps right: its light follows the eased rectangle to the next cell.
    const float before = runner->getScreenPos().x;
    m_grid.moveBlock(runner, {7, 9});
    float previous = before;
    for (int i = 0; i < 20; ++i)
    {
        step(0.016f);
        const float now = runner->getScreenPos().x;
        EXPECT_GE(now, previous);
        previous = now;
    }
    EXPECT_NEAR(runner->getScreenPos().x, 7.5f / 50.0f * 64.0f, 1e-3f);
    EXPECT_NEAR(runner->getScreenPos().y, 9.5f / 15.0f * 64.0f, 1e-3f);

    // Back in the Builder's turn the rest of the lifetime runs out and the block is gone.
    m_grid.setCurrentPlayer(StrategyType::Builder);
    for (int i = 0; i < 36; ++i)
    {
        step(0.1f);
    }
    EXPECT_EQ(m_grid.getBlockAt(10, 9), nullptr);
    EXPECT_NEAR(amber->getRemainingTimeUniform(), 0.0f, 0.02f);
}

TEST_F(GridLightTest, MissingLightTextureIsReplacedSoTheConeStillShows)
{
    // Run in a folder whose assets hold the shader but not the texture.
    const std::filesystem::path repo = std::filesystem::current_path();
    char pattern[] = "/tmp/tumbrelt-light-XXXXXX";
    const std::filesystem::path root = mkdtemp(pattern);
    std::filesystem::create_directories(root / "assets" / "shaders");
    std::filesystem::copy_file(repo / "assets" / "shaders" / "BloomShader.frag",
                               root / "assets" / "shaders" / "BloomShader.frag");
    std::filesystem::current_path(root);

    lookAt({8.0f, 7.5f});
    addBlock("Runner", {8, 7}, PaletteBlue);
    step(0.016f);
    const sf::Image picture = drawFrame();
    std::filesystem::current_path(repo);
    std::filesystem::remove_all(root);

    EXPECT_GT(at(picture, {7.0f, 7.5f}).b, 100);
    EXPECT_EQ(at(picture, {3.5f, 3.5f}), sf::Color::Black);
}
} // namespace
} // namespace orv_gd
