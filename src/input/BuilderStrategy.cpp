#include "input/BuilderStrategy.h"

#include "core/ControllerInput.h"
#include "core/InputManager.h"
#include "input/MatchHost.h"
#include "objects/EventBus.h"
#include "objects/GameObject.h"
#include "objects/GameObjectCreateEvent.h"
#include "objects/GameObjectManager.h"
#include "objects/RenderableDestroyEvent.h"
#include "objects/VisibleArea.h"
#include "resources/AssetManager.h"
#include "resources/TraceRecorder.h"
#include "rules/Action.h"
#include "rules/Event.h"
#include "rules/Rules.h"
#include "view/BlockComponent.h"
#include "view/GridManager.h"
#include "view/Palette.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <iostream>
#include <string>

namespace orv_gd
{
namespace
{
constexpr int BuilderPlayer = 1;
constexpr float StickThreshold = 30.0f;
/// A held key or stick moves the cursor one cell per 0.2 s.
constexpr float MoveDelay = 0.2f;

sf::Vector2i toVector(rules::Cell cell)
{
    return {cell.x, cell.y};
}

rules::Cell toCell(sf::Vector2i vector)
{
    return {vector.x, vector.y};
}

BlockType blockTypeOf(rules::CellKind kind)
{
    switch (kind)
    {
    case rules::CellKind::Static:
        return BlockType::Static;
    case rules::CellKind::Finish:
        return BlockType::Finish;
    default:
        return BlockType::Dynamic;
    }
}

rules::CellKind cellKindOf(BlockType type)
{
    switch (type)
    {
    case BlockType::Static:
        return rules::CellKind::Static;
    case BlockType::Finish:
        return rules::CellKind::Finish;
    default:
        return rules::CellKind::Dynamic;
    }
}
} // namespace

BuilderStrategy::BuilderStrategy(MatchHost& match) : Strategy(match) {}

void BuilderStrategy::enter()
{
    TRACE_SCOPE("orv_gd::BuilderStrategy::enter");
    std::cout << "BuilderStrategy::enter()" << std::endl;
    // The controller is not read during the Runner's turn: take the button as it is now, so a
    // button let go meanwhile drops at the first press, and one still held does not drop at once.
    m_controllerButtonHeld =
        m_controllers.isButtonPressed(static_cast<unsigned>(BuilderPlayer), ControllerInput::ButtonA);
}

void BuilderStrategy::exit()
{
    TRACE_SCOPE("orv_gd::BuilderStrategy::exit");
    const std::vector<std::shared_ptr<BlockComponent>> cells = currentCells();
    if (m_currentBlock && (cells.empty() || cells.front()->isGhost()))
    {
        // The ghost left when time ran out neither updates nor draws any more.
        m_currentBlock->setActive(false);
    }
    const sf::Vector2i cursor = getCursor();
    m_grid.unhighlightCell(cursor.x, cursor.y);
    m_currentBlock.reset();
}

void BuilderStrategy::update(float dt)
{
    TRACE_SCOPE("orv_gd::BuilderStrategy::update");
    if (!m_match.getMatch().builderActs())
    {
        return;
    }
    readInput();
    m_moveTimer += dt;
}

void BuilderStrategy::readInput()
{
    if (m_input.isKeyPressed("BuilderPlace", BuilderPlayer) &&
        !act(rules::Action::drop(toCell(getCursor()))) && !m_match.getMatch().builderActs())
    {
        return; // the second drop ended the turn
    }
    if (m_input.isKeyPressed("BuilderRotateLeft", BuilderPlayer))
    {
        act(rules::Action::rotate(3));
    }
    else if (m_input.isKeyPressed("BuilderRotateRight", BuilderPlayer))
    {
        act(rules::Action::rotate(1));
    }
    sf::Vector2i step{0, 0};
    if (MoveDelay <= m_moveTimer)
    {
        if (m_input.isKeyDown("BuilderUp", BuilderPlayer) && cursorMayGo({0, -1}))
        {
            step.y -= 1;
        }
        if (m_input.isKeyDown("BuilderDown", BuilderPlayer) && cursorMayGo({0, 1}))
        {
            step.y += 1;
        }
        if (m_input.isKeyDown("BuilderLeft", BuilderPlayer) && cursorMayGo({-1, 0}))
        {
            step.x -= 1;
        }
        if (m_input.isKeyDown("BuilderRight", BuilderPlayer) && cursorMayGo({1, 0}))
        {
            step.x += 1;
        }
    }
    if (m_controllers.isConnected(static_cast<unsigned>(BuilderPlayer)))
    {
        readController(step);
    }
    if (step != sf::Vector2i(0, 0) && m_match.getMatch().builderActs())
    {
        m_moveTimer = 0.0f;
        stepCursor(step);
    }
}

void BuilderStrategy::readController(sf::Vector2i& step)
{
    const unsigned slot = static_cast<unsigned>(BuilderPlayer);
    const bool buttonDown = m_controllers.isButtonPressed(slot, ControllerInput::ButtonA);
    const bool pressedNow = buttonDown && !m_controllerButtonHeld;
    m_controllerButtonHeld = buttonDown;
    if (pressedNow && !act(rules::Action::drop(toCell(getCursor()))) && !m_match.getMatch().builderActs())
    {
        return;
    }
    if (MoveDelay > m_moveTimer || !m_match.getMatch().builderActs())
    {
        return;
    }
    const float vertical = m_controllers.getAxisPosition(slot, sf::Joystick::Y);
    if (vertical < -StickThreshold && cursorMayGo({0, -1}))
    {
        step.y = -1;
    }
    else if (vertical > StickThreshold && cursorMayGo({0, 1}))
    {
        step.y = 1;
    }
    const float horizontal = m_controllers.getAxisPosition(slot, sf::Joystick::X);
    if (horizontal < -StickThreshold && cursorMayGo({-1, 0}))
    {
        step.x = -1;
    }
    else if (horizontal > StickThreshold && cursorMayGo({1, 0}))
    {
        step.x = 1;
    }
    if (m_controllers.isButtonPressed(slot, ControllerInput::ButtonLB))
    {
        m_moveTimer = 0.0f;
        act(rules::Action::rotate(3));
    }
    else if (m_controllers.isButtonPressed(slot, ControllerInput::ButtonRB))
    {
        m_moveTimer = 0.0f;
        act(rules::Action::rotate(1));
    }
}

bool BuilderStrategy::cursorMayGo(sf::Vector2i by) const
{
    // Held keys combine into one diagonal step: each is kept only where the field has room, so
    // a key pressing against the edge does not hold back the other.
    const rules::Match& match = m_match.getMatch();
    return match.field.isInside(match.ghost.cursor + toCell(by));
}

bool BuilderStrategy::act(const rules::Action& action)
{
    return m_match.act(action) && m_match.getMatch().builderActs();
}

void BuilderStrategy::stepCursor(sf::Vector2i step)
{
    // What the Builder may reach is a matter of the screen: a step may not push a cell of the block
    // out of sight; cells already out of it may come along, so the block can be steered back in.
    const sf::Vector2i cursor = getCursor();
    for (const rules::Cell& offset : m_match.getMatch().ghost.shape)
    {
        const sf::Vector2i now = cursor + toVector(offset);
        if (!insideView(now + step) && insideView(now))
        {
            showGhost();
            return;
        }
    }
    if (!m_match.act(rules::Action::moveCursor(toCell(step))))
    {
        showGhost();
    }
}

void BuilderStrategy::show(const rules::Event& event)
{
    using Kind = rules::Event::Kind;
    switch (event.kind)
    {
    case Kind::BlockDealt:
        showDealt();
        break;
    case Kind::CursorMoved:
        m_grid.unhighlightCell(event.from.x, event.from.y);
        m_grid.highlightCell(event.to.x, event.to.y);
        showGhost();
        break;
    case Kind::Rotated:
        removeGhostCells();
        showDealt();
        break;
    case Kind::Refused:
        if (event.why == rules::Refusal::OnSafeZone)
        {
            m_assets.GetSound("misplace").play();
        }
        break;
    case Kind::CellPlaced:
        showPlaced(event);
        break;
    case Kind::CellSkipped:
        showSkipped(toVector(event.to));
        break;
    case Kind::Dropped:
    {
        const sf::Vector2i cursor = getCursor();
        m_grid.unhighlightCell(cursor.x, cursor.y);
        m_currentBlock.reset();
        break;
    }
    case Kind::CellFell:
        m_grid.moveBlock(m_grid.getBlockAt(event.from.x, event.from.y), toVector(event.to));
        break;
    case Kind::CellExpired:
        showExpired(toVector(event.to));
        break;
    default:
        break;
    }
}

void BuilderStrategy::showDealt()
{
    const rules::Ghost& ghost = m_match.getMatch().ghost;
    if (!m_currentBlock)
    {
        m_currentBlock = GameObject::create("obstacleBlock_" + std::to_string(m_blockCounter));
        m_blockCounter += 1;
        m_events.fireEvent(std::make_shared<GameObjectCreateEvent>(m_currentBlock));
    }
    const BlockType type = blockTypeOf(ghost.kind);
    for (const rules::Cell& offset : ghost.shape)
    {
        BlockComponent::addToGrid(*m_currentBlock, m_match.getWindow(), toVector(ghost.cursor + offset),
                                  BlockComponent::colorForType(type), true, type, "Map");
    }
    m_currentBlock->init();
    m_grid.highlightCell(ghost.cursor.x, ghost.cursor.y);
    showGhost();
}

void BuilderStrategy::showGhost()
{
    const rules::Match& match = m_match.getMatch();
    const std::vector<std::shared_ptr<BlockComponent>> cells = currentCells();
    for (std::size_t i = 0; i < cells.size() && i < match.ghost.shape.size(); ++i)
    {
        const std::shared_ptr<BlockComponent>& cell = cells[i];
        const rules::Cell position = match.ghost.cursor + match.ghost.shape[i];
        if (cell->getGridPosition() != toVector(position))
        {
            cell->setGridPosition(toVector(position));
            cell->init();
        }
        // Red where the rules would refuse this cell alone.
        const bool refused = rules::Rules::dropProblem(match, {match.ghost.shape[i]}, match.ghost.cursor) !=
                             rules::Refusal::None;
        cell->setColor(refused ? PaletteRed : BlockComponent::colorForType(cell->getType()));
    }
    const bool misplaced = getGhostProblem() == GhostProblem::OnSafeZone;
    m_assets.GetSound(misplaced ? "misplace" : "move").play();
}

void BuilderStrategy::showPlaced(const rules::Event& event)
{
    const sf::Vector2i at = toVector(event.to);
    for (const std::shared_ptr<BlockComponent>& cell : currentCells())
    {
        if (!cell->isGhost() || cell->getGridPosition() != at)
        {
            continue;
        }
        // A fading Builder cell that the new one replaces goes for good.
        const std::shared_ptr<BlockComponent> replaced = m_grid.getBlockAt(at.x, at.y);
        const auto& timed = m_grid.getTimedBlocks();
        if (replaced && std::find(timed.begin(), timed.end(), replaced) != timed.end())
        {
            showExpired(at);
        }
        cell->setGhost(false);
        cell->setPlaced(true);
        // What the rules keep beneath the new cell (white or green under green) shows again later.
        m_grid.placeBlock(cell, m_match.getMatch().field.coveredAt(event.to) != rules::CellKind::Empty);
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
        return;
    }
}

void BuilderStrategy::showSkipped(sf::Vector2i at)
{
    for (const std::shared_ptr<BlockComponent>& cell : currentCells())
    {
        if (cell->isGhost() && cell->getGridPosition() == at)
        {
            m_events.fireEvent(std::make_shared<RenderableDestroyEvent>("Map", *cell));
            m_currentBlock->removeComponent(cell);
            return;
        }
    }
}

void BuilderStrategy::showExpired(sf::Vector2i at)
{
    const std::shared_ptr<BlockComponent> block = m_grid.getBlockAt(at.x, at.y);
    if (!block)
    {
        return;
    }
    m_grid.removeBlock(block);
    m_grid.removeTimedBlock(block);
    m_events.fireEvent(std::make_shared<RenderableDestroyEvent>("Map", *block));
}

void BuilderStrategy::removeGhostCells()
{
    for (const std::shared_ptr<BlockComponent>& cell : currentCells())
    {
        m_events.fireEvent(std::make_shared<RenderableDestroyEvent>("Map", *cell));
        m_currentBlock->removeComponent(cell);
    }
}

sf::Vector2i BuilderStrategy::getCursor() const
{
    return toVector(m_match.getMatch().ghost.cursor);
}

int BuilderStrategy::getBlocksLeft() const
{
    return m_match.getMatch().blocksLeft;
}

BuilderStrategy::GhostProblem BuilderStrategy::getGhostProblem() const
{
    const rules::Match& match = m_match.getMatch();
    if (!match.ghost.present)
    {
        return GhostProblem::None;
    }
    switch (rules::Rules::dropProblem(match, match.ghost.shape, match.ghost.cursor))
    {
    case rules::Refusal::OnSafeZone:
        return GhostProblem::OnSafeZone;
    case rules::Refusal::InFinishColumns:
        return GhostProblem::InFinishColumns;
    default:
        return GhostProblem::None;
    }
}

void BuilderStrategy::setCursor(sf::Vector2i cursor)
{
    const sf::Vector2i old = getCursor();
    m_grid.unhighlightCell(old.x, old.y);
    m_match.editMatch().ghost.cursor = toCell(cursor);
}

void BuilderStrategy::replaceBlock(const Shape& shape, BlockType type)
{
    rules::Ghost& ghost = m_match.editMatch().ghost;
    ghost.shape.clear();
    for (const sf::Vector2i& offset : shape)
    {
        ghost.shape.push_back(toCell(offset));
    }
    ghost.kind = cellKindOf(type);
    ghost.present = true;
    removeGhostCells();
    showDealt();
}

std::vector<std::shared_ptr<BlockComponent>> BuilderStrategy::currentCells() const
{
    if (!m_currentBlock)
    {
        return {};
    }
    return m_currentBlock->getComponents<BlockComponent>();
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
    return VisibleArea::around(camera->getPosition(), m_match.getWindow().getSize()).contains(position);
}
} // namespace orv_gd
