#pragma once

#include "match/GridManager.h"
#include "match/Strategy.h"

#include <SFML/System/Vector2.hpp>

#include <memory>

namespace orv_gd
{
class BlockComponent;
class GameObject;

/// The Runner's role: steps its blue block one cell per key press under a budget of horizontal
/// moves and an earned jump force, falls over gaps, drags its safe zone along, and wins on the
/// finish line or loses when its turns or resets run out. Every step is logged to stdout.
class RunnerStrategy : public Strategy
{
public:
    static constexpr int MovesPerTurn = 4;
    static constexpr int StartResets = 2;
    static constexpr int StartTurns = 50;
    /// The cap of the jump force earned by walking.
    static constexpr int MaxJumpForce = 7;

    /// Why a reset happened, so the HUD can say it in words.
    enum class ResetCause
    {
        Asked,    ///< the reset key or button
        Fell,     ///< a step into the bottom row
        WalledIn, ///< no free cell around the Runner
    };

    explicit RunnerStrategy(MainState& mainState);

    void init() override;
    void enter() override;
    void exit() override;
    void update(float dt) override;
    void draw() override {}

    void handleInput(int player, const sf::Vector2i& mapSize, sf::Vector2i& wanted);
    void handleControllerInput(int player, const sf::Vector2i& mapSize, sf::Vector2i& wanted);
    void moveRunner(int x, int y, bool jump);
    bool isFree(int x, int y) const;
    bool isTrapped() const;
    void reset(ResetCause cause = ResetCause::Asked);
    void createSafeZone();

    int getXMovement() const { return m_xMovement; }
    int getJumpForce() const { return m_jumpForce; }
    int getResetsLeft() const { return m_resetsLeft; }
    int getTurnsLeft() const { return m_turnsLeft; }
    bool hasReachedFinish() const { return m_reachedFinish; }
    ResetCause getLastResetCause() const { return m_lastResetCause; }
    const std::shared_ptr<GameObject>& getSafeZone() const { return m_safeZone; }
    const std::shared_ptr<BlockComponent>& getRunnerBlock() const { return m_runnerBlock; }

private:
    /// Finds the Runner's object and block again; the grid may have replaced neither, but a
    /// missing Runner must not take the match down.
    void refreshRunner();
    sf::Vector2i runnerCell() const;
    /// The steps of moveRunner. Onto a finish cell: the match is won.
    void stepOntoFinish(sf::Vector2i to);
    /// The wanted cell is taken: in mid-air the Runner drops one row instead, off the bottom it resets.
    void bumpInTheAir(sf::Vector2i to);
    /// Onto a free cell; false when that cell is in the bottom row and the Runner resets instead.
    bool step(sf::Vector2i to);
    /// One row down when the cell under the Runner's new cell was empty before the step.
    void fallIfLoose(sf::Vector2i cell);
    /// Moves the Runner with the grid's rules and drags the safe zone by the distance it really went.
    void moveRunnerBlock(sf::Vector2i to);
    void moveSafeZoneBy(sf::Vector2i offset);
    /// Ends the Runner's turn, unless it has already been handed over.
    void handOver();
    /// The turn is still the Runner's and the match goes on: once a key or button of this frame
    /// has ended either, the frame's other inputs are left alone.
    bool isOwnTurn() const;
    void gainJumpForce();

    int m_xMovement = MovesPerTurn;
    int m_jumpForce = 0;
    float m_moveDelay = 0.4f;
    float m_moveTimer = 0.0f;
    bool m_reachedFinish = false;
    float m_finishTimer = 0.0f;
    float m_finishDelay = 0.5f;
    int m_resetsLeft = StartResets;
    bool m_resetThisFrame = false;
    bool m_endRequested = false;
    sf::Vector2i m_safeZoneSize{3, 3};
    float m_resetTimer = 0.0f;
    int m_turnsLeft = StartTurns;
    ResetCause m_lastResetCause = ResetCause::Asked;
    GridManager::CellTable m_cells;
    std::shared_ptr<GameObject> m_runner;
    std::shared_ptr<BlockComponent> m_runnerBlock;
    std::shared_ptr<GameObject> m_safeZone;
};
} // namespace orv_gd
