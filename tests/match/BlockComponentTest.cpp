#include "match/BlockComponent.h"

#include "FieldTestSupport.h"
#include "match/GridManager.h"
#include "match/Palette.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace orv_gd
{
namespace
{
using test::makeBlock;

/// A 50 x 15 grid with the match's cell size for a 600-pixel-high window.
class BlockComponentTest : public ::testing::Test
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
        return makeBlock(m_objects, *m_window, id, cell, type, ghost);
    }

    GridManager& m_grid = GridManager::getInstance();
    std::unique_ptr<sf::RenderWindow> m_window;
    std::vector<std::shared_ptr<GameObject>> m_objects;
};

TEST_F(BlockComponentTest, ColoursAndEasing)
{
    EXPECT_EQ(BlockComponent::colorForType(BlockType::Static), PaletteWhite);
    EXPECT_EQ(BlockComponent::colorForType(BlockType::Finish), PaletteGreen);
    EXPECT_EQ(BlockComponent::colorForType(BlockType::Dynamic), PaletteAmber);
    EXPECT_EQ(BlockComponent::colorForType(BlockType::SafeZone), PaletteAmber);

    EXPECT_FLOAT_EQ(BlockComponent::easeInOutCubic(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(BlockComponent::easeInOutCubic(0.25f), 0.0625f);
    EXPECT_FLOAT_EQ(BlockComponent::easeInOutCubic(0.5f), 0.5f);
    EXPECT_FLOAT_EQ(BlockComponent::easeInOutCubic(0.75f), 0.9375f);
    EXPECT_FLOAT_EQ(BlockComponent::easeInOutCubic(1.0f), 1.0f);
}

TEST_F(BlockComponentTest, InitShapesTheCellAndOnlyDynamicBlocksShine)
{
    const float edge = 600.0f / 11.0f;
    std::shared_ptr<BlockComponent> runner = block({5, 9}, BlockType::Dynamic, false, "Runner");
    EXPECT_EQ(runner->getShape().getSize(), sf::Vector2f(edge, edge));
    EXPECT_FLOAT_EQ(runner->getShape().getPosition().x, 5 * edge);
    EXPECT_FLOAT_EQ(runner->getShape().getPosition().y, 9 * edge);
    EXPECT_EQ(runner->getShape().getOutlineColor(), sf::Color::Transparent);
    EXPECT_FLOAT_EQ(runner->getShape().getOutlineThickness(), 1.0f);
    EXPECT_TRUE(runner->emitsLight());
    EXPECT_TRUE(runner->isLightReady());

    for (BlockType type : {BlockType::Static, BlockType::Finish, BlockType::SafeZone})
    {
        EXPECT_FALSE(block({1, 1}, type)->emitsLight());
    }
}

TEST_F(BlockComponentTest, AlphaFollowsTheRemainingLifetime)
{
    std::shared_ptr<BlockComponent> placed = block({3, 3});
    placed->update(0.0f);
    EXPECT_EQ(placed->getShape().getFillColor().a, 255);
    placed->setPlaced(true);
    placed->resetLifetime();
    placed->setRemainingLifetime(3.5f);
    placed->update(0.0f);
    EXPECT_EQ(placed->getShape().getFillColor().a, 127);
    placed->setRemainingLifetime(0.0f);
    placed->update(0.0f);
    EXPECT_EQ(placed->getShape().getFillColor().a, 0);
    // Past its end the block stays invisible instead of wrapping round to opaque.
    placed->setRemainingLifetime(-0.5f);
    placed->update(0.0f);
    EXPECT_EQ(placed->getShape().getFillColor().a, 0);

    std::shared_ptr<BlockComponent> ghost = block({4, 4}, BlockType::Dynamic, true);
    ghost->update(0.0f);
    EXPECT_EQ(ghost->getShape().getFillColor().a, 128);
    ghost->setPlaced(true);
    ghost->update(0.0f);
    EXPECT_EQ(ghost->getShape().getFillColor().a, 128);
}

TEST_F(BlockComponentTest, DrawShowsGhostsPlatformsAndFinishCellsOnly)
{
    m_grid.setCellSize({20.0f, 20.0f});
    auto drawn = [this](const std::shared_ptr<BlockComponent>& b)
    {
        b->init();
        b->update(1.0f);
        m_window->clear(sf::Color::Black);
        b->draw();
        return test::grabField(*m_window).getPixel(10, 10) != sf::Color::Black;
    };
    EXPECT_TRUE(drawn(block({0, 0}, BlockType::Static)));
    EXPECT_TRUE(drawn(block({0, 0}, BlockType::Finish)));
    EXPECT_TRUE(drawn(block({0, 0}, BlockType::Dynamic, true)));
    EXPECT_FALSE(drawn(block({0, 0}, BlockType::Dynamic, false, "Runner")));
    std::shared_ptr<BlockComponent> placed = block({0, 0});
    placed->setPlaced(true);
    placed->resetLifetime();
    EXPECT_FALSE(drawn(placed));
}

TEST_F(BlockComponentTest, SlideKeepsItsClockAcrossASecondMove)
{
    std::shared_ptr<BlockComponent> b = block({0, 0});
    b->update(1.0f); // a new block's clock runs out on its first frame
    b->setGridPosition({1, 0});
    b->update(0.1f);
    const float halfway = b->getDrawPosition().x;
    EXPECT_GT(halfway, 0.0f);
    EXPECT_LT(halfway, 1.0f);

    b->setGridPosition({2, 0});
    EXPECT_EQ(b->getGridPosition(), sf::Vector2i(2, 0));
    b->update(0.1f); // the first slide's clock runs out: the block lands on the new target
    EXPECT_FLOAT_EQ(b->getDrawPosition().x, 2.0f);
    EXPECT_FLOAT_EQ(b->getShape().getPosition().x, 2.0f * 600.0f / 11.0f);
    b->update(0.1f);
    EXPECT_FLOAT_EQ(b->getDrawPosition().x, 2.0f);

    // A move after the slide has ended starts a fresh clock.
    b->setGridPosition({2, 1});
    b->update(0.05f);
    EXPECT_GT(b->getDrawPosition().y, 0.0f);
    EXPECT_LT(b->getDrawPosition().y, 1.0f);
}

TEST_F(BlockComponentTest, LightUniformsOfRunnerAndPlacedBlock)
{
    std::shared_ptr<BlockComponent> runner = block({0, 9}, BlockType::Dynamic, false, "Runner");
    runner->setColor(PaletteBlue);
    runner->setPlaced(true);
    runner->setRemainingLifetime(1.0f);
    runner->update(0.016f);
    EXPECT_EQ(runner->getConeScale(), sf::Vector2f(2.5f, 7.5f));
    EXPECT_FLOAT_EQ(runner->getScreenPos().x, 0.5f / 50.0f * 64.0f);
    EXPECT_FLOAT_EQ(runner->getScreenPos().y, 9.5f / 15.0f * 64.0f);
    EXPECT_FLOAT_EQ(runner->getLightColor().x, 14.0f / 255.0f);
    EXPECT_FLOAT_EQ(runner->getLightColor().y, 165.0f / 255.0f);
    EXPECT_FLOAT_EQ(runner->getLightColor().z, 233.0f / 255.0f);
    EXPECT_FLOAT_EQ(runner->getRemainingTimeUniform(), 1.0f);

    std::shared_ptr<BlockComponent> amber = block({10, 5});
    amber->setPlaced(true);
    amber->resetLifetime();
    EXPECT_FLOAT_EQ(amber->getRemainingTimeUniform(), 1.0f);
    amber->setRemainingLifetime(1.75f);
    amber->update(0.016f);
    EXPECT_FLOAT_EQ(amber->getRemainingTimeUniform(), 0.25f);
    EXPECT_FLOAT_EQ(amber->getLightColor().x, 245.0f / 255.0f);
}

TEST_F(BlockComponentTest, ShaderIsCompiledOnlyWhenTheLightIsFirstNeeded)
{
    test::TempAssets assets;
    assets.writeShader();
    std::shared_ptr<BlockComponent> first = block({2, 2});
    EXPECT_FALSE(first->hasShader());
    EXPECT_EQ(first->getRenderStates().shader, nullptr);

    testing::internal::CaptureStdout();
    ASSERT_TRUE(first->prepareShader());
    EXPECT_TRUE(first->hasShader());
    EXPECT_NE(first->getRenderStates().shader, nullptr);

    // A move re-runs init; the compiled shader stays.
    const sf::Shader* shader = first->getRenderStates().shader;
    first->setGridPosition({3, 2});
    first->init();
    first->update(0.016f);
    EXPECT_TRUE(first->hasShader());
    EXPECT_EQ(first->getRenderStates().shader, shader);

    // The source is read from disk once per process: later blocks do not need the file.
    assets.removeShader();
    std::shared_ptr<BlockComponent> second = block({4, 2});
    EXPECT_TRUE(second->prepareShader());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(BlockComponentTest, MissingShaderIsReportedOncePerBlockAndLeavesItUnlit)
{
    test::TempAssets assets;
    testing::internal::CaptureStdout();
    std::shared_ptr<BlockComponent> b = block({2, 2});
    EXPECT_FALSE(b->prepareShader());
    EXPECT_FALSE(b->prepareShader());
    b->init();
    b->update(0.016f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error loading shader\n");
    EXPECT_FALSE(b->hasShader());
    EXPECT_EQ(b->getRenderStates().shader, nullptr);
    EXPECT_TRUE(b->isLightReady());
}
} // namespace
} // namespace orv_gd
