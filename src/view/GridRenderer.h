#pragma once

#include "objects/VisibleArea.h"
#include "view/LightCone.h"
#include "view/ShapeBatch.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstddef>
#include <memory>
#include <vector>

namespace sf
{
class RenderWindow;
}

namespace orv_gd
{
class BlockComponent;

/// The darkened frame around the map: 8 columns left and right, 5 rows above and below.
inline const sf::Vector2i frameCells{8, 5};

/// Draws the match grid for the GridManager: the darkened frame around the map with its grid
/// lines and highlighted cells as a few batched draws, then the light cones of the lit blocks and
/// the lit blocks on top. Holds the GL resources of that drawing.
class GridRenderer
{
public:
    /// cells[x][y] is the block at column x, row y, or empty (the grid's table).
    using CellTable = std::vector<std::vector<std::shared_ptr<BlockComponent>>>;

    /// A new map: the frame is built afresh, highlights and lit blocks are forgotten.
    void setMap(sf::Vector2i mapSize, sf::Vector2f cellSize);

    void highlight(int x, int y);
    void unhighlight(int x, int y);

    /// Loads the light texture once per process and fits the light rectangle to the map once per map.
    void prepareLight();
    void draw(sf::RenderWindow& window, const VisibleArea& area, const CellTable& cells);
    /// The frame around the map with its grid lines and highlights: the first thing of a frame.
    void drawFrames(sf::RenderWindow& window, const VisibleArea& area);
    /// The light cones of the lit blocks and the lit blocks over them, the Runner among them. Drawn
    /// over the finish cells, so the Runner on the green line shows whole with all of its light.
    void drawLights(sf::RenderWindow& window, const VisibleArea& area, const CellTable& cells);

    const std::vector<std::shared_ptr<BlockComponent>>& getLitBlocks() const { return m_litBlocks; }
    void clearLitBlocks() { m_litBlocks.clear(); }
    /// The clipped drawing of the light cones, with its count of cones drawn.
    const LightCone& getLightCone() const { return m_lightCone; }
    LightCone& getLightCone() { return m_lightCone; }

    /// The frame rectangles as one triangle list: every cell's fill quad first (6 vertices each,
    /// in frame order), then every cell's outline ring (24 vertices each, in frame order).
    const sf::VertexArray& getCellShapes() const { return m_cellShapes; }
    /// Index of the frame rectangle of cell (x, y), -8 <= x < width + 8, -5 <= y < height + 5.
    std::size_t frameIndex(int x, int y) const;
    /// Number of frame rectangles: (width + 16) x (height + 10).
    std::size_t frameCount() const;

private:
    void buildCellFrames();
    void setCellOutline(int x, int y, const sf::Color& color);
    void drawCellFrames(sf::RenderWindow& window, const VisibleArea& area);
    /// Appends to m_gridLines one quad per grid line of the given frame cells.
    void appendGridLines(int firstColumn, int lastColumn, int firstRow, int lastRow);
    void drawLitBlocks(sf::RenderWindow& window, const VisibleArea& area, const CellTable& cells);

    sf::Vector2i m_mapSize{0, 0};
    sf::Vector2f m_cellSize{64.0f, 64.0f};
    sf::VertexArray m_cellShapes;
    /// This frame's frame picture: the frame fills, the merged grid lines, then the highlighted rings
    /// and their overlaps.
    sf::VertexArray m_gridLines;
    std::vector<sf::Vector2i> m_highlighted;
    std::vector<std::size_t> m_ringCells;
    std::vector<std::shared_ptr<BlockComponent>> m_litBlocks;
    /// One lit block's body under the next light; then every lit block's body, rim and ring on top.
    ShapeBatch m_bodyUnderLight;
    ShapeBatch m_bodies;

    // Light cones.
    sf::Texture m_lightTexture;
    sf::RectangleShape m_lightRect;
    bool m_lightRectReady = false;
    bool m_lightTextureAttempted = false;
    LightCone m_lightCone;
};
} // namespace orv_gd
