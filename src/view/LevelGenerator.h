#pragma once

#include "rules/Match.h"

#include <SFML/System/Vector2.hpp>

#include <memory>
#include <vector>

namespace sf
{
class RenderWindow;
}

namespace orv_gd
{
namespace rules
{
class Level;
}
class EventBus;
class GameObject;
class GridManager;

/// The render layer of the finish cells: drawn under the light cones and the Runner, where the
/// platforms ("Map") are drawn over them.
inline const char* const FloorLayer = "Floor";

/// Puts one match's level on screen: an object per white platform, in the order the rules laid
/// them ("map_<level>_<n>"), and the three-column green finish line ("finish_line").
class LevelGenerator
{
public:
    /// Columns of the finish line at the right edge; the Builder may not drop blocks into them.
    static constexpr int FinishColumns = rules::Match::FinishColumns;
    /// The Runner's start cell: column 0, six rows above the bottom edge, right over the first
    /// platform.
    static sf::Vector2i startCell(sf::Vector2i mapSize)
    {
        const rules::Cell start = rules::Match::startCell(mapSize.y);
        return {start.x, start.y};
    }

    LevelGenerator();

    /// Builds the level into the grid and announces it; returns the platform objects in creation
    /// order followed by the finish line.
    std::vector<std::shared_ptr<GameObject>> generate(sf::RenderWindow& window, const rules::Level& level,
                                                      int levelId);

private:
    GridManager& m_grid;
    EventBus& m_events;
};
} // namespace orv_gd
