#pragma once

#include "core/StrategyType.h"
#include "objects/VisibleArea.h"

#include <SFML/System/Vector2.hpp>

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
class GridRenderer;

/// The scene's copy of the match grid: the block shown in each cell, kept in step with the rules'
/// field by the roles as they show the rules' events (placement, removal, moves, the fading
/// blocks); its drawing is the GridRenderer's. It decides nothing: whether a block may go where it
/// is put is the rules' to say. It never creates or destroys a block; it records, moves and releases
/// references.
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
    std::shared_ptr<BlockComponent> getBlockAt(int x, int y) const;
    /// The block the one in the cell covers (the latest kept beneath), or empty.
    std::shared_ptr<BlockComponent> getBlockBeneath(int x, int y) const;

    /// Enters the block in its cell (a ghost only needs to be inside the map); false outside.
    /// `keepBeneath`: the block that held the cell comes back when this one leaves, as the rules
    /// keep a white or green cell under a green Builder cell; otherwise the table forgets it.
    bool placeBlock(const std::shared_ptr<BlockComponent>& block, bool keepBeneath = false);
    void removeBlock(const std::shared_ptr<BlockComponent>& block);
    void moveBlock(const std::shared_ptr<BlockComponent>& block, sf::Vector2i to);
    /// Moves a block into a cell whatever holds it, as the Runner arriving on the finish line: the
    /// table keeps it there, so it stays lit and drawn, and the covered block comes back when it leaves.
    void takeOverCell(const std::shared_ptr<BlockComponent>& block, sf::Vector2i to);

    void highlightCell(int x, int y);
    void unhighlightCell(int x, int y);

    void addTimedBlock(const std::shared_ptr<BlockComponent>& block);
    void removeTimedBlock(const std::shared_ptr<BlockComponent>& block);
    const std::list<std::shared_ptr<BlockComponent>>& getTimedBlocks() const { return m_timedBlocks; }

    void setCurrentPlayer(StrategyType player) { m_currentPlayer = player; }
    StrategyType getCurrentPlayer() const { return m_currentPlayer; }

    /// Prepares the light of every lit block in the table.
    void update(float deltaTime);
    /// The frames, then the lights and lit blocks (drawFrames and drawLights in one).
    void draw();
    void drawFrames();
    void drawLights();
    void clear();

    void prepareLight(const std::shared_ptr<BlockComponent>& block);
    /// The frame, highlight and light drawing; exists from the first init on.
    const GridRenderer& getRenderer() const { return *m_renderer; }
    GridRenderer& getRenderer() { return *m_renderer; }

private:
    GridManager();
    ~GridManager();

    /// Enters the block in the cell; with `keepBeneath` the block it covers comes back later.
    void cover(sf::Vector2i cell, const std::shared_ptr<BlockComponent>& block, bool keepBeneath);
    /// Takes the block out of the cell; the block it covered, if any, holds the cell again.
    void vacate(sf::Vector2i cell, const std::shared_ptr<BlockComponent>& block);
    /// The part of the world the camera shows, with one extra cell to the left and above.
    VisibleArea visibleArea() const;

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
    sf::RenderWindow* m_window = nullptr;
    std::list<std::shared_ptr<BlockComponent>> m_timedBlocks;
    StrategyType m_currentPlayer = StrategyType::Builder;
    std::unique_ptr<GridRenderer> m_renderer;
};
} // namespace orv_gd
