#pragma once

namespace orv_gd
{
/// The pace of a computer player: one action every Interval seconds, so a person can follow it and
/// a computer turn is over in a few seconds, well inside its ten.
class ActionPace
{
public:
    static constexpr float Interval = 0.25f;

    /// Counts the frame's time; true once an action is due, which starts the next wait.
    bool due(float dt)
    {
        m_timer += dt;
        if (m_timer < Interval)
        {
            return false;
        }
        m_timer = 0.0f;
        return true;
    }
    /// Starts the wait again, as at the start of a turn.
    void restart() { m_timer = 0.0f; }

private:
    float m_timer = 0.0f;
};
} // namespace orv_gd
