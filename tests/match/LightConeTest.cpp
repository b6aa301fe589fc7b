#include "match/LightCone.h"

#include "match/Palette.h"
#include "resources/AssetManager.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/View.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace orv_gd
{
namespace
{
const sf::Vector2i MapSize{50, 15};
const sf::Vector2f ConeScale{2.5f, 7.5f};
const sf::Color Background{20, 20, 20, 255};

/// The "ScreenPos" of a block drawn at this position in cells, as the block computes it.
sf::Vector2f screenPosOf(sf::Vector2f cell)
{
    return {(cell.x + 0.5f) / MapSize.x * 64.0f, (cell.y + 0.5f) / MapSize.y * 64.0f};
}

LightCone coneFor(float cellEdge)
{
    LightCone cone;
    cone.setMap(MapSize, {cellEdge, cellEdge});
    return cone;
}

int brightness(const sf::Color& c)
{
    return std::max({c.r, c.g, c.b});
}

TEST(LightConeGeometry, ReachIsThreeAndAHalfCellsEachWayOnTheMatchMap)
{
    const LightCone cone = coneFor(1080.0f / 11.0f);
    const sf::Vector2f reach = cone.reachCells(ConeScale);
    EXPECT_NEAR(reach.x, 3.5f, 0.01f);
    // Round in cells although "coneScale" carries the rounded-down aspect 3 instead of 50 / 15.
    EXPECT_NEAR(reach.y, reach.x, 0.001f);

    const sf::Vector2f centre = cone.centreCells(screenPosOf({12.0f, 6.0f}));
    EXPECT_NEAR(centre.x, 12.5f, 1e-4f);
    EXPECT_NEAR(centre.y, 6.5f, 1e-4f);
}

TEST(LightConeGeometry, ReachSurroundsTheBlockInWorldPixels)
{
    const float edge = 768.0f / 11.0f;
    const LightCone cone = coneFor(edge);
    const sf::Vector2f half = cone.reachCells(ConeScale);
    const sf::FloatRect rect = cone.reach(screenPosOf({20.25f, 7.0f}), ConeScale);
    EXPECT_NEAR(rect.left, (20.75f - half.x) * edge, 0.01f);
    EXPECT_NEAR(rect.top, (7.5f - half.y) * edge, 0.01f);
    EXPECT_NEAR(rect.width, 2.0f * half.x * edge, 0.01f);
    EXPECT_NEAR(rect.height, 2.0f * half.y * edge, 0.01f);
}

TEST(LightConeGeometry, ReachIsClampedToTheMapAndEmptyOffIt)
{
    const float edge = 1080.0f / 11.0f;
    const LightCone cone = coneFor(edge);
    const sf::FloatRect topLeft = cone.reach(screenPosOf({0.0f, 0.0f}), ConeScale);
    EXPECT_FLOAT_EQ(topLeft.left, 0.0f);
    EXPECT_FLOAT_EQ(topLeft.top, 0.0f);
    EXPECT_NEAR(topLeft.width, (0.5f + cone.reachCells(ConeScale).x) * edge, 0.01f);

    const sf::FloatRect bottomRight = cone.reach(screenPosOf({49.0f, 14.0f}), ConeScale);
    EXPECT_NEAR(bottomRight.left + bottomRight.width, 50.0f * edge, 0.01f);
    EXPECT_NEAR(bottomRight.top + bottomRight.height, 15.0f * edge, 0.01f);

    EXPECT_EQ(cone.reach(screenPosOf({-10.0f, 7.0f}), ConeScale), sf::FloatRect());
    EXPECT_EQ(cone.reach(screenPosOf({7.0f, 30.0f}), ConeScale), sf::FloatRect());

    LightCone noMap;
    EXPECT_EQ(noMap.reach(screenPosOf({7.0f, 7.0f}), ConeScale), sf::FloatRect());
}

/// The map-sized light rectangle with the real shader and texture, drawn into render textures.
class LightConePicture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sf::Shader::isAvailable());
        ASSERT_TRUE(m_shader.loadFromFile(AssetManager::GetAssetPath("shaders/BloomShader.frag"),
                                          sf::Shader::Fragment));
        ASSERT_TRUE(m_texture.loadFromFile(AssetManager::GetAssetPath("shaders/ShaderTextureUV.png")));
        m_states.shader = &m_shader;
    }

    /// A window-sized picture of the map for a camera at `camera`, cells window height / 11.
    void setScreen(unsigned width, unsigned height, sf::Vector2f camera)
    {
        m_edge = static_cast<float>(height) / 11.0f;
        m_cone.setMap(MapSize, {m_edge, m_edge});
        m_rect.setPosition(0.0f, 0.0f);
        m_rect.setSize({MapSize.x * m_edge, MapSize.y * m_edge});
        m_rect.setTexture(&m_texture, true);
        ASSERT_TRUE(m_full.create(width, height));
        ASSERT_TRUE(m_clipped.create(width, height));
        const sf::View view(camera, {static_cast<float>(width), static_cast<float>(height)});
        m_full.setView(view);
        m_clipped.setView(view);
    }

    void setLight(sf::Vector2f cell, sf::Color color, float remainingTime)
    {
        m_screenPos = screenPosOf(cell);
        m_shader.setUniform("ScreenPos", m_screenPos);
        m_shader.setUniform("coneScale", ConeScale);
        m_shader.setUniform("lightColor",
                            sf::Glsl::Vec3(color.r / 255.0f, color.g / 255.0f, color.b / 255.0f));
        m_shader.setUniform("remainingTime", remainingTime);
    }

    sf::Image drawFull()
    {
        m_full.clear(Background);
        m_full.draw(m_rect, m_states);
        m_full.display();
        return m_full.getTexture().copyToImage();
    }

    sf::Image drawClipped(bool* drawn = nullptr)
    {
        m_clipped.clear(Background);
        const bool result = m_cone.draw(m_clipped, m_rect, m_states, m_screenPos, ConeScale);
        if (drawn)
        {
            *drawn = result;
        }
        m_clipped.display();
        return m_clipped.getTexture().copyToImage();
    }

    /// Number of pixels that differ, and of pixels the light changed at all.
    static void compare(const sf::Image& a, const sf::Image& b, int& differing, int& lit)
    {
        differing = 0;
        lit = 0;
        for (unsigned y = 0; y < a.getSize().y; ++y)
        {
            for (unsigned x = 0; x < a.getSize().x; ++x)
            {
                differing += a.getPixel(x, y) != b.getPixel(x, y);
                lit += a.getPixel(x, y) != Background;
            }
        }
    }

    /// The pixel showing the world point at (column, row) in cells.
    sf::Color at(const sf::Image& image, sf::Vector2f cell) const
    {
        const sf::Vector2i p = m_full.mapCoordsToPixel({cell.x * m_edge, cell.y * m_edge});
        return image.getPixel(static_cast<unsigned>(p.x), static_cast<unsigned>(p.y));
    }

    sf::Shader m_shader;
    sf::Texture m_texture;
    sf::RenderStates m_states;
    sf::RectangleShape m_rect;
    sf::RenderTexture m_full;
    sf::RenderTexture m_clipped;
    LightCone m_cone;
    sf::Vector2f m_screenPos;
    float m_edge = 0.0f;
};

TEST_F(LightConePicture, ClippedDrawEqualsTheMapSizedDrawPixelForPixel)
{
    struct Case
    {
        unsigned width;
        unsigned height;
        sf::Vector2f cameraCells; // the camera, in cells, off the pixel grid on purpose
        sf::Vector2f block;       // eased draw position, in cells
    };
    const Case cases[] = {
        {1920, 1080, {7.31f, 6.62f}, {7.0f, 6.0f}},    // mid-map
        {1920, 1080, {9.77f, 5.13f}, {0.0f, 0.0f}},    // top-left corner of the map
        {1920, 1080, {44.12f, 10.4f}, {49.0f, 14.0f}}, // bottom-right corner
        {1920, 1080, {20.5f, 7.5f}, {29.6f, 2.35f}},   // half out of the view, mid-slide
        {1366, 768, {12.03f, 7.91f}, {13.0f, 9.0f}},   // the smaller screen
        {1366, 768, {31.45f, 3.33f}, {27.45f, 0.0f}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message()
                     << c.width << "x" << c.height << " block " << c.block.x << "," << c.block.y);
        setScreen(c.width, c.height, c.cameraCells * (static_cast<float>(c.height) / 11.0f));
        setLight(c.block, PaletteAmber, 0.8f);
        const sf::Image full = drawFull();
        bool drawn = false;
        const sf::Image clipped = drawClipped(&drawn);
        EXPECT_TRUE(drawn);
        int differing = 0;
        int lit = 0;
        compare(full, clipped, differing, lit);
        EXPECT_EQ(differing, 0);
        // Not two empty pictures: a good part of the cone is on screen in every case.
        EXPECT_GT(lit, 20000);
        EXPECT_EQ(m_cone.getDrawCount(), 1u);
    }
}

TEST_F(LightConePicture, ConeOutsideTheViewIsNotDrawn)
{
    setScreen(1366, 768, {10.0f * 768.0f / 11.0f, 7.5f * 768.0f / 11.0f});
    setLight({40.0f, 7.0f}, PaletteBlue, 1.0f);
    bool drawn = true;
    const sf::Image clipped = drawClipped(&drawn);
    EXPECT_FALSE(drawn);
    EXPECT_EQ(m_cone.getDrawCount(), 0u);
    EXPECT_EQ(clipped.getPixel(683, 384), Background);
}

TEST_F(LightConePicture, GlowIsRoundBrightNearTheBlockAndGoneBeyondItsReach)
{
    setScreen(1920, 1080, {10.5f * 1080.0f / 11.0f, 7.5f * 1080.0f / 11.0f});
    setLight({10.0f, 7.0f}, PaletteAmber, 1.0f);
    const sf::Image image = drawClipped();
    const sf::Vector2f centre{10.5f, 7.5f};

    // A hot core in the block's hue: amber keeps red above green above blue.
    const sf::Color core = at(image, centre);
    EXPECT_GT(brightness(core), 230);
    EXPECT_GT(core.r, core.g);
    EXPECT_GT(core.g, core.b);

    // Falls off smoothly, the same distance in cells giving the same light across and down.
    int previous = 256;
    for (float d : {0.5f, 1.0f, 1.5f, 2.0f, 2.5f, 3.0f})
    {
        const int across = brightness(at(image, centre + sf::Vector2f(d, 0.0f)));
        const int down = brightness(at(image, centre + sf::Vector2f(0.0f, d)));
        EXPECT_LT(across, previous) << d;
        EXPECT_NEAR(across, down, 3) << d;
        previous = across;
    }
    EXPECT_GT(brightness(at(image, centre + sf::Vector2f(2.0f, 0.0f))), 40);
    // Nothing at all past 3.5 cells, and the last half cell is faint: no visible rim.
    EXPECT_EQ(at(image, centre + sf::Vector2f(3.55f, 0.0f)), Background);
    EXPECT_EQ(at(image, centre + sf::Vector2f(-2.6f, -2.6f)), Background);
    EXPECT_LT(brightness(at(image, centre + sf::Vector2f(3.2f, 0.0f))), Background.r + 6);

    // No banding or hard edge: neighbouring pixels along a ray differ by a few levels at most.
    const sf::Vector2i start = m_clipped.mapCoordsToPixel({(centre.x + 0.6f) * m_edge, centre.y * m_edge});
    for (int x = start.x; x < start.x + static_cast<int>(3.2f * m_edge); ++x)
    {
        const int step = brightness(image.getPixel(x, start.y)) - brightness(image.getPixel(x + 1, start.y));
        ASSERT_GE(step, -1) << x;
        ASSERT_LE(step, 4) << x;
    }
}

TEST_F(LightConePicture, LightDimsWithRemainingTimeAndVanishesAtZero)
{
    setScreen(1366, 768, {8.0f * 768.0f / 11.0f, 7.0f * 768.0f / 11.0f});
    const sf::Vector2f probe{9.5f, 7.5f}; // a cell beside the block
    setLight({8.0f, 7.0f}, PaletteAmber, 1.0f);
    const int fresh = brightness(at(drawClipped(), probe));
    setLight({8.0f, 7.0f}, PaletteAmber, 0.5f);
    const int half = brightness(at(drawClipped(), probe));
    setLight({8.0f, 7.0f}, PaletteAmber, 0.0f);
    const sf::Image gone = drawClipped();

    EXPECT_GT(fresh, half + 20);
    EXPECT_GT(half, Background.r + 20);
    int differing = 0;
    int lit = 0;
    compare(gone, gone, differing, lit);
    EXPECT_EQ(lit, 0);
}

TEST_F(LightConePicture, ClippedDrawEqualsTheMapSizedDrawInAWindowToo)
{
    // A window's own framebuffer counts its rows differently from a render texture's.
    sf::RenderWindow window(sf::VideoMode(1366, 768), "light test", sf::Style::None);
    window.setVisible(false);
    setScreen(1366, 768, {0.0f, 0.0f});
    window.setView(sf::View({11.37f * m_edge, 8.81f * m_edge}, {1366.0f, 768.0f}));
    setLight({8.0f, 12.0f}, PaletteBlue, 1.0f);
    const auto grab = [&window]
    {
        sf::Texture texture;
        texture.create(window.getSize().x, window.getSize().y);
        texture.update(window);
        return texture.copyToImage();
    };
    window.clear(Background);
    window.draw(m_rect, m_states);
    const sf::Image full = grab();
    window.clear(Background);
    EXPECT_TRUE(m_cone.draw(window, m_rect, m_states, m_screenPos, ConeScale));
    const sf::Image clipped = grab();
    int differing = 0;
    int lit = 0;
    compare(full, clipped, differing, lit);
    EXPECT_EQ(differing, 0);
    EXPECT_GT(lit, 20000);
}
} // namespace
} // namespace orv_gd
