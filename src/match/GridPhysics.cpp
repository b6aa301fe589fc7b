#include "match/GridPhysics.h"

#include "match/BlockComponent.h"
#include "objects/GameObject.h"
#include "objects/GameObjectManager.h"
#include "resources/AssetManager.h"
#include "resources/TraceRecorder.h"

#include <SFML/Audio/Sound.hpp>

#include <iostream>

namespace orv_gd
{
GridPhysics::GridPhysics(GridManager& grid, GridManager::CellTable& cells)
    : m_grid(grid), m_cells(cells), m_objectManager(GameObjectManager::getInstance()),
      m_assetManager(AssetManager::getInstance())
{
}

void GridPhysics::update()
{
    TRACE_SCOPE("orv_gd::GridPhysics::update");
    std::cout << "\n\nstarting physic updates" << std::endl;
    m_assetManager.GetSound("warp").play();

    // Rows are scanned upwards on the live table, so a block that has just fallen is not looked
    // at again: every block falls at most one cell, and a stack above a gap falls together.
    for (std::size_t x = 0; x < m_cells.size(); ++x)
    {
        const int height = static_cast<int>(m_cells[x].size());
        for (int y = height - 2; y >= 0; --y)
        {
            const std::shared_ptr<BlockComponent> block = m_cells[x][y];
            if (m_cells[x][y + 1] || !block || block->getType() != BlockType::Dynamic)
            {
                continue;
            }
            if (block->getGameObject().getId() == "Runner")
            {
                m_runnerFell = true;
            }
            const sf::Vector2i cell = block->getGridPosition();
            m_grid.moveBlock(block, sf::Vector2i(cell.x, cell.y + 1));
        }
    }

    if (m_runnerFell)
    {
        if (const std::shared_ptr<GameObject> safeZone = m_objectManager.getGameObject("runner_safezone"))
        {
            for (const std::shared_ptr<BlockComponent>& zoneBlock : safeZone->getComponents<BlockComponent>())
            {
                const sf::Vector2i cell = zoneBlock->getGridPosition();
                m_grid.moveBlock(zoneBlock, sf::Vector2i(cell.x, cell.y + 1));
            }
        }
    }
    m_runnerFell = false;
}
} // namespace orv_gd
