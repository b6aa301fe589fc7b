#include "input/RunnerStrategy.h"

#include "core/ControllerInput.h"
#include "core/InputManager.h"
#include "input/MatchHost.h"
#include "objects/EventBus.h"
#include "objects/GameObject.h"
#include "objects/GameObjectCreateEvent.h"
#include "objects/GameObjectManager.h"
#include "resources/AssetManager.h"
#include "resources/TraceRecorder.h"
#include "rules/Action.h"
#include "rules/Event.h"
#include "rules/RunnerMoves.h"
#include "view/BlockComponent.h"
#include "view/GridManager.h"
#include "view/Palette.h"

#include <iostream>

namespace orv_gd
{
namespace
{
constexpr int RunnerPlayer = 0;
constexpr float StickThreshold = 30.0f;
/// The controller acts at most every 0.4 s.
constexpr float MoveDelay = 0.4f;
constexpr int SafeZoneSide = 2 * rules::Match::SafeZoneReach + 1;

sf::Vector2i toVector(rules::Cell cell)
{
    return {cell.x, cell.y};
}
} // namespace

RunnerStrategy::RunnerStrategy(MatchHost& match) : Strategy(match) {}

void RunnerStrategy::init()
{
    TRACE_SCOPE("orv_gd::RunnerStrategy::init");
    refreshRunner();
    createSafeZone();
}

void RunnerStrategy::enter()
{
    TRACE_SCOPE("orv_gd::RunnerStrategy::enter");
    std::cout << "RunnerStrategy::enter()" << std::endl;
    refreshRunner();
}

void RunnerStrategy::update(float dt)
{
    TRACE_SCOPE("orv_gd::RunnerStrategy::update");
    if (!m_match.getMatch().runnerActs())
    {
        return;
    }
    m_resetTimer += dt;
    refreshRunner();
    const std::optional<rules::Action> action = readInput();
    m_moveTimer += dt;
    if (!action)
    {
        return;
    }
    if (action->kind == rules::Action::Kind::StepLeft || action->kind == rules::Action::Kind::StepRight ||
        action->kind == rules::Action::Kind::Jump)
    {
        m_moveTimer = 0.0f;
    }
    m_match.act(*action);
}

std::optional<rules::Action> RunnerStrategy::readInput()
{
    std::optional<rules::Action> step;
    if (m_input.isKeyPressed("RunnerLeft", RunnerPlayer) && mayMove(rules::RunnerMoves::Move::Left))
    {
        step = rules::Action::stepLeft();
    }
    if (m_input.isKeyPressed("RunnerRight", RunnerPlayer) && mayMove(rules::RunnerMoves::Move::Right))
    {
        step = rules::Action::stepRight();
    }
    if (m_input.isKeyPressed("RunnerUp", RunnerPlayer) && mayMove(rules::RunnerMoves::Move::Up))
    {
        step = rules::Action::jump();
    }
    bool end = m_input.isKeyPressed("RunnerEnd", RunnerPlayer);
    if (end)
    {
        std::cout << "RunnerStrategy::handleInput() - RunnerEnd" << std::endl;
    }
    bool reset = !end && m_input.isKeyPressed("RunnerReset", RunnerPlayer);
    if (!end && !reset && m_controllers.isConnected(static_cast<unsigned>(RunnerPlayer)))
    {
        readController(step, end, reset);
    }
    if (end)
    {
        return rules::Action::endTurn();
    }
    if (reset)
    {
        return rules::Action::reset();
    }
    return step;
}

void RunnerStrategy::readController(std::optional<rules::Action>& step, bool& end, bool& reset)
{
    if (m_moveTimer <= MoveDelay)
    {
        return;
    }
    const unsigned slot = static_cast<unsigned>(RunnerPlayer);
    if (m_controllers.isButtonPressed(slot, ControllerInput::ButtonA) &&
        mayMove(rules::RunnerMoves::Move::Up))
    {
        step = rules::Action::jump();
    }
    if (m_controllers.isButtonPressed(slot, ControllerInput::ButtonB))
    {
        end = true;
        return;
    }
    if (m_controllers.isButtonPressed(slot, ControllerInput::ButtonY) && m_resetTimer >= MoveDelay)
    {
        m_resetTimer = 0.0f;
        reset = true;
        return;
    }
    const float horizontal = m_controllers.getAxisPosition(slot, sf::Joystick::X);
    if (horizontal < -StickThreshold && mayMove(rules::RunnerMoves::Move::Left))
    {
        step = rules::Action::stepLeft();
    }
    else if (horizontal > StickThreshold && mayMove(rules::RunnerMoves::Move::Right))
    {
        step = rules::Action::stepRight();
    }
}

bool RunnerStrategy::mayMove(rules::RunnerMoves::Move move) const
{
    // Keys pressed together resolve to one action: one the rules would refuse yields to the next.
    const rules::Match& match = m_match.getMatch();
    return rules::RunnerMoves::move(match.field, match.runner, move).outcome !=
           rules::RunnerMoves::Outcome::Refused;
}

void RunnerStrategy::show(const rules::Event& event)
{
    using Kind = rules::Event::Kind;
    switch (event.kind)
    {
    case Kind::StepBegan:
        std::cout << "remaining movement before: " << event.moves << "\n";
        std::cout << "remaining jump force before: " << event.force << "\n";
        break;
    case Kind::CantMove:
        std::cout << "can't move to " << event.to.x << ", " << event.to.y << "\n" << std::flush;
        break;
    case Kind::RunnerMoved:
        showMove(event);
        break;
    case Kind::StepEnded:
        std::cout << "remaining movement after: " << event.moves << "\n";
        std::cout << "remaining jump force after: " << event.force << "\n";
        // Flushed, so that whoever watches the log sees each step as it happens.
        std::cout << "-------------------------\n" << std::flush;
        break;
    case Kind::GravityStarted:
        std::cout << "\n\nstarting physic updates" << std::endl;
        m_assets.GetSound("warp").play();
        break;
    default:
        break;
    }
}

void RunnerStrategy::showMove(const rules::Event& event)
{
    refreshRunner();
    if (!m_runnerBlock)
    {
        return;
    }
    const sf::Vector2i from = runnerCell();
    if (event.motion == rules::Motion::Finish)
    {
        std::cout << "RunnerStrategy::stepOntoFinish()" << std::endl;
        // The Runner takes the finish cell over, so the players see it arrive and it stays lit
        // there until the end screen.
        m_grid.takeOverCell(m_runnerBlock, toVector(event.to));
    }
    else
    {
        m_grid.moveBlock(m_runnerBlock, toVector(event.to));
    }
    moveSafeZoneBy(runnerCell() - from);
    if (event.motion == rules::Motion::Step || event.motion == rules::Motion::Finish)
    {
        m_assets.GetSound("walk").play();
    }
}

void RunnerStrategy::moveRunner(int x, int y, bool jump)
{
    const sf::Vector2i cell = runnerCell();
    if (jump || y < cell.y)
    {
        m_match.act(rules::Action::jump());
    }
    else if (x != cell.x)
    {
        m_match.act(x < cell.x ? rules::Action::stepLeft() : rules::Action::stepRight());
    }
}

void RunnerStrategy::reset()
{
    m_match.act(rules::Action::reset());
}

void RunnerStrategy::createSafeZone()
{
    TRACE_SCOPE("orv_gd::RunnerStrategy::createSafeZone");
    m_safeZone = GameObject::create("runner_safezone");
    const sf::Vector2i centre = toVector(m_match.getMatch().runner.cell);
    const int reach = SafeZoneSide / 2;
    for (int dx = -reach; dx <= reach; ++dx)
    {
        for (int dy = -reach; dy <= reach; ++dy)
        {
            BlockComponent::addToGrid(*m_safeZone, m_match.getWindow(),
                                      sf::Vector2i(centre.x + dx, centre.y + dy), PaletteShadow, true,
                                      BlockType::SafeZone, "Background");
        }
    }
    m_safeZone->init();
    m_events.fireEvent(std::make_shared<GameObjectCreateEvent>(m_safeZone));
}

int RunnerStrategy::getXMovement() const
{
    return m_match.getMatch().runner.moves;
}

int RunnerStrategy::getJumpForce() const
{
    return m_match.getMatch().runner.jumpForce;
}

int RunnerStrategy::getResetsLeft() const
{
    return m_match.getMatch().resetsLeft;
}

int RunnerStrategy::getTurnsLeft() const
{
    return m_match.getMatch().turnsLeft;
}

bool RunnerStrategy::hasReachedFinish() const
{
    return m_match.getMatch().reachedFinish;
}

rules::ResetCause RunnerStrategy::getLastResetCause() const
{
    return m_match.getMatch().lastReset;
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
    return m_runnerBlock ? m_runnerBlock->getGridPosition() : toVector(m_match.getMatch().runner.cell);
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
} // namespace orv_gd
