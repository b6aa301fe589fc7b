#include "match/LevelGenerator.h"

#include "match/BlockComponent.h"
#include "match/GridManager.h"
#include "match/Palette.h"
#include "objects/EventBus.h"
#include "objects/GameObject.h"
#include "objects/GameObjectCreateEvent.h"
#include "resources/TraceRecorder.h"

#include <cstdlib>
#include <iostream>
#include <string>

namespace orv_gd
{
LevelGenerator::LevelGenerator() : m_grid(GridManager::getInstance()), m_events(EventBus::getInstance()) {}

std::vector<std::shared_ptr<GameObject>> LevelGenerator::generate(sf::RenderWindow& window, int width,
                                                                  int height, int levelId)
{
    TRACE_SCOPE("orv_gd::LevelGenerator::generate");
    std::vector<std::shared_ptr<GameObject>> created;

    m_width = width;
    m_height = height;
    m_levelId = levelId;

    // Platforms. The runtime's rand() is never seeded, so every run builds the same levels.
    const int baseRow = startCell({m_width, m_height}).y + 1;
    // The last column a platform may use: right of it lies the finish line.
    const int lastPlatformColumn = m_width - FinishColumns - 1;
    int cursor = 0;
    int group = 0;
    while (cursor < m_width - FinishColumns)
    {
        std::shared_ptr<GameObject> platform =
            GameObject::create("map_" + std::to_string(m_levelId) + "_" + std::to_string(group));
        const int groupWidth = (std::rand() % 4) + 2;
        // The first platform lies right under the Runner's start cell.
        const int rowOffset = group == 0 ? 0 : (std::rand() % 2) + 1;
        for (int i = 0; i < groupWidth && cursor + i <= lastPlatformColumn; ++i)
        {
            const sf::Vector2i cell(cursor + i, baseRow + rowOffset);
            const std::shared_ptr<BlockComponent> block = BlockComponent::addToGrid(
                *platform, window, cell, PaletteWhite, false, BlockType::Static, "Map");
            if (m_grid.getBlockAt(cell.x, cell.y) != block)
            {
                std::cout << "Failed to place block" << std::endl;
            }
        }
        platform->init();
        created.push_back(platform);
        m_events.fireEvent(std::make_shared<GameObjectCreateEvent>(platform));

        const int gap = (std::rand() % 3) + 1;
        cursor += groupWidth + gap;
        ++group;
    }

    // The finish line: the right-most columns over the whole height, on one object.
    std::shared_ptr<GameObject> finishLine = GameObject::create("finish_line");
    for (int k = 1; k <= FinishColumns; ++k)
    {
        for (int y = 0; y < m_height; ++y)
        {
            BlockComponent::addToGrid(*finishLine, window, sf::Vector2i(m_width - k, y), PaletteGreen, false,
                                      BlockType::Finish, FloorLayer);
        }
    }
    finishLine->init();
    created.push_back(finishLine);
    m_events.fireEvent(std::make_shared<GameObjectCreateEvent>(finishLine));
    return created;
}
} // namespace orv_gd
