#include "view/GridManager.h"

#include "objects/EventBus.h"
#include "objects/GameObject.h"
#include "objects/GameObjectManager.h"
#include "objects/RenderableDestroyEvent.h"
#include "resources/TraceRecorder.h"
#include "view/BlockComponent.h"
#include "view/GridRenderer.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <iostream>
#include <iterator>
#include <limits>
#include <utility>

namespace orv_gd
{
GridManager& GridManager::getInstance()
{
    static GridManager instance;
    return instance;
}

GridManager::GridManager()
    : m_objectManager(GameObjectManager::getInstance()), m_eventBus(EventBus::getInstance())
{
}

GridManager::~GridManager() = default;

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
    m_mapSize = sf::Vector2i(std::max(width, 0), std::max(height, 0));
    m_cells.assign(static_cast<std::size_t>(m_mapSize.x),
                   std::vector<std::shared_ptr<BlockComponent>>(static_cast<std::size_t>(m_mapSize.y)));
    // Made at the first map, when the window exists: it holds the GL resources of the drawing.
    if (!m_renderer)
    {
        m_renderer = std::make_unique<GridRenderer>();
    }
    m_renderer->setMap(m_mapSize, m_cellSize);
}

bool GridManager::isInside(int x, int y) const
{
    return 0 <= x && x < m_mapSize.x && 0 <= y && y < m_mapSize.y;
}

std::shared_ptr<BlockComponent> GridManager::getBlockAt(int x, int y) const
{
    if (!isInside(x, y))
    {
        return nullptr;
    }
    return m_cells[x][y];
}

std::shared_ptr<BlockComponent> GridManager::getBlockBeneath(int x, int y) const
{
    const auto beneath =
        std::find_if(m_covered.rbegin(), m_covered.rend(),
                     [&](const CoveredBlock& covered) { return covered.cell == sf::Vector2i(x, y); });
    return beneath == m_covered.rend() ? nullptr : beneath->block;
}

bool GridManager::placeBlock(const std::shared_ptr<BlockComponent>& block, bool keepBeneath)
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
    cover(p, block, keepBeneath);
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
    cover(to, block, true);
    block->setGridPosition(to);
    block->init();
}

void GridManager::cover(sf::Vector2i cell, const std::shared_ptr<BlockComponent>& block, bool keepBeneath)
{
    std::shared_ptr<BlockComponent>& entry = m_cells[cell.x][cell.y];
    if (keepBeneath && entry && entry != block)
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
    if (isInside(x, y) && m_renderer)
    {
        m_renderer->highlight(x, y);
    }
}

void GridManager::unhighlightCell(int x, int y)
{
    if (isInside(x, y) && m_renderer)
    {
        m_renderer->unhighlight(x, y);
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

void GridManager::removeTimedBlock(const std::shared_ptr<BlockComponent>& block)
{
    m_timedBlocks.remove(block);
}

void GridManager::update(float /*deltaTime*/)
{
    TRACE_SCOPE("orv_gd::GridManager::update");
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
    m_renderer->prepareLight();
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
    m_renderer->draw(*m_window, visibleArea(), m_cells);
}

void GridManager::drawFrames()
{
    TRACE_SCOPE("orv_gd::GridManager::drawFrames");
    if (m_window)
    {
        m_renderer->drawFrames(*m_window, visibleArea());
    }
}

void GridManager::drawLights()
{
    TRACE_SCOPE("orv_gd::GridManager::drawLights");
    if (m_window)
    {
        m_renderer->drawLights(*m_window, visibleArea(), m_cells);
    }
}

void GridManager::clear()
{
    m_timedBlocks.clear();
    m_covered.clear();
    // The lit list would otherwise keep blocks alive past their game objects.
    if (m_renderer)
    {
        m_renderer->clearLitBlocks();
    }
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
