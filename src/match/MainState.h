#pragma once

#include "core/GameState.h"
#include "match/StrategyType.h"
#include "objects/SpriteManager.h"

#include <map>
#include <memory>
#include <vector>

namespace sf
{
class RenderWindow;
}

namespace orv_gd
{
class GameObject;
class Strategy;

/// Runs one match: builds the scene on entry, forwards each frame to the role whose turn it
/// is and to the shared services, lays out the HUD, and tears the scene down on exit.
class MainState : public GameState
{
public:
    MainState(GameStateManager* gameStateManager, Game* game);

    void init() override;
    void update(float dt) override;
    void draw() override;
    void exit() override;
    void setWinner(StrategyType winner) override;

    void setStrategy(StrategyType type);
    StrategyType getCurrentStrategy() const { return m_currentStrategy; }
    std::map<StrategyType, std::shared_ptr<Strategy>>& getStrategies() { return m_strategies; }
    sf::RenderWindow& getWindow() const { return m_window; }
    SpriteManager& getSpriteManager() { return m_spriteManager; }

    void initProgressBars(const std::shared_ptr<GameObject>& camera);

private:
    sf::RenderWindow& m_window;
    SpriteManager m_spriteManager;
    std::map<StrategyType, std::shared_ptr<Strategy>> m_strategies;
    StrategyType m_currentStrategy = StrategyType::Builder;
    std::vector<std::shared_ptr<GameObject>> m_progressBarIcons;
    std::vector<std::shared_ptr<GameObject>> m_progressBars;
};
} // namespace orv_gd
