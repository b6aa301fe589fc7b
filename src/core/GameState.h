#pragma once

#include "core/StrategyType.h"

#include <string>

namespace orv_gd
{
class Game;
class GameStateManager;

/// A screen of the program (menu, tutorial, match, end screen), owned by the state manager.
class GameState
{
public:
    GameState(GameStateManager* gameStateManager, Game* game);
    virtual ~GameState() = default;

    /// Called each time the state becomes current.
    virtual void init() {}
    /// Called each time the state stops being current, and on shutdown.
    virtual void exit() {}
    virtual void update(float deltaTime) = 0;
    virtual void draw() = 0;
    virtual void setWinner(StrategyType winner) { (void)winner; }
    /// A line for the player to read when this screen next shows (the menu has one); others ignore it.
    virtual void setMessage(const std::string& message) { (void)message; }
    /// A fault of the network match while this screen is current: true when the screen shows it
    /// itself; otherwise the game goes back to the menu, which shows it.
    virtual bool showNetworkProblem(const std::string& problem)
    {
        (void)problem;
        return false;
    }

    GameStateManager* getGameStateManager() const { return m_gameStateManager; }
    void resetTimeInState() { m_timeInState = 0.0f; }
    float getTimeInState() const { return m_timeInState; }

protected:
    GameStateManager* m_gameStateManager;
    Game* m_game;
    float m_timeInState = 0.0f;
};
} // namespace orv_gd
