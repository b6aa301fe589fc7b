#include "match/MatchReader.h"

#include "match/BlockComponent.h"
#include "match/GridManager.h"
#include "match/MainState.h"
#include "match/RunnerStrategy.h"
#include "objects/GameObject.h"
#include "objects/GameObjectManager.h"

#include <SFML/Graphics/RenderWindow.hpp>

namespace orv_gd
{
namespace
{
/// Whether a cell's corner lies in the camera's view, the test the Builder's cursor must pass.
bool inView(sf::Vector2i cell, sf::Vector2f cellSize, sf::Vector2f centre, sf::Vector2f half)
{
    const sf::Vector2f position(static_cast<float>(cell.x) * cellSize.x,
                                static_cast<float>(cell.y) * cellSize.y);
    return position.x >= centre.x - half.x && position.x <= centre.x + half.x &&
           position.y >= centre.y - half.y && position.y <= centre.y + half.y;
}
} // namespace

FieldSnapshot MatchReader::read(MainState& match)
{
    GridManager& grid = GridManager::getInstance();
    GameObjectManager& objects = GameObjectManager::getInstance();
    const sf::Vector2i size = grid.getMapSize();
    FieldSnapshot field(size.x, size.y);

    const auto runner =
        std::dynamic_pointer_cast<RunnerStrategy>(match.getStrategies()[StrategyType::Runner]);
    std::shared_ptr<BlockComponent> runnerBlock;
    if (const std::shared_ptr<GameObject> runnerObject = objects.getGameObject("Runner"))
    {
        runnerBlock = runnerObject->getComponent<BlockComponent>();
    }
    const GridManager::CellTable& cells = grid.getCells();
    for (int x = 0; x < size.x && x < static_cast<int>(cells.size()); ++x)
    {
        for (int y = 0; y < size.y && y < static_cast<int>(cells[static_cast<std::size_t>(x)].size()); ++y)
        {
            const std::shared_ptr<BlockComponent>& block =
                cells[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
            if (block && block != runnerBlock)
            {
                field.set({x, y}, kindOf(block->getType()));
            }
        }
    }
    if (runnerBlock)
    {
        field.runner.cell = runnerBlock->getGridPosition();
    }
    if (runner)
    {
        field.runner.jumpForce = runner->getJumpForce();
        field.runner.xMovement = runner->getXMovement();
        field.resetsLeft = runner->getResetsLeft();
        field.turnsLeft = runner->getTurnsLeft();
    }
    if (const std::shared_ptr<GameObject> safeZone = objects.getGameObject("runner_safezone"))
    {
        for (const std::shared_ptr<BlockComponent>& cell : safeZone->getComponents<BlockComponent>())
        {
            field.safeZone.push_back(cell->getGridPosition());
        }
    }
    if (const std::shared_ptr<GameObject> camera = objects.getGameObject("Camera"))
    {
        const sf::Vector2u window = match.getWindow().getSize();
        const sf::Vector2f half(static_cast<float>(window.x) / 2.0f, static_cast<float>(window.y) / 2.0f);
        const sf::Vector2f centre = camera->getPosition();
        const sf::Vector2f cellSize = grid.getCellSize();
        field.viewMin = {size.x, size.y};
        field.viewMax = {-1, -1};
        for (int x = 0; x < size.x; ++x)
        {
            for (int y = 0; y < size.y; ++y)
            {
                if (inView({x, y}, cellSize, centre, half))
                {
                    field.viewMin = {std::min(field.viewMin.x, x), std::min(field.viewMin.y, y)};
                    field.viewMax = {std::max(field.viewMax.x, x), std::max(field.viewMax.y, y)};
                }
            }
        }
    }
    return field;
}

CellKind MatchReader::kindOf(BlockType type)
{
    switch (type)
    {
    case BlockType::Static:
        return CellKind::Static;
    case BlockType::Finish:
        return CellKind::Finish;
    case BlockType::Dynamic:
        return CellKind::Dynamic;
    default:
        return CellKind::Empty;
    }
}
} // namespace orv_gd
