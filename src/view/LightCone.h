#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/VertexArray.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstddef>
#include <vector>

namespace sf
{
class RectangleShape;
class RenderStates;
class RenderTarget;
} // namespace sf

namespace orv_gd
{
/// Draws one block's light cone over only the part of the map the cone can reach: quads of whole
/// target rows following the cone's round edge, with the texture coordinates the grid's map-sized
/// light rectangle has there, in one draw. Every lit pixel is shaded as the map-sized rectangle
/// shades it (its texture coordinate may differ in the last bit), while the rasteriser shades only
/// the reach: under software rendering one map-sized light costs about as much as a whole frame,
/// and even cut by a scissor box the map-sized triangles cost about 0.1 ms a draw to set up.
class LightCone
{
public:
    /// Where the light shader's cone reaches zero, in its cone units ("coneScale" 64-space units
    /// each); 3.5 cells on the 50 x 15 map. Must match coneRadius in "shaders/BloomShader.vert".
    static constexpr float ConeRadius = 1.792f;
    /// The light shader's map space: "ScreenPos" and "coneScale" count 64 units across the map
    /// and 64 down it, whatever its size in cells.
    static constexpr float ShaderSpace = 64.0f;
    /// The shader's correction of the whole-number map aspect in "coneScale" (aspectFix in
    /// "shaders/BloomShader.vert").
    static constexpr float AspectFix = 0.9f;
    /// Extra pixels around the reach, so rounding never cuts a faint rim.
    static constexpr int MarginPixels = 2;

    /// The map in cells and the size of one cell in world pixels; set whenever the map changes.
    void setMap(sf::Vector2i mapSize, sf::Vector2f cellSize);

    /// The part of the cone's radius where its light shows at all for a block with this
    /// "remainingTime": farther out the shader's strength rounds to 0 of 255, and blending it
    /// leaves the pixel as it was. 1 for a full light, 0 for one that has gone out.
    static float litFraction(float remainingTime);

    /// Half the width and height, in cells, of the area a cone with this "coneScale" lights.
    sf::Vector2f reachCells(sf::Vector2f coneScale, float remainingTime = 1.0f) const;
    /// The cone's centre in cells, from the "ScreenPos" uniform (the 64 x 64 space over the map).
    sf::Vector2f centreCells(sf::Vector2f screenPos) const;
    /// The part of the map, in world pixels, that the cone can light; zero-sized when the cone
    /// misses the map.
    sf::FloatRect reach(sf::Vector2f screenPos, sf::Vector2f coneScale, float remainingTime = 1.0f) const;

    /// Whole pixels of the target covering a world rectangle under the target's current view,
    /// widened by MarginPixels and cut to the target; top-left origin. Zero-sized when it misses.
    static sf::IntRect pixelBox(const sf::RenderTarget& target, const sf::FloatRect& world);

    /// Rows of target pixels per band of the round cut. Each band is two more triangles in the
    /// one draw; measured under software rendering (CPU time of a 3.5-cell light at 1920 x 1080),
    /// 32 rows cost 8 % less than 64 (the corners outside the round edge) and 8 no less than 16.
    static constexpr int BandRows = 32;

    /// The boxes of target pixels, top-left origin, that together cover every pixel the cone can
    /// light and none twice: horizontal bands following the cone's round edge, or the one box
    /// around it when the view is rotated. Empty when the cone misses the map or the target.
    std::vector<sf::IntRect> bands(const sf::RenderTarget& target, sf::Vector2f screenPos,
                                   sf::Vector2f coneScale, float remainingTime = 1.0f) const;

    /// Draws the light of a block with the block's states over the part of the grid's map-sized,
    /// textured light rectangle (at the world origin) that the cone can reach. Returns false,
    /// drawing nothing, when the reach misses the map or the target.
    bool draw(sf::RenderTarget& target, const sf::RectangleShape& lightRect, const sf::RenderStates& states,
              sf::Vector2f screenPos, sf::Vector2f coneScale, float remainingTime);

    /// Off, every light is drawn as the whole map-sized rectangle: the reference picture the
    /// clipped lights are compared with.
    void setClipped(bool clipped) { m_clipped = clipped; }

    /// Lights drawn since the map was set: a culled block costs none.
    std::size_t getDrawCount() const { return m_drawCount; }

private:
    sf::Vector2i m_mapSize{0, 0};
    sf::Vector2f m_cellSize{0.0f, 0.0f};
    std::size_t m_drawCount = 0;
    bool m_clipped = true;
    sf::VertexArray m_quads;
};
} // namespace orv_gd
