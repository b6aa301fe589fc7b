#pragma once

#include "core/StrategyType.h"

namespace orv_gd
{
class AssetManager;
class ControllerInput;
class EventBus;
class GameObjectManager;
class GridManager;
class InputManager;
class MainState;

/// One role of a match (the Runner or the Builder). MainState forwards each frame to the role
/// whose turn it is; the role decides when its turn is over and hands the turn to the other.
class Strategy
{
public:
    explicit Strategy(MainState& mainState);
    virtual ~Strategy() = default;

    /// Seconds a turn lasts at most, for either role.
    static constexpr float TurnLimit = 10.0f;

    Strategy(const Strategy&) = delete;
    Strategy& operator=(const Strategy&) = delete;

    /// Called once per match, after both roles exist and before the first turn.
    virtual void init() {}
    /// The role's turn begins.
    virtual void enter() {}
    /// The role's turn ends; always runs before the other role's enter().
    virtual void exit() {}
    virtual void update(float dt) = 0;
    virtual void draw() = 0;

    /// Seconds spent in the current (or last) turn of this role.
    float getTimeInTurn() const { return m_timeInTurn; }

protected:
    /// Gives the turn to the other role: the grid learns whose turn it is, then the match runs
    /// this role's exit() and the next role's enter().
    void handTurnTo(StrategyType next);

    float m_timeInTurn = 0.0f;
    MainState& m_mainState;
    // The single instances both roles work with.
    GridManager& m_grid;
    InputManager& m_input;
    ControllerInput& m_controllers;
    GameObjectManager& m_objects;
    EventBus& m_events;
    AssetManager& m_assets;
};
} // namespace orv_gd
