#pragma once

#include "input/Strategy.h"
#include "rules/Match.h"
#include "rules/RunnerMoves.h"

#include <SFML/System/Vector2.hpp>

#include <memory>
#include <optional>

namespace orv_gd
{
namespace rules
{
struct Action;
}
class BlockComponent;
class GameObject;

/// The Runner's role on screen: turns A/D/W/Q/R and controller 1 into steps, jumps, the end of the
/// turn and resets for the rules, and shows what they did: the blue block stepping, falling and
/// resetting with its safe zone, the sounds, and every step in the log on stdout.
class RunnerStrategy : public Strategy
{
public:
    static constexpr int MovesPerTurn = rules::Match::MovesPerTurn;
    static constexpr int StartResets = rules::Match::StartResets;
    static constexpr int StartTurns = rules::Match::StartTurns;
    /// The cap of the jump force earned by walking.
    static constexpr int MaxJumpForce = rules::Match::MaxJumpForce;

    explicit RunnerStrategy(MatchHost& match);

    void init() override;
    void enter() override;
    void update(float dt) override;
    void draw() override {}
    void show(const rules::Event& event) override;

    /// Asks the rules for the step or jump towards the neighbouring cell (x, y).
    void moveRunner(int x, int y, bool jump);
    /// Asks the rules for a reset, as the reset key does.
    void reset();
    void createSafeZone();

    int getXMovement() const;
    int getJumpForce() const;
    int getResetsLeft() const;
    int getTurnsLeft() const;
    bool hasReachedFinish() const;
    rules::ResetCause getLastResetCause() const;
    const std::shared_ptr<GameObject>& getSafeZone() const { return m_safeZone; }
    const std::shared_ptr<BlockComponent>& getRunnerBlock() const { return m_runnerBlock; }

private:
    /// The action this frame's keys and controller ask for, resolved as the game always has: the
    /// end of the turn before a reset before a step; up before right before left.
    std::optional<rules::Action> readInput();
    void readController(std::optional<rules::Action>& step, bool& end, bool& reset);
    /// The rules would take the step or jump, whether or not it gets anywhere.
    bool mayMove(rules::RunnerMoves::Move move) const;
    /// Finds the Runner's object and block again; a missing Runner must not take the match down.
    void refreshRunner();
    sf::Vector2i runnerCell() const;
    void showMove(const rules::Event& event);
    void moveSafeZoneBy(sf::Vector2i offset);

    /// Seconds since the last step, and since the last reset on the controller: the controller
    /// acts at most every MoveDelay.
    float m_moveTimer = 0.0f;
    float m_resetTimer = 0.0f;
    std::shared_ptr<GameObject> m_runner;
    std::shared_ptr<BlockComponent> m_runnerBlock;
    std::shared_ptr<GameObject> m_safeZone;
};
} // namespace orv_gd
