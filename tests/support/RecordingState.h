#pragma once

#include "core/GameState.h"

#include <string>
#include <utility>
#include <vector>

namespace orv_gd::test
{
/// A screen that writes each call it receives ("Name.init", "Name.update", ...) into a shared log.
class RecordingState : public GameState
{
public:
    RecordingState(std::string name, std::vector<std::string>& log, GameStateManager* manager,
                   Game* game = nullptr)
        : GameState(manager, game), m_name(std::move(name)), m_log(log)
    {
    }

    void init() override
    {
        m_log.push_back(m_name + ".init");
        if (!m_requestOnInit.empty())
        {
            m_gameStateManager->setState(m_requestOnInit);
        }
    }
    /// The state its init asks the manager to switch to.
    void requestOnInit(std::string name) { m_requestOnInit = std::move(name); }
    void exit() override { m_log.push_back(m_name + ".exit"); }
    void update(float deltaTime) override
    {
        m_timeInState += deltaTime;
        m_log.push_back(m_name + ".update");
    }
    void draw() override { m_log.push_back(m_name + ".draw"); }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
    std::string m_requestOnInit;
};
} // namespace orv_gd::test
