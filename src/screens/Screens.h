#pragma once

namespace orv_gd
{
class Game;
class GameStateManager;

/// Every screen of the game, registered with the game's screen manager: the menu, the tutorial,
/// the settings, the match screen, the end screen, and the host and join screens of network play,
/// with the game keeping the network match going. What the composition root hands Game.
void registerScreens(GameStateManager* states, Game* game);
} // namespace orv_gd
