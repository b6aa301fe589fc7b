#include "match/BuilderStrategy.h"

#include "core/ControllerInput.h"
#include "core/InputManager.h"
#include "match/BlockComponent.h"
#include "match/GridManager.h"
#include "match/LevelGenerator.h"
#include "match/MainState.h"
#include "match/ObstacleShapes.h"
#include "match/Palette.h"
#include "objects/EventBus.h"
#include "objects/GameObject.h"
#include "objects/GameObjectCreateEvent.h"
#include "objects/GameObjectManager.h"
#include "objects/RenderableDestroyEvent.h"
#include "objects/VisibleArea.h"
#include "resources/AssetManager.h"
#include "resources/TraceRecorder.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>

namespace orv_gd
{
namespace
{
constexpr int BuilderPlayer = 1;
constexpr float StickThreshold = 30.0f;
} // namespace

BuilderStrategy::BuilderStrategy(MainState& mainState) : Strategy(mainState) {}

void BuilderStrategy::init()
{
    TRACE_SCOPE("orv_gd::BuilderStrategy::init");
    m_shapes = ObstacleShapes::catalogue();
}

void BuilderStrategy::enter()
{
    TRACE_SCOPE("orv_gd::BuilderStrategy::enter");
    m_timeInTurn = 0.0f;
    m_blocksLeft = BlocksPerTurn;
    m_turnOver = false;
    std::cout << "BuilderStrategy::enter()" << std::endl;

    const sf::Vector2i mapSize = m_grid.getMapSize();
    sf::Vector2i runnerCell = LevelGenerator::startCell(mapSize);
    if (const std::shared_ptr<GameObject> runner = m_objects.getGameObject("Runner"))
    {
        if (const std::shared_ptr<BlockComponent> block = runner->getComponent<BlockComponent>())
        {
            runnerCell = block->getGridPosition();
        }
    }
    // In front of the Runner, unless the Runner is close to the finish: then behind it.
    m_cursor = runnerCell.x > mapSize.x - 10 ? sf::Vector2i(runnerCell.x - 3, runnerCell.y)
                                             : sf::Vector2i(runnerCell.x + 4, runnerCell.y);
    createBlock();
    moveBlock({0, 0});
    // The controller is not read during the Runner's turn: take the button as it is now, so a
    // button let go meanwhile drops at the first press, and one still held does not drop at once.
    m_controllerButtonHeld =
        m_controllers.isButtonPressed(static_cast<unsigned>(BuilderPlayer), ControllerInput::ButtonA);
}

void BuilderStrategy::exit()
{
    TRACE_SCOPE("orv_gd::BuilderStrategy::exit");
    if (m_currentBlock)
    {
        const std::vector<std::shared_ptr<BlockComponent>> cells = currentCells();
        if (cells.empty() || cells.front()->isGhost())
        {
            // The ghost left when time ran out neither updates nor draws any more.
            m_currentBlock->setActive(false);
        }
    }
    m_grid.unhighlightCell(m_cursor.x, m_cursor.y);
    m_currentBlock.reset();
    m_turnOver = true;
}

void BuilderStrategy::update(float dt)
{
    TRACE_SCOPE("orv_gd::BuilderStrategy::update");
    if (m_turnOver || m_mainState.isMatchOver())
    {
        return;
    }
    m_timeInTurn += dt;
    const sf::Vector2i oldCursor = m_cursor;
    handleInput(BuilderPlayer, m_grid.getMapSize());
    m_moveTimer += dt;
    if (m_turnOver)
    {
        return;
    }

    if (m_cursor != oldCursor)
    {
        m_moveTimer = 0.0f;
        m_grid.unhighlightCell(oldCursor.x, oldCursor.y);
        m_cursor = validateMove(oldCursor, m_cursor);
        m_grid.highlightCell(m_cursor.x, m_cursor.y);
        moveBlockTo(oldCursor, m_cursor);
    }

    if (m_timeInTurn > TurnLimit)
    {
        m_grid.unhighlightCell(m_cursor.x, m_cursor.y);
        handOver();
    }
}

void BuilderStrategy::handleInput(int player, const sf::Vector2i& mapSize)
{
    if (m_input.isKeyPressed("BuilderPlace", player) && placeBlock())
    {
        placementStep();
        if (m_turnOver)
        {
            return;
        }
    }
    if (m_input.isKeyPressed("BuilderRotateLeft", player))
    {
        rotateBlock(3);
    }
    else if (m_input.isKeyPressed("BuilderRotateRight", player))
    {
        rotateBlock(1);
    }
    if (m_moveDelay <= m_moveTimer)
    {
        if (m_input.isKeyDown("BuilderUp", player) && m_cursor.y >= 1)
        {
            m_cursor.y -= 1;
        }
        if (m_input.isKeyDown("BuilderDown", player) && m_cursor.y < mapSize.y - 1)
        {
            m_cursor.y += 1;
        }
        if (m_input.isKeyDown("BuilderLeft", player) && m_cursor.x >= 1)
        {
            m_cursor.x -= 1;
        }
        if (m_input.isKeyDown("BuilderRight", player) && m_cursor.x < mapSize.x - 1)
        {
            m_cursor.x += 1;
        }
    }
    if (m_controllers.isConnected(static_cast<unsigned>(player)))
    {
        handleControllerInput(player, mapSize);
    }
}

void BuilderStrategy::handleControllerInput(int player, const sf::Vector2i& mapSize)
{
    const unsigned slot = static_cast<unsigned>(player);
    const bool buttonDown = m_controllers.isButtonPressed(slot, ControllerInput::ButtonA);
    const bool pressedNow = buttonDown && !m_controllerButtonHeld;
    m_controllerButtonHeld = buttonDown;
    if (pressedNow && placeBlock())
    {
        placementStep();
        if (m_turnOver)
        {
            return;
        }
    }
    if (m_moveDelay > m_moveTimer)
    {
        return;
    }
    const float vertical = m_controllers.getAxisPosition(slot, sf::Joystick::Y);
    if (vertical < -StickThreshold && m_cursor.y >= 1)
    {
        m_cursor.y -= 1;
    }
    else if (vertical > StickThreshold && m_cursor.y < mapSize.y - 1)
    {
        m_cursor.y += 1;
    }
    const float horizontal = m_controllers.getAxisPosition(slot, sf::Joystick::X);
    if (horizontal < -StickThreshold && m_cursor.x >= 1)
    {
        m_cursor.x -= 1;
    }
    else if (horizontal > StickThreshold && m_cursor.x < mapSize.x - 1)
    {
        m_cursor.x += 1;
    }
    if (m_controllers.isButtonPressed(slot, ControllerInput::ButtonLB))
    {
        m_moveTimer = 0.0f;
        rotateBlock(3);
    }
    else if (m_controllers.isButtonPressed(slot, ControllerInput::ButtonRB))
    {
        m_moveTimer = 0.0f;
        rotateBlock(1);
    }
}

void BuilderStrategy::placementStep()
{
    m_blocksLeft -= 1;
    m_grid.unhighlightCell(m_cursor.x, m_cursor.y);
    if (m_blocksLeft < 1)
    {
        handOver();
        return;
    }
    createBlock();
    moveBlock({0, 0});
}

void BuilderStrategy::handOver()
{
    if (m_turnOver || m_mainState.getCurrentStrategy() != StrategyType::Builder)
    {
        return;
    }
    m_turnOver = true;
    handTurnTo(StrategyType::Runner);
}

void BuilderStrategy::createBlock()
{
    const Shape shape = getRandomShape();
    m_currentBlock = GameObject::create("obstacleBlock_" + std::to_string(m_blockCounter));
    m_blockCounter += 1;

    BlockType type = BlockType::Dynamic;
    if (shape.size() == 1 && std::rand() % 2 == 0)
    {
        type = BlockType::Finish;
    }
    else if (std::rand() % 8 == 0)
    {
        type = BlockType::Static;
    }
    addBlockCells(shape, type);
    m_events.fireEvent(std::make_shared<GameObjectCreateEvent>(m_currentBlock));
    m_grid.highlightCell(m_cursor.x, m_cursor.y);
}

BuilderStrategy::Shape BuilderStrategy::getRandomShape() const
{
    if (m_shapes.empty())
    {
        return {{0, 0}};
    }
    const Shape& shape = m_shapes[static_cast<std::size_t>(std::rand()) % m_shapes.size()];
    return rotateShape(shape, std::rand() % 4);
}

void BuilderStrategy::addBlockCells(const Shape& shape, BlockType type)
{
    if (!m_currentBlock)
    {
        return;
    }
    for (const sf::Vector2i& offset : shape)
    {
        BlockComponent::addToGrid(*m_currentBlock, m_mainState.getWindow(), m_cursor + offset,
                                  BlockComponent::colorForType(type), true, type, "Map");
    }
    m_currentBlock->init();
}

void BuilderStrategy::moveBlock(sf::Vector2i offset)
{
    if (!m_currentBlock)
    {
        return;
    }
    const sf::Vector2i mapSize = m_grid.getMapSize();
    bool misplaced = false;
    for (const std::shared_ptr<BlockComponent>& cell : currentCells())
    {
        const sf::Vector2i from = cell->getGridPosition();
        const sf::Vector2i to = from + offset;
        if (m_grid.isInside(from.x, from.y) && m_grid.isInside(to.x, to.y))
        {
            m_grid.moveBlock(cell, to);
        }
        else if (offset != sf::Vector2i(0, 0))
        {
            // A ghost that a rotation left partly outside the map: the grid does not move cells
            // outside it, but ghosts are not in its table, so the cell is moved directly to keep
            // the block in one piece.
            cell->setGridPosition(to);
            cell->init();
        }

        const sf::Vector2i position = cell->getGridPosition();
        if (onSafeZone(position))
        {
            cell->setColor(PaletteRed);
            misplaced = true;
        }
        else if (position.x < mapSize.x - LevelGenerator::FinishColumns)
        {
            cell->setColor(BlockComponent::colorForType(cell->getType()));
        }
        else
        {
            cell->setColor(PaletteRed);
        }
    }
    m_assets.GetSound(misplaced ? "misplace" : "move").play();
}

void BuilderStrategy::moveBlockTo(sf::Vector2i from, sf::Vector2i to)
{
    moveBlock(to - from);
}

sf::Vector2i BuilderStrategy::validateMove(sf::Vector2i from, sf::Vector2i to) const
{
    const sf::Vector2i offset = to - from;
    for (const std::shared_ptr<BlockComponent>& cell : currentCells())
    {
        const sf::Vector2i now = cell->getGridPosition();
        const sf::Vector2i target = now + offset;
        // A step may not push a cell out of the map or out of sight. Cells that a rotation
        // left outside may come along, so that such a block can always be steered back in.
        if (!m_grid.isInside(target.x, target.y) && m_grid.isInside(now.x, now.y))
        {
            return from;
        }
        if (!insideView(target) && insideView(now))
        {
            return from;
        }
    }
    return to;
}

void BuilderStrategy::rotateBlock(int quarterTurns)
{
    const std::vector<std::shared_ptr<BlockComponent>> cells = currentCells();
    if (cells.empty())
    {
        return;
    }
    const BlockType type = cells.front()->getType();
    Shape offsets;
    for (const std::shared_ptr<BlockComponent>& cell : cells)
    {
        offsets.push_back(cell->getGridPosition() - m_cursor);
    }
    replaceBlock(rotateShape(offsets, quarterTurns), type);
}

void BuilderStrategy::replaceBlock(const Shape& shape, BlockType type)
{
    if (!m_currentBlock)
    {
        return;
    }
    for (const std::shared_ptr<BlockComponent>& cell : currentCells())
    {
        m_events.fireEvent(std::make_shared<RenderableDestroyEvent>("Map", *cell));
        m_currentBlock->removeComponent(cell);
    }
    addBlockCells(shape, type);
    m_grid.highlightCell(m_cursor.x, m_cursor.y);
    moveBlock({0, 0});
}

BuilderStrategy::Shape BuilderStrategy::rotateShape(const Shape& shape, int quarterTurns)
{
    return ObstacleShapes::rotateShape(shape, quarterTurns);
}

bool BuilderStrategy::placeBlock()
{
    const std::vector<std::shared_ptr<BlockComponent>> cells = currentCells();
    if (!m_currentBlock)
    {
        return false;
    }
    const int lastColumn = m_grid.getMapSize().x - LevelGenerator::FinishColumns;
    for (const std::shared_ptr<BlockComponent>& cell : cells)
    {
        const sf::Vector2i position = cell->getGridPosition();
        if (onSafeZone(position))
        {
            m_assets.GetSound("misplace").play();
            return false;
        }
        if (position.x >= lastColumn)
        {
            return false;
        }
    }
    for (const std::shared_ptr<BlockComponent>& cell : cells)
    {
        cell->setGhost(false);
        cell->setPlaced(true);
        if (!m_grid.placeBlock(cell))
        {
            m_events.fireEvent(std::make_shared<RenderableDestroyEvent>("Map", *cell));
            m_currentBlock->removeComponent(cell);
            continue;
        }
        m_assets.GetSound("place").play();
        cell->resetLifetime();
        if (cell->getType() != BlockType::Static)
        {
            m_grid.addTimedBlock(cell);
            if (std::find(m_placedBlocks.begin(), m_placedBlocks.end(), cell) == m_placedBlocks.end())
            {
                m_placedBlocks.push_back(cell);
            }
        }
    }
    return true;
}

BuilderStrategy::GhostProblem BuilderStrategy::getGhostProblem() const
{
    GhostProblem problem = GhostProblem::None;
    const int lastColumn = m_grid.getMapSize().x - LevelGenerator::FinishColumns;
    for (const std::shared_ptr<BlockComponent>& cell : currentCells())
    {
        const sf::Vector2i position = cell->getGridPosition();
        if (onSafeZone(position))
        {
            return GhostProblem::OnSafeZone;
        }
        if (position.x >= lastColumn)
        {
            problem = GhostProblem::InFinishColumns;
        }
    }
    return problem;
}

std::vector<std::shared_ptr<BlockComponent>> BuilderStrategy::currentCells() const
{
    if (!m_currentBlock)
    {
        return {};
    }
    return m_currentBlock->getComponents<BlockComponent>();
}

bool BuilderStrategy::onSafeZone(sf::Vector2i cell) const
{
    const std::shared_ptr<GameObject> safeZone = m_objects.getGameObject("runner_safezone");
    if (!safeZone)
    {
        return false;
    }
    for (const std::shared_ptr<BlockComponent>& zoneCell : safeZone->getComponents<BlockComponent>())
    {
        if (zoneCell->getGridPosition() == cell)
        {
            return true;
        }
    }
    return false;
}

bool BuilderStrategy::insideView(sf::Vector2i cell) const
{
    const std::shared_ptr<GameObject> camera = m_objects.getGameObject("Camera");
    if (!camera)
    {
        return true;
    }
    const sf::Vector2f cellSize = m_grid.getCellSize();
    const sf::Vector2f position(static_cast<float>(cell.x) * cellSize.x,
                                static_cast<float>(cell.y) * cellSize.y);
    return VisibleArea::around(camera->getPosition(), m_mainState.getWindow().getSize()).contains(position);
}
} // namespace orv_gd
