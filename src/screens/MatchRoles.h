#pragma once

#include "computer/CellRange.h"
#include "core/StrategyType.h"
#include "rules/Event.h"
#include "rules/Field.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace orv_gd
{
class BlockComponent;
class GridManager;
class MatchHost;
class Strategy;

/// The two roles of a match on screen and whose turn it is: the rules' turn events hand the turn
/// from one role's strategy to the other's, and every role is shown what happened.
class MatchRoles
{
public:
    using Map = std::map<StrategyType, std::shared_ptr<Strategy>>;

    explicit MatchRoles(GridManager& grid) : m_grid(grid) {}

    /// Both roles' strategies afresh, playing on `host`.
    void make(MatchHost& host);
    void clear() { m_strategies.clear(); }
    /// Shows what the rules say happened: turns change hands, the roles' scene objects follow.
    /// `won` hears the winner as the match is won, before the roles are shown it.
    void show(const rules::Events& events, const std::function<void(StrategyType)>& won);
    /// A frame of the role whose turn it is, by its keys or its computer player.
    void updateCurrent(float dt);
    /// The role whose turn it is draws what it shows over the scene (the ghost, the cursor).
    void drawCurrent();

    StrategyType getCurrent() const { return m_current; }
    Map& getMap() { return m_strategies; }
    const Map& getMap() const { return m_strategies; }
    /// The Builder's ghost cells while it is the Builder's turn.
    std::vector<std::shared_ptr<BlockComponent>> ghostCells() const;
    /// The cells of `field` the Builder's cursor may reach on screen, inclusive.
    CellRange builderView(const rules::Field& field) const;

private:
    GridManager& m_grid;
    Map m_strategies;
    StrategyType m_current = StrategyType::Builder;
};
} // namespace orv_gd
