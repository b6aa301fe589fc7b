#include "view/GridRenderer.h"

#include "resources/AssetManager.h"
#include "view/BlockComponent.h"
#include "view/Palette.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <utility>

namespace orv_gd
{
namespace
{
constexpr std::size_t FillVertices = 6;
constexpr std::size_t OutlineVertices = 24;
constexpr float OutlineThickness = 1.0f;
const char* const LightTextureFile = "shaders/ShaderTextureUV.png";

/// The light texture's picture made in memory: red grows to the right, green downwards, as in
/// "shaders/ShaderTextureUV.png".
void loadStandInLightTexture(sf::Texture& texture)
{
    constexpr unsigned Size = 64;
    sf::Image image;
    image.create(Size, Size);
    for (unsigned y = 0; y < Size; ++y)
    {
        for (unsigned x = 0; x < Size; ++x)
        {
            image.setPixel(x, y,
                           sf::Color(static_cast<sf::Uint8>(x * 255 / (Size - 1)),
                                     static_cast<sf::Uint8>(y * 255 / (Size - 1)), 0));
        }
    }
    texture.loadFromImage(image);
}

/// What a colour blended over black leaves: each channel times alpha / 255, rounded as the
/// blender rounds it.
sf::Color overBlack(const sf::Color& color)
{
    const auto scaled = [&color](sf::Uint8 channel)
    {
        const int product = channel * color.a + 128;
        return static_cast<sf::Uint8>((product + (product >> 8)) >> 8);
    };
    return sf::Color(scaled(color.r), scaled(color.g), scaled(color.b));
}

/// Appends the two triangles of the axis-aligned quad [left, right) x [top, bottom).
void appendQuad(sf::VertexArray& vertices, float left, float top, float right, float bottom,
                const sf::Color& color)
{
    const sf::Vertex topLeft({left, top}, color);
    const sf::Vertex topRight({right, top}, color);
    const sf::Vertex bottomRight({right, bottom}, color);
    const sf::Vertex bottomLeft({left, bottom}, color);
    vertices.append(topLeft);
    vertices.append(topRight);
    vertices.append(bottomRight);
    vertices.append(topLeft);
    vertices.append(bottomRight);
    vertices.append(bottomLeft);
}

/// The first and last frame cell along one axis whose leading edge lies in [min, max]; the last
/// is below the first when none does. The visible cells of a frame always form such a range.
std::pair<int, int> visibleRange(int mapCells, int border, float cellSize, float min, float max)
{
    int first = 0;
    int last = -1;
    for (int i = -border; i < mapCells + border; ++i)
    {
        const float p = static_cast<float>(i) * cellSize;
        if (min <= p && p <= max)
        {
            if (last < first)
            {
                first = i;
            }
            last = i;
        }
    }
    return {first, last};
}
} // namespace

void GridRenderer::setMap(sf::Vector2i mapSize, sf::Vector2f cellSize)
{
    m_mapSize = mapSize;
    m_cellSize = cellSize;
    m_litBlocks.clear();
    m_highlighted.clear();
    buildCellFrames();
    // The light rectangle spans the map, so a new map size rebuilds it at the next preparation.
    m_lightRectReady = false;
}

std::size_t GridRenderer::frameIndex(int x, int y) const
{
    const int rows = m_mapSize.y + 2 * frameCells.y;
    return static_cast<std::size_t>((x + frameCells.x) * rows + (y + frameCells.y));
}

std::size_t GridRenderer::frameCount() const
{
    return static_cast<std::size_t>((m_mapSize.x + 2 * frameCells.x) * (m_mapSize.y + 2 * frameCells.y));
}

void GridRenderer::buildCellFrames()
{
    // One vertex array instead of 1650 rectangle shapes: a frame costs a few draw calls. All fills
    // come first so that every outline lies on top of the translucent frame fills.
    m_cellShapes.setPrimitiveType(sf::Triangles);
    m_cellShapes.clear();
    for (int pass = 0; pass < 2; ++pass)
    {
        for (int x = -frameCells.x; x < m_mapSize.x + frameCells.x; ++x)
        {
            for (int y = -frameCells.y; y < m_mapSize.y + frameCells.y; ++y)
            {
                const float left = static_cast<float>(x) * m_cellSize.x;
                const float top = static_cast<float>(y) * m_cellSize.y;
                const float right = left + m_cellSize.x;
                const float bottom = top + m_cellSize.y;
                if (pass == 0)
                {
                    const sf::Color fill = (0 <= x && x < m_mapSize.x && 0 <= y && y < m_mapSize.y)
                                               ? sf::Color::Transparent
                                               : PaletteDarkTranslucent;
                    appendQuad(m_cellShapes, left, top, right, bottom, fill);
                    continue;
                }
                // The outline lies outside the rectangle, as a rectangle shape draws it.
                const float t = OutlineThickness;
                appendQuad(m_cellShapes, left - t, top - t, right + t, top, PaletteDark);
                appendQuad(m_cellShapes, left - t, bottom, right + t, bottom + t, PaletteDark);
                appendQuad(m_cellShapes, left - t, top, left, bottom, PaletteDark);
                appendQuad(m_cellShapes, right, top, right + t, bottom, PaletteDark);
            }
        }
    }
}

void GridRenderer::highlight(int x, int y)
{
    setCellOutline(x, y, PaletteGrey);
    if (std::find(m_highlighted.begin(), m_highlighted.end(), sf::Vector2i(x, y)) == m_highlighted.end())
    {
        m_highlighted.emplace_back(x, y);
    }
}

void GridRenderer::unhighlight(int x, int y)
{
    setCellOutline(x, y, PaletteDark);
    m_highlighted.erase(std::remove(m_highlighted.begin(), m_highlighted.end(), sf::Vector2i(x, y)),
                        m_highlighted.end());
}

void GridRenderer::setCellOutline(int x, int y, const sf::Color& color)
{
    const std::size_t first = frameCount() * FillVertices + frameIndex(x, y) * OutlineVertices;
    if (first + OutlineVertices > m_cellShapes.getVertexCount())
    {
        return;
    }
    for (std::size_t i = first; i < first + OutlineVertices; ++i)
    {
        m_cellShapes[i].color = color;
    }
}

void GridRenderer::prepareLight()
{
    if (!m_lightRectReady)
    {
        if (!m_lightTextureAttempted)
        {
            m_lightTextureAttempted = true;
            // SFML reports a missing texture; the shader only needs texture coordinates that run
            // 0..1 over the map, which any texture gives, so the light goes on with a stand-in.
            if (!m_lightTexture.loadFromFile(AssetManager::GetAssetPath(LightTextureFile)))
            {
                loadStandInLightTexture(m_lightTexture);
            }
        }
        m_lightRect.setPosition(0.0f, 0.0f);
        m_lightRect.setSize(sf::Vector2f(static_cast<float>(m_mapSize.x) * m_cellSize.x,
                                         static_cast<float>(m_mapSize.y) * m_cellSize.y));
        if (m_lightTexture.getSize().x > 0)
        {
            m_lightRect.setTexture(&m_lightTexture, true);
        }
        m_lightCone.setMap(m_mapSize, m_cellSize);
        m_lightRectReady = true;
    }
}

void GridRenderer::draw(sf::RenderWindow& window, const VisibleArea& area, const CellTable& cells)
{
    drawFrames(window, area);
    drawLights(window, area, cells);
}

void GridRenderer::drawFrames(sf::RenderWindow& window, const VisibleArea& area)
{
    drawCellFrames(window, area);
}

void GridRenderer::drawLights(sf::RenderWindow& window, const VisibleArea& area, const CellTable& cells)
{
    drawLitBlocks(window, area, cells);
}

void GridRenderer::drawCellFrames(sf::RenderWindow& window, const VisibleArea& area)
{
    if (m_cellShapes.getVertexCount() == 0)
    {
        return;
    }
    // The visible frame cells form one column range and one row range: fills and outlines of the
    // whole frame take a single draw.
    const auto [firstColumn, lastColumn] =
        visibleRange(m_mapSize.x, frameCells.x, m_cellSize.x, area.min.x, area.max.x);
    const auto [firstRow, lastRow] =
        visibleRange(m_mapSize.y, frameCells.y, m_cellSize.y, area.min.y, area.max.y);
    if (lastColumn < firstColumn || lastRow < firstRow)
    {
        return;
    }

    const std::size_t outlineStart = frameCount() * FillVertices;
    m_gridLines.setPrimitiveType(sf::Triangles);
    m_gridLines.clear();
    // The map cells' fills are fully transparent and change no pixel, so only the frame around the
    // map is filled: the visible part of the rows above and below it and of the columns beside it,
    // as up to four rectangles. The cells' fills do not overlap, so this is the same picture.
    // The frame is the first thing drawn over the cleared black window and all of it is opaque
    // but the fills: with the fills' colour over black it is drawn without blending, which gives
    // the same pixels without reading the window back.
    const sf::Color fill = overBlack(PaletteDarkTranslucent);
    const auto appendFill = [this, &fill](int fromColumn, int toColumn, int fromRow, int toRow)
    {
        if (fromColumn <= toColumn && fromRow <= toRow)
        {
            appendQuad(m_gridLines, static_cast<float>(fromColumn) * m_cellSize.x,
                       static_cast<float>(fromRow) * m_cellSize.y,
                       static_cast<float>(toColumn + 1) * m_cellSize.x,
                       static_cast<float>(toRow + 1) * m_cellSize.y, fill);
        }
    };
    const int mapTop = std::max(firstRow, 0);
    const int mapBottom = std::min(lastRow, m_mapSize.y - 1);
    appendFill(firstColumn, lastColumn, firstRow, std::min(lastRow, -1));
    appendFill(firstColumn, lastColumn, std::max(firstRow, m_mapSize.y), lastRow);
    appendFill(firstColumn, std::min(lastColumn, -1), mapTop, mapBottom);
    appendFill(std::max(firstColumn, m_mapSize.x), lastColumn, mapTop, mapBottom);
    // Fills first, so that every outline lies on top of the translucent frame.
    appendGridLines(firstColumn, lastColumn, firstRow, lastRow);
    // A highlighted ring goes on top of the dark lines; the rings of the cells after it in frame
    // order (below it, and the next column) overlapped its corners in a per-cell drawing, so they
    // are drawn again after it to keep the picture exactly that of one rectangle per cell.
    m_ringCells.clear();
    for (const sf::Vector2i& cell : m_highlighted)
    {
        const sf::Vector2i later[] = {cell,
                                      {cell.x, cell.y + 1},
                                      {cell.x + 1, cell.y - 1},
                                      {cell.x + 1, cell.y},
                                      {cell.x + 1, cell.y + 1}};
        for (const sf::Vector2i& c : later)
        {
            if (firstColumn <= c.x && c.x <= lastColumn && firstRow <= c.y && c.y <= lastRow)
            {
                m_ringCells.push_back(frameIndex(c.x, c.y));
            }
        }
    }
    std::sort(m_ringCells.begin(), m_ringCells.end());
    m_ringCells.erase(std::unique(m_ringCells.begin(), m_ringCells.end()), m_ringCells.end());
    for (std::size_t index : m_ringCells)
    {
        for (std::size_t i = 0; i < OutlineVertices; ++i)
        {
            m_gridLines.append(m_cellShapes[outlineStart + index * OutlineVertices + i]);
        }
    }
    window.draw(m_gridLines, sf::BlendNone);
}

void GridRenderer::appendGridLines(int firstColumn, int lastColumn, int firstRow, int lastRow)
{
    // Each cell's one-pixel outline lies outside it, so a grid line between two drawn cells is the
    // union of both neighbours' outlines, two pixels wide; at the edge of the drawn range only the
    // inner half exists. Opaque, so overlaps change nothing: one quad per line instead of four per cell.
    const float t = OutlineThickness;
    const float left = static_cast<float>(firstColumn) * m_cellSize.x;
    const float right = static_cast<float>(lastColumn + 1) * m_cellSize.x;
    const float top = static_cast<float>(firstRow) * m_cellSize.y;
    const float bottom = static_cast<float>(lastRow + 1) * m_cellSize.y;
    for (int x = firstColumn; x <= lastColumn + 1; ++x)
    {
        const float line = static_cast<float>(x) * m_cellSize.x;
        appendQuad(m_gridLines, x == lastColumn + 1 ? line : line - t, top,
                   x == firstColumn ? line : line + t, bottom, PaletteDark);
    }
    for (int y = firstRow; y <= lastRow + 1; ++y)
    {
        const float line = static_cast<float>(y) * m_cellSize.y;
        appendQuad(m_gridLines, left - t, y == lastRow + 1 ? line : line - t, right + t,
                   y == firstRow ? line : line + t, PaletteDark);
    }
}

void GridRenderer::drawLitBlocks(sf::RenderWindow& window, const VisibleArea& area, const CellTable& cells)
{
    m_litBlocks.clear();
    for (const std::vector<std::shared_ptr<BlockComponent>>& column : cells)
    {
        for (const std::shared_ptr<BlockComponent>& block : column)
        {
            if (!block || !block->emitsLight() || !block->isLightReady())
            {
                continue;
            }
            const sf::Vector2i cell = block->getGridPosition();
            const sf::Vector2f p(static_cast<float>(cell.x) * m_cellSize.x,
                                 static_cast<float>(cell.y) * m_cellSize.y);
            if (!area.contains(p))
            {
                continue;
            }
            // Without a working shader the light rectangle would paint the bare texture over the map.
            // Only the part of the map the cone can reach is shaded; the picture is the same.
            if (block->hasShader() && block->getRenderStates().shader)
            {
                m_lightCone.draw(window, m_lightRect, block->getRenderStates(), block->getScreenPos(),
                                 block->getConeScale(), block->getRemainingTimeUniform());
            }
            m_litBlocks.push_back(block);
            // Only the body's fill: its rim and ring are opaque and drawn again on top below, which
            // hides whatever they covered here.
            m_bodyUnderLight.clear();
            m_bodyUnderLight.addFill(block->getShape());
            m_bodyUnderLight.draw(window);
        }
    }
    // Again on top, so that no later light cone covers a lit block: all of them in one draw.
    m_bodies.clear();
    for (const std::shared_ptr<BlockComponent>& block : m_litBlocks)
    {
        block->addBody(m_bodies);
    }
    m_bodies.draw(window);
}
} // namespace orv_gd
