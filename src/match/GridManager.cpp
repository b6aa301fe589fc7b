#include "match/GridManager.h"

#include "match/BlockComponent.h"
#include "match/GridPhysics.h"
#include "match/Palette.h"
#include "objects/EventBus.h"
#include "objects/GameObject.h"
#include "objects/GameObjectManager.h"
#include "objects/RenderableDestroyEvent.h"
#include "resources/AssetManager.h"
#include "resources/TraceRecorder.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <iostream>
#include <iterator>
#include <limits>
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

GridManager& GridManager::getInstance()
{
    static GridManager instance;
    return instance;
}

GridManager::GridManager()
    : m_objectManager(GameObjectManager::getInstance()), m_eventBus(EventBus::getInstance())
{
}

void GridManager::setCellSize(const sf::Vector2f& cellSize)
{
    m_cellSize = cellSize;
}

void GridManager::setWindow(sf::RenderWindow& window)
{
    m_window = &window;
}

void GridManager::init(int width, int height)
{
    TRACE_SCOPE("orv_gd::GridManager::init");
    m_cells.clear();
    m_covered.clear();
    m_cellShapes.clear();
    m_litBlocks.clear();
    m_highlighted.clear();
    m_mapSize = sf::Vector2i(std::max(width, 0), std::max(height, 0));
    m_cells.assign(static_cast<std::size_t>(m_mapSize.x),
                   std::vector<std::shared_ptr<BlockComponent>>(static_cast<std::size_t>(m_mapSize.y)));
    buildCellFrames();
    m_physics = std::make_shared<GridPhysics>(*this, m_cells);
    // The light rectangle spans the map, so a new map size rebuilds it at the next preparation.
    m_lightRectReady = false;
}

std::size_t GridManager::frameIndex(int x, int y) const
{
    const int rows = m_mapSize.y + 2 * frameCells.y;
    return static_cast<std::size_t>((x + frameCells.x) * rows + (y + frameCells.y));
}

std::size_t GridManager::frameCount() const
{
    return static_cast<std::size_t>((m_mapSize.x + 2 * frameCells.x) * (m_mapSize.y + 2 * frameCells.y));
}

void GridManager::buildCellFrames()
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
                    const sf::Color fill = isInside(x, y) ? sf::Color::Transparent : PaletteDarkTranslucent;
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

bool GridManager::isInside(int x, int y) const
{
    return 0 <= x && x < m_mapSize.x && 0 <= y && y < m_mapSize.y;
}

bool GridManager::isOccupied(int x, int y) const
{
    if (!isInside(x, y))
    {
        return false;
    }
    const std::shared_ptr<BlockComponent>& block = m_cells[x][y];
    return block && (block->getType() == BlockType::Static || block->getType() == BlockType::Finish);
}

std::shared_ptr<BlockComponent> GridManager::getBlockAt(int x, int y) const
{
    if (!isInside(x, y))
    {
        return nullptr;
    }
    return m_cells[x][y];
}

bool GridManager::placeBlock(const std::shared_ptr<BlockComponent>& block)
{
    if (!block)
    {
        return false;
    }
    const sf::Vector2i p = block->getGridPosition();
    if (!isInside(p.x, p.y))
    {
        return false;
    }
    if (block->isGhost())
    {
        return true;
    }
    // A finish block takes over any cell; everything else yields to platforms and finish cells.
    if (block->getType() != BlockType::Finish && isOccupied(p.x, p.y))
    {
        return false;
    }
    cover(p, block);
    return true;
}

void GridManager::removeBlock(const std::shared_ptr<BlockComponent>& block)
{
    if (!block)
    {
        return;
    }
    const sf::Vector2i p = block->getGridPosition();
    if (isInside(p.x, p.y))
    {
        vacate(p, block);
    }
}

void GridManager::moveBlock(const std::shared_ptr<BlockComponent>& block, sf::Vector2i to)
{
    if (!block)
    {
        return;
    }
    const sf::Vector2i from = block->getGridPosition();
    // The safe zone is never in the table and may hang over the map's edge.
    if (block->getType() != BlockType::SafeZone)
    {
        if (!isInside(from.x, from.y) || !isInside(to.x, to.y))
        {
            return;
        }
        if (!block->isGhost())
        {
            if (isOccupied(to.x, to.y))
            {
                return;
            }
            vacate(from, block);
            m_cells[to.x][to.y] = block;
            std::cout << "moved block from " << from.x << ", " << from.y << " to " << to.x << ", " << to.y
                      << "\n---------------" << std::endl;
        }
    }
    block->setGridPosition(to);
    block->init();
}

void GridManager::takeOverCell(const std::shared_ptr<BlockComponent>& block, sf::Vector2i to)
{
    if (!block || block->isGhost() || !isInside(to.x, to.y))
    {
        return;
    }
    const sf::Vector2i from = block->getGridPosition();
    if (isInside(from.x, from.y))
    {
        vacate(from, block);
    }
    cover(to, block);
    block->setGridPosition(to);
    block->init();
}

void GridManager::cover(sf::Vector2i cell, const std::shared_ptr<BlockComponent>& block)
{
    std::shared_ptr<BlockComponent>& entry = m_cells[cell.x][cell.y];
    if (entry && entry != block && isOccupied(cell.x, cell.y))
    {
        m_covered.push_back({cell, entry});
    }
    entry = block;
}

void GridManager::vacate(sf::Vector2i cell, const std::shared_ptr<BlockComponent>& block)
{
    std::shared_ptr<BlockComponent>& entry = m_cells[cell.x][cell.y];
    if (entry != block)
    {
        // A covered block that goes never comes back.
        m_covered.erase(std::remove_if(m_covered.begin(), m_covered.end(),
                                       [&](const CoveredBlock& covered)
                                       { return covered.cell == cell && covered.block == block; }),
                        m_covered.end());
        return;
    }
    entry.reset();
    const auto beneath = std::find_if(m_covered.rbegin(), m_covered.rend(),
                                      [&](const CoveredBlock& covered) { return covered.cell == cell; });
    if (beneath != m_covered.rend())
    {
        entry = beneath->block;
        m_covered.erase(std::next(beneath).base());
    }
}

void GridManager::highlightCell(int x, int y)
{
    if (isInside(x, y))
    {
        setCellOutline(x, y, PaletteGrey);
        if (std::find(m_highlighted.begin(), m_highlighted.end(), sf::Vector2i(x, y)) == m_highlighted.end())
        {
            m_highlighted.emplace_back(x, y);
        }
    }
}

void GridManager::unhighlightCell(int x, int y)
{
    if (isInside(x, y))
    {
        setCellOutline(x, y, PaletteDark);
        m_highlighted.erase(std::remove(m_highlighted.begin(), m_highlighted.end(), sf::Vector2i(x, y)),
                            m_highlighted.end());
    }
}

void GridManager::setCellOutline(int x, int y, const sf::Color& color)
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

void GridManager::addTimedBlock(const std::shared_ptr<BlockComponent>& block)
{
    const auto found = std::find(m_timedBlocks.begin(), m_timedBlocks.end(), block);
    if (found != m_timedBlocks.end())
    {
        *found = block;
        return;
    }
    m_timedBlocks.push_back(block);
}

void GridManager::runPhysics()
{
    TRACE_SCOPE("orv_gd::GridManager::runPhysics");
    if (m_physics)
    {
        m_physics->update();
    }
}

void GridManager::update(float deltaTime)
{
    TRACE_SCOPE("orv_gd::GridManager::update");
    // Blocks only age while the Builder plays.
    if (m_currentPlayer == StrategyType::Builder)
    {
        std::vector<std::shared_ptr<BlockComponent>> expired;
        for (const std::shared_ptr<BlockComponent>& block : m_timedBlocks)
        {
            block->setRemainingLifetime(block->getRemainingLifetime() - deltaTime);
            if (block->getRemainingLifetime() <= 0.0f)
            {
                expired.push_back(block);
                removeBlock(block);
                m_eventBus.fireEvent(std::make_shared<RenderableDestroyEvent>("Map", *block));
            }
        }
        for (const std::shared_ptr<BlockComponent>& block : expired)
        {
            m_timedBlocks.remove(block);
        }
    }

    for (const std::vector<std::shared_ptr<BlockComponent>>& column : m_cells)
    {
        for (const std::shared_ptr<BlockComponent>& block : column)
        {
            if (block && block->emitsLight() && block->isLightReady())
            {
                prepareLight(block);
            }
        }
    }
}

void GridManager::prepareLight(const std::shared_ptr<BlockComponent>& block)
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
    // Compiled on first use only; every later frame this is a flag test. The block's states then
    // point at its own shader with its own uniforms.
    block->prepareShader();
    block->setLightReady(true);
}

VisibleArea GridManager::visibleArea() const
{
    const auto camera = m_objectManager.getGameObjects().find("Camera");
    if (camera == m_objectManager.getGameObjects().end() || !camera->second || !m_window)
    {
        // Without a camera nothing is culled.
        const float huge = std::numeric_limits<float>::max();
        return {{-huge, -huge}, {huge, huge}};
    }
    VisibleArea area = VisibleArea::around(camera->second->getPosition(), m_window->getSize());
    area.min -= m_cellSize;
    return area;
}

void GridManager::draw()
{
    TRACE_SCOPE("orv_gd::GridManager::draw");
    if (!m_window)
    {
        return;
    }
    const VisibleArea area = visibleArea();
    drawCellFrames(area);
    drawLitBlocks(area);
}

void GridManager::drawCellFrames(const VisibleArea& area)
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
    const auto appendFill = [this](int fromColumn, int toColumn, int fromRow, int toRow)
    {
        if (fromColumn <= toColumn && fromRow <= toRow)
        {
            appendQuad(m_gridLines, static_cast<float>(fromColumn) * m_cellSize.x,
                       static_cast<float>(fromRow) * m_cellSize.y,
                       static_cast<float>(toColumn + 1) * m_cellSize.x,
                       static_cast<float>(toRow + 1) * m_cellSize.y, PaletteDarkTranslucent);
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
    m_window->draw(m_gridLines);
}

void GridManager::appendGridLines(int firstColumn, int lastColumn, int firstRow, int lastRow)
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

void GridManager::drawLitBlocks(const VisibleArea& area)
{
    m_litBlocks.clear();
    for (const std::vector<std::shared_ptr<BlockComponent>>& column : m_cells)
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
                m_lightCone.draw(*m_window, m_lightRect, block->getRenderStates(), block->getScreenPos(),
                                 block->getConeScale());
            }
            m_litBlocks.push_back(block);
            m_window->draw(block->getShape(), m_cellRenderStates);
        }
    }
    // Again on top, so that no later light cone covers a lit block.
    for (const std::shared_ptr<BlockComponent>& block : m_litBlocks)
    {
        m_window->draw(block->getShape(), sf::RenderStates::Default);
    }
}

void GridManager::clear()
{
    m_timedBlocks.clear();
    m_covered.clear();
    // The lit list would otherwise keep blocks alive past their game objects.
    m_litBlocks.clear();
    for (std::vector<std::shared_ptr<BlockComponent>>& column : m_cells)
    {
        for (std::shared_ptr<BlockComponent>& block : column)
        {
            // A stale entry whose block moved on without the table knowing goes as well.
            block.reset();
        }
    }
}
} // namespace orv_gd
