#pragma once

#include "net/Link.h"
#include "net/Protocol.h"
#include "rules/Event.h"
#include "rules/Match.h"
#include "rules/MatchLog.h"

#include <map>
#include <string>
#include <vector>

namespace orv_gd::net
{
/// The match a Start message begins, the same on both sides; `events`: those of its first turn.
rules::Match startMatch(const Message& start, rules::Events* events = nullptr);
/// The role of the side that joined the host of `start`.
inline rules::Role guestRole(const Message& start)
{
    return start.hostRole == rules::Role::Runner ? rules::Role::Builder : rules::Role::Runner;
}

/// Keeps this game's match in step with the friend's: both play the same rules from the same start,
/// and only actions and clocks travel. The role whose turn it is owns the clock: its side lets time
/// pass as its frames go and says where its clock stands; the other side lets time pass only as far
/// as it was told, applies the friend's actions at their stamps, and so never runs ahead. As each
/// turn begins both sides send the match's digest; any difference, any action of the wrong role,
/// out of turn or refused by the rules, and a friend's clock that stalls, closes the link with one
/// line. Nothing here waits.
class Lockstep
{
public:
    /// Milliseconds of its own turn between two clocks the owner sends.
    static constexpr int ClockEveryMs = 100;
    /// Digests of turns not yet compared that may wait.
    static constexpr std::size_t MaxPendingDigests = 8;
    /// Milliseconds one frame passes to the rules at most: a stalled frame does not burn the turn.
    static constexpr int MaxFrameMs = 100;
    /// Milliseconds beyond a turn's limit the friend may own it without moving its clock.
    static constexpr int StalledClockMs = 5000;

    /// `match`: just started, the same on both sides; `local`: this side's role.
    Lockstep(Link& link, rules::Role local, rules::Match& match);

    /// Applies an action of this side's role; when the rules accept it, it goes to the friend.
    /// False when the rules refused it or it is not this side's turn (the events say which).
    bool act(const rules::Action& action, rules::Events& events);
    /// Takes the friend's messages and lets this frame's `ms` pass as far as the match may.
    void update(int ms, rules::Events& events);
    /// Pauses or resumes the match on both sides: one pause for both, so either side's press
    /// ends the other's.
    void setPaused(bool paused);
    bool paused() const { return m_paused; }
    /// Who paused the match, or resumed it last. When both press at once, both name the Runner.
    rules::Role pausedBy() const { return m_pausedBy; }
    /// A pause ended in the turn under way.
    bool resumed() const { return !m_paused && m_resumedTurn == m_match.turnNumber; }

    rules::Role local() const { return m_local; }
    rules::Role remote() const
    {
        return m_local == rules::Role::Runner ? rules::Role::Builder : rules::Role::Runner;
    }
    /// The friend's actions applied so far, stamped: the match's log takes them from here.
    std::vector<rules::MatchLog::Entry> takeRemoteActions();
    /// Turns compared with the friend's so far.
    int comparedTurns() const { return m_compared; }
    /// The link closed: why, one line; empty while all is well.
    bool failed() const { return !m_problem.empty(); }
    const std::string& problem() const { return m_problem; }

private:
    Stamp clock() const { return {m_match.turnNumber, m_match.turnMs}; }
    bool owns() const;
    void handle(const Message& message, rules::Events& events);
    /// Applies the friend's action at its stamp, or closes the link saying why not.
    void takeAction(const Message& message, rules::Events& events);
    /// Lets time pass towards `target`, the rest of a turn at a time, but never into this side's
    /// own turn; false, closing the link with `line`, when the match is not at `target` then.
    bool follow(Stamp target, rules::Events& events, const std::string& line);
    /// Checks a stamp of the friend: never back, never past a turn's limit, at it only when
    /// `atLimit` (a clock may say the match ended there).
    bool plausible(Stamp stamp, bool atLimit) const;
    /// Notes and sends the digests of the turns that began in `events` from `from` on.
    void noteTurns(const rules::Events& events, std::size_t from);
    void compare(int turn);
    void fail(ByeReason reason, const std::string& line);

    Link& m_link;
    rules::Role m_local;
    rules::Match& m_match;
    Stamp m_remoteClock;
    Stamp m_lastClockSent;
    int m_sinceClockMs = 0;
    int m_stalledMs = 0;
    bool m_paused = false;
    rules::Role m_pausedBy = rules::Role::Runner;
    int m_resumedTurn = -1;
    std::map<int, std::uint64_t> m_localDigests;
    std::map<int, std::uint64_t> m_remoteDigests;
    int m_compared = 0;
    std::vector<rules::MatchLog::Entry> m_remoteActions;
    std::string m_problem;
};
} // namespace orv_gd::net
