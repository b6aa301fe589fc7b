#pragma once

#include "input/Strategy.h"
#include "rules/Match.h"
#include "view/BlockType.h"
#include "view/GhostProblem.h"

#include <SFML/System/Vector2.hpp>

#include <memory>
#include <vector>

namespace orv_gd
{
namespace rules
{
struct Action;
}
class BlockComponent;
class GameObject;

/// The Builder's role on screen: turns the arrows, Page Up/Down, Enter and controller 2 into cursor
/// moves, rotations and drops for the rules, and shows the dealt block as a ghost at the cursor,
/// red where the rules would refuse it, and the dropped cells as they land. Every action is
/// answered with a sound.
class BuilderStrategy : public Strategy
{
public:
    /// Cell offsets from the anchor under the cursor, x to the right, y downwards.
    using Shape = std::vector<sf::Vector2i>;

    static constexpr int BlocksPerTurn = rules::Match::BlocksPerTurn;

    /// Why the ghost is shown red and refuses to drop.
    using GhostProblem = orv_gd::GhostProblem;

    explicit BuilderStrategy(MatchHost& match);

    void enter() override;
    void exit() override;
    void update(float dt) override;
    void draw() override {}
    void show(const rules::Event& event) override;

    sf::Vector2i getCursor() const;
    int getBlocksLeft() const;
    /// What keeps the current ghost from dropping; the safe zone is named first.
    GhostProblem getGhostProblem() const;
    const std::shared_ptr<GameObject>& getCurrentBlock() const { return m_currentBlock; }
    const std::vector<std::shared_ptr<BlockComponent>>& getPlacedBlocks() const { return m_placedBlocks; }

    /// Sets up a scene outside the turn rules: the cursor, and the dealt block replaced by one of
    /// the given shape and type at it.
    void setCursor(sf::Vector2i cursor);
    void replaceBlock(const Shape& shape, BlockType type);
    /// The cell's corner lies in the camera's view: what the Builder may reach is a matter of the screen.
    bool insideView(sf::Vector2i cell) const;

private:
    /// The frame's actions in the order the game has always read them: a drop, a rotation, the
    /// controller's drop and rotation, then the cursor's step.
    void readInput();
    void readController(sf::Vector2i& step);
    /// Asks the rules; false when they refused or the turn is over.
    bool act(const rules::Action& action);
    /// The field has a cell for the cursor one step `by` away.
    bool cursorMayGo(sf::Vector2i by) const;
    void stepCursor(sf::Vector2i step);
    std::vector<std::shared_ptr<BlockComponent>> currentCells() const;
    /// Makes the ghost of the dealt block at the cursor.
    void showDealt();
    /// Puts the ghost's cells where the rules hold the block, colours them and sounds the move.
    void showGhost();
    void showPlaced(const rules::Event& event);
    void showSkipped(sf::Vector2i cell);
    void showExpired(sf::Vector2i cell);
    void removeGhostCells();

    int m_blockCounter = 0;
    float m_moveTimer = 0.0f;
    bool m_controllerButtonHeld = true;
    std::shared_ptr<GameObject> m_currentBlock;
    std::vector<std::shared_ptr<BlockComponent>> m_placedBlocks;
};
} // namespace orv_gd
