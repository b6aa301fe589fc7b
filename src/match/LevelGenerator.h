#pragma once

#include <memory>
#include <vector>

namespace sf
{
class RenderWindow;
}

namespace orv_gd
{
class GameObject;

/// Lays out one match's fixed content: randomly sized and spaced white platforms from the left
/// edge towards the right, and the three-column green finish line at the right edge.
class LevelGenerator
{
public:
    /// Builds the level into the grid and announces it; returns the platform objects in creation
    /// order followed by the finish line.
    std::vector<std::shared_ptr<GameObject>> generate(sf::RenderWindow& window, int width, int height,
                                                      int levelId);

private:
    int m_width = 0;
    int m_height = 0;
    int m_levelId = 0;
};
} // namespace orv_gd
