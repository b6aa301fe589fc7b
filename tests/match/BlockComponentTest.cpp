#include "match/BlockComponent.h"

#include "FieldTestSupport.h"
#include "match/GridManager.h"
#include "match/Palette.h"

#include <gtest/gtest.h>

namespace orv_gd
{
namespace
{
/// Blocks on the match's 50 x 15 grid, cells 600 / 11 pixels.
class BlockComponentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_window = test::makeFieldWindow();
        GridManager::getInstance().setCellSize({Edge, Edge});
        GridManager::getInstance().init(50, 15);
    }
    std::shared_ptr<BlockComponent> block(sf::Vector2i cell, BlockType type = BlockType::Dynamic,
                                          bool ghost = false, const std::string& id = "obstacleBlock_0")
    {
        return test::makeBlock(m_objects, *m_window, id, cell, type, ghost);
    }
    static sf::Uint8 alpha(BlockComponent& b)
    {
        b.update(0.0f);
        return b.getShape().getFillColor().a;
    }

    static constexpr float Edge = 600.0f / 11.0f;
    std::unique_ptr<sf::RenderWindow> m_window;
    std::vector<std::shared_ptr<GameObject>> m_objects;
};

TEST_F(BlockComponentTest, InitShapesTheCellAndOnlyDynamicBlocksShine)
{
    auto runner = block({5, 9});
    EXPECT_EQ(runner->getShape().getSize(), sf::Vector2f(Edge, Edge));
    EXPECT_EQ(runner->getShape().getPosition(), sf::Vector2f(5 * Edge, 9 * Edge));
    EXPECT_EQ(runner->getShape().getOutlineColor(), sf::Color::Transparent);
    EXPECT_TRUE(runner->emitsLight() && runner->isLightReady());
    for (BlockType type : {BlockType::Static, BlockType::Finish, BlockType::SafeZone})
    {
        EXPECT_FALSE(block({1, 1}, type)->emitsLight());
    }
    EXPECT_EQ(BlockComponent::colorForType(BlockType::SafeZone), PaletteAmber);
    EXPECT_FLOAT_EQ(BlockComponent::easeInOutCubic(0.25f), 0.0625f);
    EXPECT_FLOAT_EQ(BlockComponent::easeInOutCubic(0.75f), 0.9375f);
}

TEST_F(BlockComponentTest, AlphaFollowsTheRemainingLifetime)
{
    auto b = block({3, 3});
    EXPECT_EQ(alpha(*b), 255);
    b->setPlaced(true);
    b->setRemainingLifetime(3.5f);
    EXPECT_EQ(alpha(*b), 127);
    b->setRemainingLifetime(0.0f);
    EXPECT_EQ(alpha(*b), 0);
    b->setRemainingLifetime(-0.5f); // past its end: stays invisible rather than wrapping round
    EXPECT_EQ(alpha(*b), 0);
    b->setGhost(true);
    EXPECT_EQ(alpha(*b), 128);
    EXPECT_EQ(alpha(*block({4, 4}, BlockType::Static, true)), 128);
}

TEST_F(BlockComponentTest, DrawShowsGhostsPlatformsAndFinishCellsOnly)
{
    auto drawn = [this](const std::shared_ptr<BlockComponent>& b)
    {
        b->update(1.0f);
        m_window->clear(sf::Color::Black);
        b->draw();
        return test::grabField(*m_window).getPixel(10, 10) != sf::Color::Black;
    };
    EXPECT_TRUE(drawn(block({0, 0}, BlockType::Static)));
    EXPECT_TRUE(drawn(block({0, 0}, BlockType::Finish)));
    EXPECT_TRUE(drawn(block({0, 0}, BlockType::Dynamic, true)));
    EXPECT_FALSE(drawn(block({0, 0}, BlockType::Dynamic, false, "Runner")));
    auto placed = block({0, 0});
    placed->setPlaced(true);
    EXPECT_FALSE(drawn(placed));
}

TEST_F(BlockComponentTest, SlideKeepsItsClockAcrossASecondMove)
{
    auto b = block({0, 0});
    b->update(1.0f); // a new block's clock runs out on its first frame
    b->setGridPosition({1, 0});
    b->update(0.1f);
    EXPECT_GT(b->getDrawPosition().x, 0.0f);
    EXPECT_LT(b->getDrawPosition().x, 1.0f);
    b->setGridPosition({2, 0});
    b->update(0.1f); // the first clock runs out: the block lands on the second target
    EXPECT_FLOAT_EQ(b->getDrawPosition().x, 2.0f);
    EXPECT_FLOAT_EQ(b->getShape().getPosition().x, 2.0f * Edge);
    b->setGridPosition({2, 1}); // a move after the slide ended starts a fresh clock
    b->update(0.05f);
    EXPECT_GT(b->getDrawPosition().y, 0.0f);
    EXPECT_LT(b->getDrawPosition().y, 1.0f);
}

TEST_F(BlockComponentTest, LightUniformsOfRunnerAndPlacedBlock)
{
    auto runner = block({0, 9}, BlockType::Dynamic, false, "Runner");
    runner->setColor(PaletteBlue);
    runner->setPlaced(true);
    runner->setRemainingLifetime(1.0f);
    runner->update(0.016f);
    EXPECT_EQ(runner->getConeScale(), sf::Vector2f(2.5f, 7.5f));
    EXPECT_EQ(runner->getScreenPos(), sf::Vector2f(0.5f / 50.0f * 64.0f, 9.5f / 15.0f * 64.0f));
    EXPECT_EQ(runner->getLightColor(), sf::Vector3f(14.0f / 255.0f, 165.0f / 255.0f, 233.0f / 255.0f));
    EXPECT_FLOAT_EQ(runner->getRemainingTimeUniform(), 1.0f);

    auto amber = block({10, 5});
    amber->setPlaced(true);
    amber->setRemainingLifetime(1.75f);
    amber->update(0.016f);
    EXPECT_FLOAT_EQ(amber->getRemainingTimeUniform(), 0.25f);
}

TEST_F(BlockComponentTest, ShaderIsReadOnceAndCompiledOnlyWhenTheLightIsFirstNeeded)
{
    test::TempAssets assets;
    assets.writeShader();
    auto first = block({2, 2});
    EXPECT_FALSE(first->hasShader());
    testing::internal::CaptureStdout();
    ASSERT_TRUE(first->prepareShader());
    const sf::Shader* shader = first->getRenderStates().shader;
    ASSERT_NE(shader, nullptr);
    first->setGridPosition({3, 2}); // a move re-runs init: the shader stays
    first->init();
    first->update(0.016f);
    EXPECT_EQ(first->getRenderStates().shader, shader);

    assets.removeShader(); // later blocks no longer need the file
    EXPECT_TRUE(block({4, 2})->prepareShader());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(BlockComponentTest, MissingShaderIsReportedOncePerBlockAndLeavesItUnlit)
{
    test::TempAssets assets;
    testing::internal::CaptureStdout();
    auto b = block({2, 2});
    EXPECT_FALSE(b->prepareShader());
    EXPECT_FALSE(b->prepareShader());
    b->update(0.016f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error loading shader\n");
    EXPECT_EQ(b->getRenderStates().shader, nullptr);
}
} // namespace
} // namespace orv_gd
