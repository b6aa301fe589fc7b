#include "core/GameStateManager.h"

#include "core/CheckedAssert.h"
#include "core/GameState.h"

#include <utility>

namespace orv_gd
{
void GameStateManager::registerState(const std::string& name, std::shared_ptr<GameState> state)
{
    // The map owns the states, so a replaced state dies here: the current or pending pointer
    // must never be left on it. Screens are registered once, before the first switch.
    const GameState* replaced = findState(name);
    ORV_ASSERT(replaced == nullptr || (replaced != m_currentState && replaced != m_pendingState),
               "The current or pending state cannot be replaced");
    m_states[name] = std::move(state);
}

GameState* GameStateManager::findState(const std::string& name) const
{
    const auto it = m_states.find(name);
    return it == m_states.end() ? nullptr : it->second.get();
}

void GameStateManager::setState(const std::string& name)
{
    GameState* state = findState(name);
    ORV_ASSERT(state != nullptr, "State could not be found");
    // The clock of the requested state restarts now, not when the switch happens.
    state->resetTimeInState();
    m_pendingState = state;
}

void GameStateManager::changeState(GameState* state)
{
    if (state == m_currentState)
    {
        return;
    }
    if (m_currentState != nullptr)
    {
        m_currentState->exit();
    }
    m_currentState = state;
    if (m_currentState != nullptr)
    {
        m_currentState->init();
    }
}

void GameStateManager::update(float deltaTime)
{
    if (m_pendingState != nullptr)
    {
        // Cleared before the switch, so a request made by the entering state's init survives
        // until the next update.
        GameState* pending = m_pendingState;
        m_pendingState = nullptr;
        changeState(pending);
    }
    if (m_currentState != nullptr)
    {
        m_currentState->update(deltaTime);
    }
}

void GameStateManager::draw()
{
    if (m_currentState != nullptr)
    {
        m_currentState->draw();
    }
}

void GameStateManager::shutdown()
{
    if (m_currentState != nullptr)
    {
        m_currentState->exit();
    }
}
} // namespace orv_gd
