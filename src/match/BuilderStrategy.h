#pragma once

#include "match/BlockType.h"
#include "match/Strategy.h"

#include <SFML/System/Vector2.hpp>

#include <memory>
#include <vector>

namespace orv_gd
{
class BlockComponent;
class GameObject;

/// The Builder's role: a random obstacle hangs as a ghost at a cursor in front of the Runner;
/// the Builder moves, rotates and drops it, two blocks or ten seconds per turn, never onto the
/// Runner's safe zone nor into the finish columns. Every action is answered with a sound.
class BuilderStrategy : public Strategy
{
public:
    /// Cell offsets from the anchor under the cursor, x to the right, y downwards.
    using Shape = std::vector<sf::Vector2i>;

    static constexpr int BlocksPerTurn = 2;

    /// Why the ghost is shown red and refuses to drop.
    enum class GhostProblem
    {
        None,
        OnSafeZone,      ///< a cell lies on the Runner's safe zone
        InFinishColumns, ///< a cell lies in the last three columns
    };

    explicit BuilderStrategy(MainState& mainState);

    void init() override;
    void enter() override;
    void exit() override;
    void update(float dt) override;
    void draw() override {}

    void handleInput(int player, const sf::Vector2i& mapSize);
    void handleControllerInput(int player, const sf::Vector2i& mapSize);

    void createBlock();
    Shape getRandomShape() const;
    void addBlockCells(const Shape& shape, BlockType type);

    void moveBlock(sf::Vector2i offset);
    void moveBlockTo(sf::Vector2i from, sf::Vector2i to);
    sf::Vector2i validateMove(sf::Vector2i from, sf::Vector2i to) const;

    void rotateBlock(int quarterTurns);
    /// Clockwise quarter turns about the anchor (see ObstacleShapes).
    static Shape rotateShape(const Shape& shape, int quarterTurns);

    /// Drops the current block; false when it touches the safe zone or the finish columns.
    bool placeBlock();

    sf::Vector2i getCursor() const { return m_cursor; }
    void setCursor(sf::Vector2i cursor) { m_cursor = cursor; }
    int getBlocksLeft() const { return m_blocksLeft; }
    /// What keeps the current ghost from dropping; the safe zone is named first, as the drop checks it first.
    GhostProblem getGhostProblem() const;
    const std::shared_ptr<GameObject>& getCurrentBlock() const { return m_currentBlock; }
    const std::vector<Shape>& getShapes() const { return m_shapes; }
    const std::vector<std::shared_ptr<BlockComponent>>& getPlacedBlocks() const { return m_placedBlocks; }
    /// Replaces the current ghost by one of the given shape and type at the cursor.
    void replaceBlock(const Shape& shape, BlockType type);

private:
    std::vector<std::shared_ptr<BlockComponent>> currentCells() const;
    /// Blocks left − 1, and either the next block or the Runner's turn.
    void placementStep();
    void handOver();
    bool onSafeZone(sf::Vector2i cell) const;
    bool insideView(sf::Vector2i cell) const;

    sf::Vector2i m_cursor{0, 0};
    int m_blockCounter = 0;
    float m_moveDelay = 0.2f;
    float m_moveTimer = 0.0f;
    int m_blocksLeft = BlocksPerTurn;
    bool m_controllerButtonHeld = true;
    std::vector<Shape> m_shapes;
    std::shared_ptr<GameObject> m_currentBlock;
    std::vector<std::shared_ptr<BlockComponent>> m_placedBlocks;
    /// Set once the turn has been handed over, so nothing later in the same frame acts on it.
    bool m_turnOver = false;
};
} // namespace orv_gd
