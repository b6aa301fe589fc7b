#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstddef>
#include <vector>

namespace sf
{
class Drawable;
class RenderStates;
class RenderTarget;
} // namespace sf

namespace orv_gd
{
/// Draws one block's light cone over only the part of the map the cone can reach. The grid's
/// map-sized light rectangle goes through a scissor box around the block, so every lit pixel comes
/// from the very triangles and texture coordinates of an unclipped draw and the picture stays
/// identical to it, while the rasteriser shades only the box: under software rendering one
/// map-sized light costs about as much as a whole frame.
class LightCone
{
public:
    /// Where the light shader's cone reaches zero, in its cone units ("coneScale" 64-space units
    /// each); 3.5 cells on the 50 x 15 map. Must match coneRadius in "shaders/BloomShader.frag".
    static constexpr float ConeRadius = 1.792f;
    /// The light shader's map space: "ScreenPos" and "coneScale" count 64 units across the map
    /// and 64 down it, whatever its size in cells.
    static constexpr float ShaderSpace = 64.0f;
    /// The shader's correction of the whole-number map aspect in "coneScale" (aspectFix there).
    static constexpr float AspectFix = 0.9f;
    /// Extra pixels around the reach, so rounding never cuts a faint rim.
    static constexpr int MarginPixels = 2;

    /// The map in cells and the size of one cell in world pixels; set whenever the map changes.
    void setMap(sf::Vector2i mapSize, sf::Vector2f cellSize);

    /// Half the width and height, in cells, of the area a cone with this "coneScale" lights.
    sf::Vector2f reachCells(sf::Vector2f coneScale) const;
    /// The cone's centre in cells, from the "ScreenPos" uniform (the 64 x 64 space over the map).
    sf::Vector2f centreCells(sf::Vector2f screenPos) const;
    /// The part of the map, in world pixels, that the cone can light; zero-sized when the cone
    /// misses the map.
    sf::FloatRect reach(sf::Vector2f screenPos, sf::Vector2f coneScale) const;

    /// Whole pixels of the target covering a world rectangle under the target's current view,
    /// widened by MarginPixels and cut to the target; top-left origin. Zero-sized when it misses.
    static sf::IntRect pixelBox(const sf::RenderTarget& target, const sf::FloatRect& world);

    /// Rows of target pixels per band of the round cut. Each band is one more draw and cuts the
    /// renderer's tiles; 64 measured fastest under software rendering (16 cost more than one
    /// square box, 32 and 128 a little more than 64).
    static constexpr int BandRows = 64;

    /// The scissor boxes, top-left origin, that together cover every pixel the cone can light and
    /// none twice: horizontal bands following the cone's round edge, or the one box around it when
    /// the view is rotated. Empty when the cone misses the map or the target.
    std::vector<sf::IntRect> bands(const sf::RenderTarget& target, sf::Vector2f screenPos,
                                   sf::Vector2f coneScale) const;

    /// Draws the map-sized light rectangle with the block's states, restricted to the cone's reach.
    /// Returns false, drawing nothing, when the reach misses the map or the target.
    bool draw(sf::RenderTarget& target, const sf::Drawable& lightRect, const sf::RenderStates& states,
              sf::Vector2f screenPos, sf::Vector2f coneScale);

    /// Lights drawn since the map was set: a culled block costs none.
    std::size_t getDrawCount() const { return m_drawCount; }

private:
    sf::Vector2i m_mapSize{0, 0};
    sf::Vector2f m_cellSize{0.0f, 0.0f};
    std::size_t m_drawCount = 0;
};
} // namespace orv_gd
