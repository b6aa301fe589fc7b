#pragma once

#include "core/StrategyType.h"

namespace orv_gd
{
namespace rules
{
struct Event;
}
class AssetManager;
class ControllerInput;
class EventBus;
class GameObjectManager;
class GridManager;
class InputManager;
class MatchHost;

/// One role of a match (the Runner or the Builder) as the screen sees it: it turns the role's keys
/// and controller into the rules' actions, and shows what the rules say happened on the role's
/// scene objects. The match screen forwards each frame to the role whose turn it is.
class Strategy
{
public:
    explicit Strategy(MatchHost& match);
    virtual ~Strategy() = default;

    Strategy(const Strategy&) = delete;
    Strategy& operator=(const Strategy&) = delete;

    /// Called once per match, after both roles exist and before the first turn.
    virtual void init() {}
    /// The role's turn begins.
    virtual void enter() {}
    /// The role's turn ends; always runs before the other role's enter().
    virtual void exit() {}
    /// Reads this frame's input into actions.
    virtual void update(float dt) = 0;
    virtual void draw() = 0;
    /// Shows one thing the rules say happened, on the role's scene objects, in sound and in the log.
    virtual void show(const rules::Event& event) = 0;

    /// Seconds spent in the current turn.
    float getTimeInTurn() const;

protected:
    /// The match this role plays in.
    MatchHost& m_match;
    // The single instances both roles work with.
    GridManager& m_grid;
    InputManager& m_input;
    ControllerInput& m_controllers;
    GameObjectManager& m_objects;
    EventBus& m_events;
    AssetManager& m_assets;
};
} // namespace orv_gd
