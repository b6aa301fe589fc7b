#include "core/GameState.h"

namespace orv_gd
{
GameState::GameState(GameStateManager* gameStateManager, Game* game)
    : m_gameStateManager(gameStateManager), m_game(game)
{
}
} // namespace orv_gd
