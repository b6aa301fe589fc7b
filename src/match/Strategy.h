#pragma once

namespace orv_gd
{
class MainState;

/// One role of a match (the Runner or the Builder). MainState forwards each frame to the role
/// whose turn it is; the role decides when its turn is over and hands the turn to the other.
class Strategy
{
public:
    explicit Strategy(MainState& mainState);
    virtual ~Strategy() = default;

    Strategy(const Strategy&) = delete;
    Strategy& operator=(const Strategy&) = delete;

    /// Called once per match, after both roles exist and before the first turn.
    virtual void init() {}
    /// The role's turn begins.
    virtual void enter() {}
    /// The role's turn ends; always runs before the other role's enter().
    virtual void exit() {}
    virtual void update(float dt) = 0;
    virtual void draw() = 0;

    /// Seconds spent in the current (or last) turn of this role.
    float getTimeInTurn() const { return m_timeInTurn; }

protected:
    float m_timeInTurn = 0.0f;
    MainState& m_mainState;
};
} // namespace orv_gd
