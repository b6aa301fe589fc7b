#pragma once

#include "core/MatchMode.h"

#include <memory>

namespace orv_gd
{
class ComputerBuilder;
class ComputerRunner;
class ControllerInput;
class InputManager;
class MatchSource;

/// The computer's seat at a match: for the roles the chosen mode gives it, it takes the role's
/// actions away from the keyboard and its controller slot away from the controllers, and plays
/// them at the level chosen for it; at the end of the match it gives them back.
class ComputerPlayers
{
public:
    ComputerPlayers();
    ~ComputerPlayers();

    /// Starts the computer's roles at their levels, each with a generator seeded from the match's
    /// generator as it stands (which they never draw from, so the match plays as its log says).
    void start(const MatchSource& match, MatchMode mode, const ComputerLevels& levels = {});
    void stop();
    /// Takes the keys and the controller of one role (true: the Runner's) from the local players,
    /// as the computer's roles do, without playing it: a friend plays it over the network. Until stop.
    void keepKeysOff(bool runner);
    /// Runs before the role whose turn it is, so a key pressed now is read in the next frame.
    void update(float dt);

    ComputerRunner* getRunner() const { return m_runner.get(); }
    ComputerBuilder* getBuilder() const { return m_builder.get(); }

private:
    InputManager& m_input;
    ControllerInput& m_controllers;
    std::unique_ptr<ComputerRunner> m_runner;
    std::unique_ptr<ComputerBuilder> m_builder;
    bool m_keysOff = false;
};
} // namespace orv_gd
