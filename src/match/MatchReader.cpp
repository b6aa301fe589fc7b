#include "match/MatchReader.h"

#include "match/BlockComponent.h"
#include "match/BuilderStrategy.h"
#include "match/GridManager.h"
#include "match/RunnerStrategy.h"
#include "objects/GameObject.h"
#include "objects/GameObjectManager.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <cmath>

namespace orv_gd
{
namespace
{
using rules::Cell;
using rules::CellKind;

Cell cellOf(sf::Vector2i v)
{
    return {v.x, v.y};
}

/// Whether a cell's corner lies in the camera's view, the test the Builder's cursor must pass.
bool inView(sf::Vector2i cell, sf::Vector2f cellSize, sf::Vector2f centre, sf::Vector2f half)
{
    const sf::Vector2f position(static_cast<float>(cell.x) * cellSize.x,
                                static_cast<float>(cell.y) * cellSize.y);
    return position.x >= centre.x - half.x && position.x <= centre.x + half.x &&
           position.y >= centre.y - half.y && position.y <= centre.y + half.y;
}

/// What a fading Builder cell covers: the white or green block that stays beneath it in the grid,
/// if any (a level cell, or a white Builder block; green ones that faded are no longer in play).
CellKind coveredKind(const std::shared_ptr<BlockComponent>& top, const GridManager& grid)
{
    const sf::Vector2i cell = top->getGridPosition();
    const auto& timed = grid.getTimedBlocks();
    for (const auto& [name, object] : GameObjectManager::getInstance().getGameObjects())
    {
        for (const std::shared_ptr<BlockComponent>& block : object->getComponents<BlockComponent>())
        {
            const BlockType type = block->getType();
            const bool level = name.rfind("map_", 0) == 0 || name == "finish_line";
            if (block != top && !block->isGhost() && block->getGridPosition() == cell &&
                (type == BlockType::Static || (type == BlockType::Finish && level)) &&
                std::find(timed.begin(), timed.end(), block) == timed.end())
            {
                return MatchReader::kindOf(type);
            }
        }
    }
    return CellKind::Empty;
}
} // namespace

rules::Match MatchReader::read(const Strategies& strategies, StrategyType turn, bool over)
{
    GridManager& grid = GridManager::getInstance();
    const sf::Vector2i size = grid.getMapSize();
    rules::Match match;
    match.config.width = size.x;
    match.config.height = size.y;
    match.field = rules::Field(size.x, size.y);
    match.turn = turn == StrategyType::Runner ? rules::Role::Runner : rules::Role::Builder;
    match.over = over;

    const auto runner = strategies.count(StrategyType::Runner) > 0
                            ? std::dynamic_pointer_cast<RunnerStrategy>(strategies.at(StrategyType::Runner))
                            : nullptr;
    const auto builder =
        strategies.count(StrategyType::Builder) > 0
            ? std::dynamic_pointer_cast<BuilderStrategy>(strategies.at(StrategyType::Builder))
            : nullptr;
    const std::shared_ptr<BlockComponent> runnerBlock = runner ? runner->getRunnerBlock() : nullptr;

    // The cells first, then the fading ones dropped over what they cover, with their life left.
    const GridManager::CellTable& cells = grid.getCells();
    std::vector<std::shared_ptr<BlockComponent>> fading;
    for (const std::shared_ptr<BlockComponent>& block : grid.getTimedBlocks())
    {
        const sf::Vector2i p = block->getGridPosition();
        if (grid.isInside(p.x, p.y) &&
            cells[static_cast<std::size_t>(p.x)][static_cast<std::size_t>(p.y)] == block)
        {
            fading.push_back(block);
        }
    }
    for (int x = 0; x < size.x && x < static_cast<int>(cells.size()); ++x)
    {
        for (int y = 0; y < size.y && y < static_cast<int>(cells[static_cast<std::size_t>(x)].size()); ++y)
        {
            const std::shared_ptr<BlockComponent>& block =
                cells[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
            if (block && block != runnerBlock &&
                std::find(fading.begin(), fading.end(), block) == fading.end())
            {
                match.field.set({x, y}, kindOf(block->getType()));
            }
        }
    }
    for (const std::shared_ptr<BlockComponent>& block : fading)
    {
        const Cell cell = cellOf(block->getGridPosition());
        match.field.set(cell,
                        block->getType() == BlockType::Finish ? coveredKind(block, grid) : CellKind::Empty);
        const int lifeMs =
            std::max(1, static_cast<int>(std::lround(block->getRemainingLifetime() * 1000.0f)));
        match.field.drop(cell, kindOf(block->getType()), lifeMs);
    }

    if (runnerBlock)
    {
        match.runner.cell = cellOf(runnerBlock->getGridPosition());
    }
    if (runner)
    {
        match.runner.jumpForce = runner->getJumpForce();
        match.runner.moves = runner->getXMovement();
        match.resetsLeft = runner->getResetsLeft();
        match.turnsLeft = runner->getTurnsLeft();
        match.reachedFinish = runner->hasReachedFinish();
        switch (runner->getLastResetCause())
        {
        case RunnerStrategy::ResetCause::Fell:
            match.lastReset = rules::ResetCause::Fell;
            break;
        case RunnerStrategy::ResetCause::WalledIn:
            match.lastReset = rules::ResetCause::WalledIn;
            break;
        default:
            match.lastReset = rules::ResetCause::Asked;
            break;
        }
    }
    const auto current = strategies.find(turn);
    if (current != strategies.end() && current->second)
    {
        match.turnMs = static_cast<int>(std::lround(current->second->getTimeInTurn() * 1000.0f));
    }
    if (builder)
    {
        match.blocksLeft = builder->getBlocksLeft();
        match.ghost.cursor = cellOf(builder->getCursor());
        if (const std::shared_ptr<GameObject>& block = builder->getCurrentBlock())
        {
            match.ghost.present = true;
            for (const std::shared_ptr<BlockComponent>& cell : block->getComponents<BlockComponent>())
            {
                match.ghost.shape.push_back(cellOf(cell->getGridPosition() - builder->getCursor()));
                match.ghost.kind = kindOf(cell->getType());
            }
        }
    }
    return match;
}

CellRange MatchReader::builderView(const sf::RenderWindow& window)
{
    GridManager& grid = GridManager::getInstance();
    const sf::Vector2i size = grid.getMapSize();
    CellRange view;
    const std::shared_ptr<GameObject> camera = GameObjectManager::getInstance().getGameObject("Camera");
    if (!camera)
    {
        view.max = {size.x - 1, size.y - 1};
        return view;
    }
    const sf::Vector2f half(static_cast<float>(window.getSize().x) / 2.0f,
                            static_cast<float>(window.getSize().y) / 2.0f);
    const sf::Vector2f centre = camera->getPosition();
    const sf::Vector2f cellSize = grid.getCellSize();
    view.min = {size.x, size.y};
    view.max = {-1, -1};
    for (int x = 0; x < size.x; ++x)
    {
        for (int y = 0; y < size.y; ++y)
        {
            if (inView({x, y}, cellSize, centre, half))
            {
                view.min = {std::min(view.min.x, x), std::min(view.min.y, y)};
                view.max = {std::max(view.max.x, x), std::max(view.max.y, y)};
            }
        }
    }
    return view;
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
