#pragma once

#include "core/StrategyType.h"
#include "match/LightCone.h"
#include "objects/VisibleArea.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderStates.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstddef>
#include <list>
#include <memory>
#include <vector>

namespace sf
{
class RenderWindow;
}

namespace orv_gd
{
class BlockComponent;
class EventBus;
class GameObjectManager;
class GridPhysics;

/// The darkened frame around the map: 8 columns left and right, 5 rows above and below.
inline const sf::Vector2i frameCells{8, 5};

/// The single owner of the match grid: the cell table with the block in each cell, placement,
/// removal and move rules, timed blocks, the cell frames and the gravity pass. It never creates
/// or destroys a block; it records, moves and releases references.
class GridManager
{
public:
    /// cells[x][y] is the block at column x, row y, or empty; width x height entries.
    using CellTable = std::vector<std::vector<std::shared_ptr<BlockComponent>>>;

    static GridManager& getInstance();

    void setCellSize(const sf::Vector2f& cellSize);
    void setWindow(sf::RenderWindow& window);
    void init(int width, int height);

    sf::Vector2i getMapSize() const { return m_mapSize; }
    sf::Vector2f getCellSize() const { return m_cellSize; }
    CellTable& getCells() { return m_cells; }

    bool isInside(int x, int y) const;
    /// The cell holds a Static or Finish block. Only asked for cells inside the map.
    bool isOccupied(int x, int y) const;
    std::shared_ptr<BlockComponent> getBlockAt(int x, int y) const;

    /// A Finish block takes over a platform or finish cell; the block it covers comes back when
    /// the Finish block leaves the cell.
    bool placeBlock(const std::shared_ptr<BlockComponent>& block);
    void removeBlock(const std::shared_ptr<BlockComponent>& block);
    void moveBlock(const std::shared_ptr<BlockComponent>& block, sf::Vector2i to);
    /// Moves a block into a cell whatever holds it, as the Runner arriving on the finish line: the
    /// table keeps it there, so it stays lit and drawn, and the covered block comes back when it leaves.
    void takeOverCell(const std::shared_ptr<BlockComponent>& block, sf::Vector2i to);

    void highlightCell(int x, int y);
    void unhighlightCell(int x, int y);

    void addTimedBlock(const std::shared_ptr<BlockComponent>& block);
    const std::list<std::shared_ptr<BlockComponent>>& getTimedBlocks() const { return m_timedBlocks; }

    void setCurrentPlayer(StrategyType player) { m_currentPlayer = player; }
    StrategyType getCurrentPlayer() const { return m_currentPlayer; }

    void runPhysics();
    void update(float deltaTime);
    void draw();
    void clear();

    void prepareLight(const std::shared_ptr<BlockComponent>& block);
    const std::vector<std::shared_ptr<BlockComponent>>& getLitBlocks() const { return m_litBlocks; }
    /// The clipped drawing of the light cones, with its count of cones drawn.
    const LightCone& getLightCone() const { return m_lightCone; }

    /// The frame rectangles as one triangle list: every cell's fill quad first (6 vertices each,
    /// in frame order), then every cell's outline ring (24 vertices each, in frame order).
    const sf::VertexArray& getCellShapes() const { return m_cellShapes; }
    /// Index of the frame rectangle of cell (x, y), -8 <= x < width + 8, -5 <= y < height + 5.
    std::size_t frameIndex(int x, int y) const;
    /// Number of frame rectangles: (width + 16) x (height + 10).
    std::size_t frameCount() const;

private:
    GridManager();

    /// Enters the block in the cell, keeping a platform or finish block it covers.
    void cover(sf::Vector2i cell, const std::shared_ptr<BlockComponent>& block);
    /// Takes the block out of the cell; the block it covered, if any, holds the cell again.
    void vacate(sf::Vector2i cell, const std::shared_ptr<BlockComponent>& block);
    void buildCellFrames();
    void setCellOutline(int x, int y, const sf::Color& color);
    /// The part of the world the camera shows, with one extra cell to the left and above.
    VisibleArea visibleArea() const;
    void drawCellFrames(const VisibleArea& area);
    /// Appends to m_gridLines one quad per grid line of the given frame cells.
    void appendGridLines(int firstColumn, int lastColumn, int firstRow, int lastRow);
    void drawLitBlocks(const VisibleArea& area);

    GameObjectManager& m_objectManager;
    EventBus& m_eventBus;

    sf::Vector2i m_mapSize{0, 0};
    sf::Vector2f m_cellSize{64.0f, 64.0f};
    CellTable m_cells;
    /// Blocks taken over in their cell, oldest first; each comes back when the one above it leaves.
    struct CoveredBlock
    {
        sf::Vector2i cell;
        std::shared_ptr<BlockComponent> block;
    };
    std::vector<CoveredBlock> m_covered;
    sf::VertexArray m_cellShapes;
    /// This frame's frame picture: the frame fills, the merged grid lines, then the highlighted rings
    /// and their overlaps.
    sf::VertexArray m_gridLines;
    std::vector<sf::Vector2i> m_highlighted;
    std::vector<std::size_t> m_ringCells;
    sf::RenderWindow* m_window = nullptr;
    std::list<std::shared_ptr<BlockComponent>> m_timedBlocks;
    StrategyType m_currentPlayer = StrategyType::Builder;
    std::shared_ptr<GridPhysics> m_physics;
    std::vector<std::shared_ptr<BlockComponent>> m_litBlocks;

    // Light cones.
    sf::Texture m_lightTexture;
    sf::RectangleShape m_lightRect;
    sf::RenderStates m_cellRenderStates;
    sf::Shader m_shader;
    bool m_lightRectReady = false;
    bool m_lightTextureAttempted = false;
    LightCone m_lightCone;
};
} // namespace orv_gd
