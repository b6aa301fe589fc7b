#include "screens/MatchRoles.h"

#include "input/BuilderStrategy.h"
#include "input/RunnerStrategy.h"
#include "objects/GameObject.h"
#include "view/BlockComponent.h"
#include "view/GridManager.h"

#include <algorithm>

namespace orv_gd
{
void MatchRoles::make(MatchHost& host)
{
    m_strategies.clear();
    m_strategies[StrategyType::Runner] = std::make_shared<RunnerStrategy>(host);
    m_strategies[StrategyType::Builder] = std::make_shared<BuilderStrategy>(host);
    m_strategies[StrategyType::Runner]->init();
    m_strategies[StrategyType::Builder]->init();
}

void MatchRoles::show(const rules::Events& events, const std::function<void(StrategyType)>& won)
{
    const auto roleOf = [](rules::Role role)
    {
        return role == rules::Role::Runner ? StrategyType::Runner : StrategyType::Builder;
    };
    for (const rules::Event& event : events)
    {
        switch (event.kind)
        {
        case rules::Event::Kind::TurnEnded:
        {
            if (const std::shared_ptr<Strategy> ending = m_strategies[roleOf(event.role)])
            {
                ending->exit();
            }
            // A turn that ended the match starts no new one, but the HUD shows the role it passed to.
            m_current =
                roleOf(event.role) == StrategyType::Runner ? StrategyType::Builder : StrategyType::Runner;
            m_grid.setCurrentPlayer(m_current);
            break;
        }
        case rules::Event::Kind::TurnBegan:
            m_current = roleOf(event.role);
            m_grid.setCurrentPlayer(m_current);
            if (const std::shared_ptr<Strategy> next = m_strategies[m_current])
            {
                next->enter();
            }
            break;
        case rules::Event::Kind::MatchWon:
            won(roleOf(event.role));
            break;
        default:
            break;
        }
        for (const auto& [type, strategy] : m_strategies)
        {
            if (strategy)
            {
                strategy->show(event);
            }
        }
    }
}

void MatchRoles::updateCurrent(float dt)
{
    const auto current = m_strategies.find(m_current);
    if (current != m_strategies.end() && current->second)
    {
        // Held while it runs: a hand-over inside must not release the role under its feet.
        const std::shared_ptr<Strategy> strategy = current->second;
        strategy->update(dt);
    }
}

void MatchRoles::drawCurrent()
{
    const auto current = m_strategies.find(m_current);
    if (current != m_strategies.end() && current->second)
    {
        current->second->draw();
    }
}

std::vector<std::shared_ptr<BlockComponent>> MatchRoles::ghostCells() const
{
    const auto builder = m_strategies.find(StrategyType::Builder);
    if (m_current != StrategyType::Builder || builder == m_strategies.end() || !builder->second)
    {
        return {};
    }
    const std::shared_ptr<GameObject>& block =
        static_cast<const BuilderStrategy&>(*builder->second).getCurrentBlock();
    return block && block->isActive() ? block->getComponents<BlockComponent>()
                                      : std::vector<std::shared_ptr<BlockComponent>>{};
}

CellRange MatchRoles::builderView(const rules::Field& field) const
{
    // The cells the Builder's cursor may reach on screen, by the same test its steps pass.
    CellRange view{{field.getWidth(), field.getHeight()}, {-1, -1}};
    const auto found = m_strategies.find(StrategyType::Builder);
    const auto builder =
        found != m_strategies.end() ? std::dynamic_pointer_cast<BuilderStrategy>(found->second) : nullptr;
    for (int x = 0; x < field.getWidth(); ++x)
    {
        for (int y = 0; y < field.getHeight(); ++y)
        {
            if (!builder || builder->insideView({x, y}))
            {
                view.min = {std::min(view.min.x, x), std::min(view.min.y, y)};
                view.max = {std::max(view.max.x, x), std::max(view.max.y, y)};
            }
        }
    }
    return view;
}
} // namespace orv_gd
