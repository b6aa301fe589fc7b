#pragma once

#include "view/ShapeBatch.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/System/Vector2.hpp>

#include <memory>
#include <vector>

namespace sf
{
class RenderWindow;
}

namespace orv_gd
{
class BlockComponent;

/// Faint outlines, during the Builder's turn, of where no block may drop: the Runner's safe zone
/// and the finish columns at the end of the map. Drawn in the world, under the camera's view.
class BuilderGuides
{
public:
    explicit BuilderGuides(sf::RenderWindow& window);

    /// Fits the outlines to the safe zone's cells as they are drawn (they slide with the Runner)
    /// and to the last `finishColumns` columns of the map.
    void update(const std::vector<std::shared_ptr<BlockComponent>>& safeZone, sf::Vector2i mapSize,
                int finishColumns, float cellEdge);
    void draw();

    const sf::RectangleShape& getSafeZoneOutline() const { return m_safeZone; }
    const sf::RectangleShape& getFinishOutline() const { return m_finish; }

private:
    sf::RenderWindow& m_window;
    sf::RectangleShape m_safeZone;
    sf::RectangleShape m_finish;
    ShapeBatch m_batch;
};
} // namespace orv_gd
