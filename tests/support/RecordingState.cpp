#include "support/RecordingState.h"

#include <utility>

namespace orv_gd::test
{
RecordingState::RecordingState(std::string name, std::vector<std::string>& log, GameStateManager* manager,
                               Game* game)
    : GameState(manager, game), m_name(std::move(name)), m_log(log)
{
}

void RecordingState::init()
{
    ++initCount;
    m_log.push_back(m_name + ".init");
    if (onInit)
    {
        onInit(*this);
    }
}

void RecordingState::exit()
{
    ++exitCount;
    m_log.push_back(m_name + ".exit");
}

void RecordingState::update(float deltaTime)
{
    ++updateCount;
    deltaTimes.push_back(deltaTime);
    m_timeInState += deltaTime;
    m_log.push_back(m_name + ".update");
    if (onUpdate)
    {
        onUpdate(*this);
    }
}

void RecordingState::draw()
{
    ++drawCount;
    m_log.push_back(m_name + ".draw");
}

void RecordingState::setWinner(StrategyType winner)
{
    m_log.push_back(m_name + ".setWinner " + std::to_string(static_cast<int>(winner)));
}
} // namespace orv_gd::test
