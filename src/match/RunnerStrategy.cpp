#include "match/RunnerStrategy.h"

#include "core/ControllerInput.h"
#include "core/InputManager.h"
#include "match/BlockComponent.h"
#include "match/LevelGenerator.h"
#include "match/MainState.h"
#include "match/Palette.h"
#include "objects/EventBus.h"
#include "objects/GameObject.h"
#include "objects/GameObjectCreateEvent.h"
#include "objects/GameObjectManager.h"
#include "resources/AssetManager.h"
#include "resources/TraceRecorder.h"

#include <SFML/Graphics/Color.hpp>

#include <algorithm>
#include <iostream>

namespace orv_gd
{
namespace
{
constexpr int RunnerPlayer = 0;
constexpr float StickThreshold = 30.0f;
} // namespace

RunnerStrategy::RunnerStrategy(MainState& mainState) : Strategy(mainState) {}

void RunnerStrategy::init()
{
    TRACE_SCOPE("orv_gd::RunnerStrategy::init");
    m_xMovement = MovesPerTurn;
    m_cells = m_grid.getCells();
    refreshRunner();
    m_resetsLeft = StartResets;
    m_turnsLeft = StartTurns;
    m_safeZoneSize = {3, 3};
    createSafeZone();
}

void RunnerStrategy::enter()
{
    TRACE_SCOPE("orv_gd::RunnerStrategy::enter");
    std::cout << "RunnerStrategy::enter()" << std::endl;
    m_xMovement = MovesPerTurn;
    m_timeInTurn = 0.0f;
    m_cells = m_grid.getCells();
    refreshRunner();
    if (isTrapped())
    {
        reset(ResetCause::WalledIn);
    }
}

void RunnerStrategy::exit()
{
    TRACE_SCOPE("orv_gd::RunnerStrategy::exit");
    refreshRunner();
    m_grid.runPhysics();
    m_turnsLeft -= 1;
    if (m_turnsLeft < 0)
    {
        m_mainState.endMatch(StrategyType::Builder);
    }
}

void RunnerStrategy::update(float dt)
{
    TRACE_SCOPE("orv_gd::RunnerStrategy::update");
    if (m_mainState.isMatchOver())
    {
        return;
    }
    m_timeInTurn += dt;
    m_resetTimer += dt;
    m_cells = m_grid.getCells();
    refreshRunner();

    // Once on the finish line the match is won: no more hand-over or steps, only the short wait
    // before the end screen, so the win cannot be lost to a timeout, a reset or a gravity pass.
    if (!m_reachedFinish)
    {
        if (m_timeInTurn > TurnLimit || (m_xMovement < 1 && m_jumpForce < 1))
        {
            // The turn is over: a key pressed in this frame must not move the Runner in the
            // Builder's turn, after the gravity pass.
            handOver();
            m_resetThisFrame = false;
            m_endRequested = false;
            return;
        }

        sf::Vector2i wanted = runnerCell();
        handleInput(RunnerPlayer, m_grid.getMapSize(), wanted);
        m_moveTimer += dt;

        if (!m_resetThisFrame && !m_endRequested && !m_mainState.isMatchOver() && m_runnerBlock &&
            wanted != runnerCell())
        {
            m_moveTimer = 0.0f;
            moveRunner(wanted.x, wanted.y, wanted.y < runnerCell().y);
            if (!m_reachedFinish && isTrapped())
            {
                reset(ResetCause::WalledIn);
            }
        }
        m_resetThisFrame = false;
        m_endRequested = false;
    }

    if (m_reachedFinish)
    {
        m_finishTimer += dt;
        if (m_finishTimer > m_finishDelay)
        {
            m_mainState.endMatch(StrategyType::Runner);
        }
    }
}

void RunnerStrategy::handleInput(int player, const sf::Vector2i& mapSize, sf::Vector2i& wanted)
{
    const sf::Vector2i cell = runnerCell();
    if (m_input.isKeyPressed("RunnerLeft", player) && m_xMovement >= 1)
    {
        wanted = {cell.x - 1, cell.y};
    }
    if (m_input.isKeyPressed("RunnerRight", player) && m_xMovement >= 1)
    {
        wanted = {cell.x + 1, cell.y};
    }
    if (m_input.isKeyPressed("RunnerUp", player) && m_jumpForce >= 1)
    {
        wanted = {cell.x, cell.y - 1};
    }
    if (m_input.isKeyPressed("RunnerEnd", player))
    {
        m_endRequested = true;
        std::cout << "RunnerStrategy::handleInput() - RunnerEnd" << std::endl;
        handOver();
    }
    if (!isOwnTurn())
    {
        return;
    }
    if (m_input.isKeyPressed("RunnerReset", player) && m_resetsLeft >= 0)
    {
        reset();
    }
    if (m_mainState.isMatchOver())
    {
        return;
    }
    if (m_controllers.isConnected(static_cast<unsigned>(player)))
    {
        handleControllerInput(player, mapSize, wanted);
    }
}

void RunnerStrategy::handleControllerInput(int player, const sf::Vector2i& /*mapSize*/, sf::Vector2i& wanted)
{
    if (m_moveTimer <= m_moveDelay)
    {
        return;
    }
    const unsigned slot = static_cast<unsigned>(player);
    const sf::Vector2i cell = runnerCell();
    if (m_controllers.isButtonPressed(slot, ControllerInput::ButtonA) && m_jumpForce > 0)
    {
        wanted = {cell.x, cell.y - 1};
    }
    if (m_controllers.isButtonPressed(slot, ControllerInput::ButtonB))
    {
        m_endRequested = true;
        handOver();
        if (!isOwnTurn())
        {
            return;
        }
    }
    if (m_controllers.isButtonPressed(slot, ControllerInput::ButtonY) && m_resetTimer >= m_moveDelay)
    {
        m_resetTimer = 0.0f;
        if (m_resetsLeft >= 0)
        {
            reset();
        }
        if (m_mainState.isMatchOver())
        {
            return;
        }
    }
    const float horizontal = m_controllers.getAxisPosition(slot, sf::Joystick::X);
    if (horizontal < -StickThreshold && m_xMovement > 0)
    {
        wanted = {cell.x - 1, cell.y};
        return;
    }
    if (horizontal > StickThreshold && m_xMovement > 0)
    {
        wanted = {cell.x + 1, cell.y};
    }
}

void RunnerStrategy::moveRunner(int x, int y, bool jump)
{
    if (!m_runnerBlock)
    {
        return;
    }
    std::cout << "remaining movement before: " << m_xMovement << "\n";
    std::cout << "remaining jump force before: " << m_jumpForce << "\n";

    const sf::Vector2i to{x, y};
    const std::shared_ptr<BlockComponent> targetBlock = m_grid.getBlockAt(x, y);
    const bool onFinish = targetBlock && targetBlock->getType() == BlockType::Finish;
    if (onFinish)
    {
        stepOntoFinish(to);
    }
    else if (!isFree(x, y))
    {
        bumpInTheAir(to);
        return;
    }
    else if (!step(to))
    {
        return;
    }

    if (jump)
    {
        m_jumpForce -= 1;
    }
    else
    {
        gainJumpForce();
        m_xMovement -= 1;
        if (!onFinish)
        {
            fallIfLoose(to);
        }
    }
    std::cout << "remaining movement after: " << m_xMovement << "\n";
    std::cout << "remaining jump force after: " << m_jumpForce << "\n";
    // Flushed, so that whoever watches the log sees each step as it happens.
    std::cout << "-------------------------\n" << std::flush;
}

void RunnerStrategy::stepOntoFinish(sf::Vector2i to)
{
    std::cout << "RunnerStrategy::stepOntoFinish()" << std::endl;
    const sf::Vector2i from = runnerCell();
    m_finishTimer = 0.0f;
    m_reachedFinish = true;
    // The Runner takes the finish cell over, so the players see it arrive and it stays lit
    // there until the end screen; it never moves again in this match.
    m_grid.takeOverCell(m_runnerBlock, to);
    moveSafeZoneBy(to - from);
    m_assets.GetSound("walk").play();
}

void RunnerStrategy::bumpInTheAir(sf::Vector2i to)
{
    std::cout << "can't move to " << to.x << ", " << to.y << "\n" << std::flush;
    const sf::Vector2i from = runnerCell();
    const sf::Vector2i below{from.x, from.y + 1};
    if (below.y >= m_grid.getMapSize().y)
    {
        if (m_resetsLeft >= 0)
        {
            reset(ResetCause::Fell);
        }
        return;
    }
    if (isFree(below.x, below.y))
    {
        // Bumping into something in mid-air: the Runner drops one row instead and gains one
        // jump force, past the cap that only limits the force earned by walking.
        m_xMovement = std::max(0, m_xMovement - 1);
        m_jumpForce += 1;
        moveRunnerBlock(below);
    }
}

bool RunnerStrategy::step(sf::Vector2i to)
{
    // A free cell in the bottom row is a fall out of the map.
    if (to.y + 1 >= m_grid.getMapSize().y)
    {
        reset(ResetCause::Fell);
        return false;
    }
    moveRunnerBlock(to);
    m_assets.GetSound("walk").play();
    return true;
}

void RunnerStrategy::fallIfLoose(sf::Vector2i cell)
{
    const sf::Vector2i below{cell.x, cell.y + 1};
    const bool belowInside = below.x >= 0 && below.x < static_cast<int>(m_cells.size()) && below.y >= 0 &&
                             below.y < static_cast<int>(m_cells[static_cast<std::size_t>(below.x)].size());
    if (belowInside && !m_cells[static_cast<std::size_t>(below.x)][static_cast<std::size_t>(below.y)])
    {
        moveRunnerBlock(below);
    }
}

bool RunnerStrategy::isFree(int x, int y) const
{
    if (x < 0 || y < 0 || x >= static_cast<int>(m_cells.size()) ||
        y >= static_cast<int>(m_cells[static_cast<std::size_t>(x)].size()))
    {
        return false;
    }
    const std::shared_ptr<BlockComponent>& block =
        m_cells[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
    return !block || block == m_runnerBlock;
}

bool RunnerStrategy::isTrapped() const
{
    if (!m_runnerBlock)
    {
        return false;
    }
    const sf::Vector2i cell = runnerCell();
    return !isFree(cell.x - 1, cell.y) && !isFree(cell.x + 1, cell.y) && !isFree(cell.x, cell.y - 1) &&
           !isFree(cell.x, cell.y + 1);
}

void RunnerStrategy::reset(ResetCause cause)
{
    m_resetsLeft -= 1;
    m_lastResetCause = cause;
    if (m_runnerBlock)
    {
        // The Builder may have covered the start cell; the Runner then restarts on the nearest
        // free cell above it in the first column.
        const sf::Vector2i start = LevelGenerator::startCell(m_grid.getMapSize());
        for (int row = start.y; row >= 0; --row)
        {
            const std::shared_ptr<BlockComponent> occupant = m_grid.getBlockAt(start.x, row);
            if (!occupant || occupant == m_runnerBlock)
            {
                moveRunnerBlock({start.x, row});
                break;
            }
        }
    }
    m_xMovement = 0;
    m_jumpForce = 0;
    m_resetThisFrame = true;
    if (m_resetsLeft < 0)
    {
        m_mainState.endMatch(StrategyType::Builder);
    }
}

void RunnerStrategy::createSafeZone()
{
    TRACE_SCOPE("orv_gd::RunnerStrategy::createSafeZone");
    m_safeZone = GameObject::create("runner_safezone");
    const sf::Vector2i centre = m_runnerBlock ? runnerCell() : LevelGenerator::startCell(m_grid.getMapSize());
    const int halfWidth = m_safeZoneSize.x / 2;
    const int halfHeight = m_safeZoneSize.y / 2;
    for (int dx = -halfWidth; dx <= halfWidth; ++dx)
    {
        for (int dy = -halfHeight; dy <= halfHeight; ++dy)
        {
            BlockComponent::addToGrid(*m_safeZone, m_mainState.getWindow(),
                                      sf::Vector2i(centre.x + dx, centre.y + dy), PaletteShadow, true,
                                      BlockType::SafeZone, "Background");
        }
    }
    m_safeZone->init();
    m_events.fireEvent(std::make_shared<GameObjectCreateEvent>(m_safeZone));
}

void RunnerStrategy::refreshRunner()
{
    if (!m_runner)
    {
        m_runner = m_objects.getGameObject("Runner");
    }
    m_runnerBlock = m_runner ? m_runner->getComponent<BlockComponent>() : nullptr;
}

sf::Vector2i RunnerStrategy::runnerCell() const
{
    return m_runnerBlock ? m_runnerBlock->getGridPosition() : LevelGenerator::startCell(m_grid.getMapSize());
}

void RunnerStrategy::moveRunnerBlock(sf::Vector2i to)
{
    const sf::Vector2i from = runnerCell();
    m_grid.moveBlock(m_runnerBlock, to);
    moveSafeZoneBy(runnerCell() - from);
}

void RunnerStrategy::moveSafeZoneBy(sf::Vector2i offset)
{
    if (!m_safeZone || offset == sf::Vector2i(0, 0))
    {
        return;
    }
    for (const std::shared_ptr<BlockComponent>& block : m_safeZone->getComponents<BlockComponent>())
    {
        m_grid.moveBlock(block, block->getGridPosition() + offset);
    }
}

void RunnerStrategy::handOver()
{
    if (m_mainState.getCurrentStrategy() != StrategyType::Runner || m_mainState.isMatchOver())
    {
        return;
    }
    handTurnTo(StrategyType::Builder);
}

bool RunnerStrategy::isOwnTurn() const
{
    return m_mainState.getCurrentStrategy() == StrategyType::Runner && !m_mainState.isMatchOver();
}

void RunnerStrategy::gainJumpForce()
{
    if (m_jumpForce < MaxJumpForce)
    {
        m_jumpForce += 1;
    }
}
} // namespace orv_gd
