#pragma once

#include <SFML/System/Vector2.hpp>

#include <memory>
#include <vector>

namespace sf
{
class RenderWindow;
}

namespace orv_gd
{
class EventBus;
class GameObject;
class GridManager;

/// The render layer of the finish cells: drawn under the light cones and the Runner, where the
/// platforms ("Map") are drawn over them.
inline const char* const FloorLayer = "Floor";

/// Lays out one match's fixed content: randomly sized and spaced white platforms from the left
/// edge towards the right, and the three-column green finish line at the right edge.
class LevelGenerator
{
public:
    /// Columns of the finish line at the right edge; the Builder may not drop blocks into them.
    static constexpr int FinishColumns = 3;
    /// The Runner's start cell: column 0, six rows above the bottom edge, right over the first
    /// platform.
    static sf::Vector2i startCell(sf::Vector2i mapSize) { return {0, mapSize.y - 6}; }

    LevelGenerator();

    /// Builds the level into the grid and announces it; returns the platform objects in creation
    /// order followed by the finish line.
    std::vector<std::shared_ptr<GameObject>> generate(sf::RenderWindow& window, int width, int height,
                                                      int levelId);

private:
    GridManager& m_grid;
    EventBus& m_events;
    int m_width = 0;
    int m_height = 0;
    int m_levelId = 0;
};
} // namespace orv_gd
