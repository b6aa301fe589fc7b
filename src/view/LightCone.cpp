#include "view/LightCone.h"

#include "resources/TraceRecorder.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderStates.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/Transform.hpp>
#include <SFML/Graphics/View.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace orv_gd
{
namespace
{
/// The shader guards against a zero "coneScale" (a map taller than wide) the same way.
constexpr float MinConeScale = 0.001f;

/// Below this strength the shader's light rounds to 0 of 255 and blends to nothing (0.5 / 255,
/// less a margin for the GPU's own rounding).
constexpr float UnseenStrength = 0.45f / 255.0f;

/// The shader's strength at r * r = r2, before "remainingTime" scales it (see "shaders/BloomShader.frag").
float coneStrength(float r2)
{
    const float envelope = (1.0f - r2) * (1.0f - r2);
    return envelope / (1.0f + 60.0f * r2) + 0.55f * envelope;
}

/// Appends the two triangles of the world quad [left, right) x [top, bottom) with the texture
/// coordinates of the map-sized rectangle of the given size and texture size there.
void appendQuad(sf::VertexArray& quads, const sf::FloatRect& world, sf::Vector2f mapSize,
                sf::Vector2f textureSize)
{
    const auto vertex = [&](float x, float y)
    {
        return sf::Vertex({x, y}, {x / mapSize.x * textureSize.x, y / mapSize.y * textureSize.y});
    };
    const float right = world.left + world.width;
    const float bottom = world.top + world.height;
    quads.append(vertex(world.left, world.top));
    quads.append(vertex(right, world.top));
    quads.append(vertex(right, bottom));
    quads.append(vertex(world.left, world.top));
    quads.append(vertex(right, bottom));
    quads.append(vertex(world.left, bottom));
}

bool isEmpty(const sf::FloatRect& rect)
{
    return !(rect.width > 0.0f && rect.height > 0.0f);
}
} // namespace

void LightCone::setMap(sf::Vector2i mapSize, sf::Vector2f cellSize)
{
    m_mapSize = mapSize;
    m_cellSize = cellSize;
    m_drawCount = 0;
}

float LightCone::litFraction(float remainingTime)
{
    // Also false for NaN.
    if (!(remainingTime * coneStrength(0.0f) >= UnseenStrength))
    {
        return 0.0f;
    }
    if (remainingTime * coneStrength(1.0f) >= UnseenStrength)
    {
        return 1.0f;
    }
    // The strength falls with the distance: halve the interval around where it drops below.
    float seen = 0.0f;
    float unseen = 1.0f;
    for (int i = 0; i < 24; ++i)
    {
        const float middle = (seen + unseen) / 2.0f;
        (remainingTime * coneStrength(middle) >= UnseenStrength ? seen : unseen) = middle;
    }
    return std::sqrt(unseen);
}

sf::Vector2f LightCone::reachCells(sf::Vector2f coneScale, float remainingTime) const
{
    const float scaleX = std::max(coneScale.x, MinConeScale);
    const float scaleY = std::max(coneScale.y, MinConeScale);
    const float radius = ConeRadius * litFraction(remainingTime);
    // Cone units to 64-space units, then 64-space units to cells.
    return sf::Vector2f(radius * scaleX * static_cast<float>(m_mapSize.x) / ShaderSpace,
                        radius * scaleY / AspectFix * static_cast<float>(m_mapSize.y) / ShaderSpace);
}

sf::Vector2f LightCone::centreCells(sf::Vector2f screenPos) const
{
    return sf::Vector2f(screenPos.x / ShaderSpace * static_cast<float>(m_mapSize.x),
                        screenPos.y / ShaderSpace * static_cast<float>(m_mapSize.y));
}

sf::FloatRect LightCone::reach(sf::Vector2f screenPos, sf::Vector2f coneScale, float remainingTime) const
{
    if (m_mapSize.x <= 0 || m_mapSize.y <= 0)
    {
        return sf::FloatRect();
    }
    const sf::Vector2f centre = centreCells(screenPos);
    const sf::Vector2f half = reachCells(coneScale, remainingTime);
    const float left = std::max(centre.x - half.x, 0.0f);
    const float top = std::max(centre.y - half.y, 0.0f);
    const float right = std::min(centre.x + half.x, static_cast<float>(m_mapSize.x));
    const float bottom = std::min(centre.y + half.y, static_cast<float>(m_mapSize.y));
    // Also false for NaN, which a broken uniform could bring.
    if (!(left < right && top < bottom))
    {
        return sf::FloatRect();
    }
    return sf::FloatRect(left * m_cellSize.x, top * m_cellSize.y, (right - left) * m_cellSize.x,
                         (bottom - top) * m_cellSize.y);
}

sf::IntRect LightCone::pixelBox(const sf::RenderTarget& target, const sf::FloatRect& world)
{
    if (isEmpty(world))
    {
        return sf::IntRect();
    }
    const sf::View& view = target.getView();
    const sf::IntRect viewport = target.getViewport(view);
    const sf::Transform& transform = view.getTransform();
    // All four corners, so that a rotated view is covered too.
    const sf::Vector2f corners[] = {{world.left, world.top},
                                    {world.left + world.width, world.top},
                                    {world.left, world.top + world.height},
                                    {world.left + world.width, world.top + world.height}};
    float minX = 0.0f;
    float minY = 0.0f;
    float maxX = 0.0f;
    float maxY = 0.0f;
    bool first = true;
    for (const sf::Vector2f& corner : corners)
    {
        const sf::Vector2f ndc = transform.transformPoint(corner);
        const float x =
            static_cast<float>(viewport.left) + (ndc.x + 1.0f) / 2.0f * static_cast<float>(viewport.width);
        const float y =
            static_cast<float>(viewport.top) + (1.0f - ndc.y) / 2.0f * static_cast<float>(viewport.height);
        minX = first ? x : std::min(minX, x);
        minY = first ? y : std::min(minY, y);
        maxX = first ? x : std::max(maxX, x);
        maxY = first ? y : std::max(maxY, y);
        first = false;
    }
    const sf::Vector2u size = target.getSize();
    const float limitX = static_cast<float>(size.x);
    const float limitY = static_cast<float>(size.y);
    // Clamped as floats first: a far-away cone must not overflow the int conversion.
    const int left = static_cast<int>(std::clamp(std::floor(minX) - MarginPixels, 0.0f, limitX));
    const int top = static_cast<int>(std::clamp(std::floor(minY) - MarginPixels, 0.0f, limitY));
    const int right = static_cast<int>(std::clamp(std::ceil(maxX) + MarginPixels, 0.0f, limitX));
    const int bottom = static_cast<int>(std::clamp(std::ceil(maxY) + MarginPixels, 0.0f, limitY));
    if (right <= left || bottom <= top)
    {
        return sf::IntRect();
    }
    return sf::IntRect(left, top, right - left, bottom - top);
}

std::vector<sf::IntRect> LightCone::bands(const sf::RenderTarget& target, sf::Vector2f screenPos,
                                          sf::Vector2f coneScale, float remainingTime) const
{
    std::vector<sf::IntRect> result;
    const sf::FloatRect world = reach(screenPos, coneScale, remainingTime);
    const sf::IntRect box = pixelBox(target, world);
    if (box.width <= 0 || box.height <= 0)
    {
        return result;
    }
    const sf::View& view = target.getView();
    if (std::fmod(view.getRotation(), 360.0f) != 0.0f || box.height < 2 * BandRows)
    {
        result.push_back(box);
        return result;
    }
    // The cone's ellipse in target pixels, widened by the margin so that rounding never cuts it.
    const sf::IntRect viewport = target.getViewport(view);
    const sf::Vector2f scale(static_cast<float>(viewport.width) / view.getSize().x,
                             static_cast<float>(viewport.height) / view.getSize().y);
    const sf::Vector2f centreWorld(centreCells(screenPos).x * m_cellSize.x,
                                   centreCells(screenPos).y * m_cellSize.y);
    const sf::Vector2f origin = view.getCenter() - view.getSize() / 2.0f;
    const sf::Vector2f centre(static_cast<float>(viewport.left) + (centreWorld.x - origin.x) * scale.x,
                              static_cast<float>(viewport.top) + (centreWorld.y - origin.y) * scale.y);
    const sf::Vector2f half = reachCells(coneScale, remainingTime);
    const float radiusX = half.x * m_cellSize.x * scale.x + MarginPixels;
    const float radiusY = half.y * m_cellSize.y * scale.y + MarginPixels;
    if (!(radiusX > 0.0f && radiusY > 0.0f && std::isfinite(centre.x) && std::isfinite(centre.y)))
    {
        result.push_back(box);
        return result;
    }
    // Horizontal bands of whole rows, each as wide as the ellipse is at the band's row nearest the
    // centre: no pixel lies in two bands, and every pixel the cone reaches lies in one. The band
    // edges fall on multiples of BandRows rows of the target, so that a software renderer's tiles
    // are each cut by as few bands as possible.
    for (int top = box.top, bottom = 0; top < box.top + box.height; top = bottom)
    {
        bottom = std::min((top / BandRows + 1) * BandRows, box.top + box.height);
        const float dy =
            std::max({static_cast<float>(top) - centre.y, centre.y - static_cast<float>(bottom), 0.0f});
        const float ratio = dy / radiusY;
        if (ratio >= 1.0f)
        {
            continue;
        }
        const float halfWidth = radiusX * std::sqrt(1.0f - ratio * ratio);
        const int left = std::max(box.left, static_cast<int>(std::floor(centre.x - halfWidth)) - 1);
        const int right =
            std::min(box.left + box.width, static_cast<int>(std::ceil(centre.x + halfWidth)) + 1);
        if (left < right)
        {
            result.emplace_back(left, top, right - left, bottom - top);
        }
    }
    return result;
}

bool LightCone::draw(sf::RenderTarget& target, const sf::RectangleShape& lightRect,
                     const sf::RenderStates& states, sf::Vector2f screenPos, sf::Vector2f coneScale,
                     float remainingTime)
{
    TRACE_SCOPE("orv_gd::LightCone::draw");
    const std::vector<sf::IntRect> parts = bands(target, screenPos, coneScale, remainingTime);
    if (parts.empty())
    {
        return false;
    }
    ++m_drawCount;
    const sf::Texture* texture = lightRect.getTexture();
    if (!m_clipped || !texture || std::fmod(target.getView().getRotation(), 360.0f) != 0.0f)
    {
        // The same picture, only slower.
        target.draw(lightRect, states);
        return true;
    }
    // Each band's pixel edges, taken back to the world, land on whole pixels again when drawn;
    // cut to the map, whose edges stay those of the map-sized rectangle.
    const sf::Vector2f mapSize = lightRect.getSize();
    const sf::Vector2f textureSize(texture->getSize());
    m_quads.setPrimitiveType(sf::Triangles);
    m_quads.clear();
    for (const sf::IntRect& band : parts)
    {
        const sf::Vector2f a = target.mapPixelToCoords({band.left, band.top});
        const sf::Vector2f b = target.mapPixelToCoords({band.left + band.width, band.top + band.height});
        const float left = std::max(std::min(a.x, b.x), 0.0f);
        const float top = std::max(std::min(a.y, b.y), 0.0f);
        const float right = std::min(std::max(a.x, b.x), mapSize.x);
        const float bottom = std::min(std::max(a.y, b.y), mapSize.y);
        if (left < right && top < bottom)
        {
            appendQuad(m_quads, sf::FloatRect(left, top, right - left, bottom - top), mapSize, textureSize);
        }
    }
    sf::RenderStates quadStates = states;
    quadStates.texture = texture;
    target.draw(m_quads, quadStates);
    return true;
}
} // namespace orv_gd
