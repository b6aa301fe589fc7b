#include "input/Strategy.h"

#include "core/ControllerInput.h"
#include "core/InputManager.h"
#include "input/MatchHost.h"
#include "objects/EventBus.h"
#include "objects/GameObjectManager.h"
#include "resources/AssetManager.h"
#include "rules/Match.h"
#include "view/GridManager.h"

namespace orv_gd
{
Strategy::Strategy(MatchHost& match)
    : m_match(match), m_grid(GridManager::getInstance()), m_input(InputManager::getInstance()),
      m_controllers(ControllerInput::getInstance()), m_objects(GameObjectManager::getInstance()),
      m_events(EventBus::getInstance()), m_assets(AssetManager::getInstance())
{
}

float Strategy::getTimeInTurn() const
{
    return static_cast<float>(m_match.getMatch().turnMs) / 1000.0f;
}
} // namespace orv_gd
