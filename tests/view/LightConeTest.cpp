#include "view/LightCone.h"

#include "FieldTestSupport.h"
#include "view/GridRenderer.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Shader.hpp>

#include <numeric>

namespace orv_gd::test
{
/// The largest difference of any channel of any pixel of two pictures of the same size.
static int largestDifference(const sf::Image& a, const sf::Image& b)
{
    const sf::Uint8* p = a.getPixelsPtr();
    return std::transform_reduce(
        p, p + 4u * a.getSize().x * a.getSize().y, b.getPixelsPtr(), 0,
        [](int x, int y) { return std::max(x, y); }, [](int x, int y) { return std::abs(x - y); });
}

using LightConeTest = FieldTest;

TEST_F(LightConeTest, GridLightsLookAsMapSizedLightsAndAsTheShaderThatWorkedPerPixelInEveryScene)
{
    sf::Texture texture;
    ASSERT_TRUE(texture.loadFromFile("assets/shaders/ShaderTextureUV.png"));
    sf::RectangleShape map({50.0f * Edge, 15.0f * Edge});
    map.setTexture(&texture, true);
    // The light shader from before its vertex stage, when each pixel worked out its own offset.
    sf::Shader before;
    ASSERT_TRUE(before.loadFromFile("tests/view/data/SinglePassLight.frag", sf::Shader::Fragment));
    LightCone& cone = m_grid.getRenderer().getLightCone();
    // Off the pixel grid, as the camera stands while it follows the Runner.
    lookAt({12.37f * Edge, 7.61f * Edge});
    const auto compare = [&](const char* scene)
    {
        SCOPED_TRACE(scene);
        cone.setClipped(false);
        const sf::Image reference = drawFrame();
        cone.setClipped(true);
        const sf::Image clipped = drawFrame();
        EXPECT_LE(largestDifference(reference, clipped), 2);

        // The scene's lights alone, blended one after another: as drawn now, and as the whole map
        // through the shader of before with the same uniforms.
        m_window->clear(PaletteDark);
        for (const auto& block : m_blocks)
        {
            cone.draw(*m_window, map, block->getRenderStates(), block->getScreenPos(), block->getConeScale(),
                      block->getRemainingTimeUniform());
        }
        const sf::Image now = grab();
        m_window->clear(PaletteDark);
        for (const auto& block : m_blocks)
        {
            before.setUniform("ScreenPos", block->getScreenPos());
            before.setUniform("coneScale", block->getConeScale());
            before.setUniform("lightColor", sf::Glsl::Vec3(block->getLightColor()));
            before.setUniform("remainingTime", block->getRemainingTimeUniform());
            sf::RenderStates states = block->getRenderStates();
            states.shader = &before;
            m_window->draw(map, states);
        }
        EXPECT_LE(largestDifference(grab(), now), 2);
        return clipped;
    };
    auto runner = placed({9, 9}, BlockType::Dynamic, "Runner");
    step(0.016f);
    const sf::Image runnerAlone = compare("the Runner alone");
    EXPECT_GT(at(runnerAlone, {8.0f, 9.0f}).b, 100) << "lit";

    // A dropped block of four cells beside the Runner, then a second drop over the first one's cones.
    for (sf::Vector2i cell : {sf::Vector2i(11, 9), {12, 9}, {13, 9}, {12, 8}})
    {
        drop(cell);
    }
    step(0.016f);
    compare("a dropped block");
    for (sf::Vector2i cell : {sf::Vector2i(14, 8), {14, 7}, {15, 7}, {16, 7}})
    {
        drop(cell);
    }
    step(0.016f);
    compare("overlapping blocks of two drops");

    // Translucent cells under their neighbours' cones, nearly gone, one of them sliding a cell down.
    for (const std::shared_ptr<BlockComponent>& block : m_grid.getTimedBlocks())
    {
        block->setRemainingLifetime(block->getRemainingLifetime() - 6.5f);
    }
    step(0.5f);
    m_grid.moveBlock(m_grid.getBlockAt(16, 7), {16, 8});
    m_grid.moveBlock(runner, {10, 9});
    step(0.05f);
    ASSERT_LT(m_grid.getBlockAt(12, 9)->getShape().getFillColor().a, 30);
    compare("fading blocks");

    // The map's corner cut by the view, a block sliding into it.
    lookAt({38.5f * Edge, 11.0f * Edge});
    m_grid.moveBlock(drop({48, 14}), {49, 14});
    step(0.05f);
    compare("the map's corner");
    // The faint rim of a light blends to nothing; a fading light reaches less far, one gone out nowhere.
    EXPECT_GT(LightCone::litFraction(1.0f), 0.96f);
    EXPECT_LT(LightCone::litFraction(0.1f), 0.92f);
    EXPECT_EQ(LightCone::litFraction(0.0f), 0.0f);
    EXPECT_TRUE(cone.bands(*m_window, {10.0f, 10.0f}, {2.5f, 7.5f}, 0.0f).empty());
}
} // namespace orv_gd::test
