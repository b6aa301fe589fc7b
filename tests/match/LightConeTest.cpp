#include "match/LightCone.h"

#include "FieldTestSupport.h"

#include <SFML/Graphics/RectangleShape.hpp>

namespace orv_gd::test
{
using LightConeTest = FieldTest;

TEST_F(LightConeTest, ClippedLightEqualsTheMapSizedLightPixelForPixel)
{
    sf::Texture texture;
    ASSERT_TRUE(texture.loadFromFile("assets/shaders/ShaderTextureUV.png"));
    sf::RectangleShape map({50.0f * Edge, 15.0f * Edge});
    map.setTexture(&texture, true);
    LightCone cone;
    cone.setMap({50, 15}, {Edge, Edge});
    // Mid-slide blocks, the camera off the pixel grid: mid-map, and the map's corner cut by the view.
    const std::pair<sf::Vector2f, sf::Vector2i> cases[] = {{{12.03f, 7.91f}, {13, 8}},
                                                           {{38.5f, 11.0f}, {48, 14}}};
    for (const auto& [camera, cell] : cases)
    {
        SCOPED_TRACE(testing::Message() << "block " << cell.x << ", " << cell.y);
        lookAt(camera * Edge);
        auto light = drop(cell);
        m_grid.moveBlock(light, cell + sf::Vector2i(1, 0));
        step(0.05f);
        const sf::RenderStates& states = light->getRenderStates();
        m_window->clear(PaletteDark);
        const sf::Image unlit = grab();
        m_window->draw(map, states);
        const sf::Image full = grab();
        m_window->clear(PaletteDark);
        EXPECT_TRUE(cone.draw(*m_window, map, states, light->getScreenPos(), light->getConeScale()));
        EXPECT_TRUE(samePicture(full, grab()));
        EXPECT_FALSE(samePicture(full, unlit));
    }
}
} // namespace orv_gd::test
