#pragma once

#include "rules/Action.h"
#include "rules/Match.h"
#include "rules/MatchLog.h"

#include <array>
#include <cstddef>
#include <string>

namespace orv_gd
{
/// Plays a match log on a stage (the match screen, or a test's): it lets the match's time pass up to
/// each action's stamp, turn by turn as the rules end them, hands the action to the stage as a
/// player would, and lets the rest of the frame pass. It keeps the pace (1×, 2×, 4×, 8×); the screen
/// multiplies the frame's time by it.
class ReplayDriver
{
public:
    static constexpr std::array<int, 4> Speeds{1, 2, 4, 8};

    /// Where the log is played: the match as it stands, time passing, actions applied.
    class Stage
    {
    public:
        virtual ~Stage() = default;
        virtual const rules::Match& match() const = 0;
        /// Lets `ms` milliseconds of the match pass.
        virtual void pass(int ms) = 0;
        /// Applies an action as a player would; false when the rules refuse it.
        virtual bool act(const rules::Action& action) = 0;
    };

    explicit ReplayDriver(const rules::MatchLog& log = rules::MatchLog());

    const rules::MatchLog& getLog() const { return m_log; }

    /// Lets `ms` milliseconds of the match pass on `stage`: each action stamped within them is applied
    /// at its stamp. A match that was left stops at the moment it was left.
    void play(Stage& stage, int ms);
    /// Plays on to the start of the next turn, or to the end.
    void nextTurn(Stage& stage);

    void faster();
    void slower();
    int getSpeed() const { return Speeds[m_speed]; }

    /// Every action applied; the match over, or at the moment it was left.
    bool isAtEnd(const rules::Match& match) const;
    /// Why the log could not be played on (a stamp the match has passed, an action refused); empty
    /// while it plays as recorded.
    const std::string& getProblem() const { return m_problem; }
    std::size_t getNextEntry() const { return m_next; }

private:
    /// Milliseconds of play from the match's clock to the next place time must stop: the turn's end,
    /// the log's next action in this turn, or the moment a left match was left.
    int nextStop(const rules::Match& match) const;

    rules::MatchLog m_log;
    std::size_t m_next = 0;
    std::size_t m_speed = 0;
    std::string m_problem;
};
} // namespace orv_gd
