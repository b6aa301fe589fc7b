#pragma once

#include "core/GameState.h"

#include <functional>
#include <string>
#include <vector>

namespace orv_gd::test
{
/// A screen that writes each call it receives ("Name.init", "Name.update", ...) into a shared
/// log and can run extra code in its update, for tests of the state machine and the frame loop.
class RecordingState : public GameState
{
public:
    RecordingState(std::string name, std::vector<std::string>& log, GameStateManager* manager = nullptr,
                   Game* game = nullptr);

    void init() override;
    void exit() override;
    void update(float deltaTime) override;
    void draw() override;
    void setWinner(StrategyType winner) override;

    /// Runs at the end of every init, after the call was logged.
    std::function<void(RecordingState&)> onInit;
    /// Runs at the end of every update, after the call was logged.
    std::function<void(RecordingState&)> onUpdate;

    int initCount = 0;
    int exitCount = 0;
    int updateCount = 0;
    int drawCount = 0;
    std::vector<float> deltaTimes;

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};
} // namespace orv_gd::test
