#include "view/LevelGenerator.h"

#include "objects/EventBus.h"
#include "objects/GameObject.h"
#include "objects/GameObjectCreateEvent.h"
#include "resources/TraceRecorder.h"
#include "rules/Level.h"
#include "view/BlockComponent.h"
#include "view/GridManager.h"
#include "view/Palette.h"

#include <iostream>
#include <string>

namespace orv_gd
{
LevelGenerator::LevelGenerator() : m_grid(GridManager::getInstance()), m_events(EventBus::getInstance()) {}

std::vector<std::shared_ptr<GameObject>> LevelGenerator::generate(sf::RenderWindow& window,
                                                                  const rules::Level& level, int levelId)
{
    TRACE_SCOPE("orv_gd::LevelGenerator::generate");
    std::vector<std::shared_ptr<GameObject>> created;
    int group = 0;
    for (const std::vector<rules::Cell>& cells : level.getPlatforms())
    {
        std::shared_ptr<GameObject> platform =
            GameObject::create("map_" + std::to_string(levelId) + "_" + std::to_string(group));
        for (const rules::Cell& cell : cells)
        {
            const std::shared_ptr<BlockComponent> block = BlockComponent::addToGrid(
                *platform, window, {cell.x, cell.y}, PaletteWhite, false, BlockType::Static, "Map");
            if (m_grid.getBlockAt(cell.x, cell.y) != block)
            {
                std::cout << "Failed to place block" << std::endl;
            }
        }
        platform->init();
        created.push_back(platform);
        m_events.fireEvent(std::make_shared<GameObjectCreateEvent>(platform));
        ++group;
    }

    std::shared_ptr<GameObject> finishLine = GameObject::create("finish_line");
    for (const rules::Cell& cell : level.getFinishLine())
    {
        BlockComponent::addToGrid(*finishLine, window, {cell.x, cell.y}, PaletteGreen, false,
                                  BlockType::Finish, FloorLayer);
    }
    finishLine->init();
    created.push_back(finishLine);
    m_events.fireEvent(std::make_shared<GameObjectCreateEvent>(finishLine));
    return created;
}
} // namespace orv_gd
