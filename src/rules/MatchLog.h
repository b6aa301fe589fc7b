#pragma once

#include "rules/Action.h"
#include "rules/Event.h"
#include "rules/Match.h"
#include "rules/Rng.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orv_gd::rules
{
/// A match as it was played: where its generator stood, its numbers, each applied action stamped
/// with its turn and its millisecond in the turn, and a digest of the match as each turn began.
/// Replayed through the rules alone it gives the same match, whatever frames played it.
class MatchLog
{
public:
    struct Entry
    {
        int turn = 0;
        int ms = 0;
        Action action;
    };

    /// When a player asked for a hint: a turn and its millisecond.
    struct Stamp
    {
        int turn = 0;
        int ms = 0;
    };

    MatchLog(const Rng& start = Rng(), const MatchConfig& config = {});

    /// Notes an action the rules accepted, stamped with the turn and time the match had before it.
    void record(int turn, int ms, const Action& action);
    /// Notes a hint asked at turn `turn`, millisecond `ms`; it changes nothing in the match.
    void recordHint(int turn, int ms) { m_hints.push_back({turn, ms}); }
    /// Notes the digests of the turns these events began.
    void noteTurns(const Events& events);
    /// Notes where the match stood when it was left or ended.
    void finish(const Match& match);
    /// Notes an end read back from a saved log: ended or left at turn `turn`, millisecond `ms`.
    void finishAt(int turn, int ms, bool ended);

    const Rng& getStart() const { return m_start; }
    const MatchConfig& getConfig() const { return m_config; }
    const std::vector<Entry>& getEntries() const { return m_entries; }
    const std::vector<Stamp>& getHints() const { return m_hints; }
    const std::vector<std::uint64_t>& getTurnDigests() const { return m_turnDigests; }
    bool hasEnded() const { return m_ended; }
    int getEndTurn() const { return m_endTurn; }
    int getEndMs() const { return m_endMs; }

    /// Plays the log through the rules alone. On a fault (an action stamped out of order or refused,
    /// a turn that begins otherwise than it did) it stops there and says why in `error`, naming the
    /// entry (1 for the first). `faultyEntry`, when given, receives that entry's number alone (0 for
    /// a fault at the end) and `error` then says only why. A log read back from a file has no turn
    /// digests: its turns are not compared. With `frameMs` above 0 time passes in slices of at most
    /// that many milliseconds, as frames would feed it: the match must come out the same.
    Match replay(std::string* error = nullptr, int frameMs = 0, std::size_t* faultyEntry = nullptr) const;

    /// Lets time pass until the match's clock reads turn `turn`, millisecond `ms`, or it ends; in
    /// slices of at most `frameMs` when that is above 0.
    static void advanceTo(Match& match, int turn, int ms, Events& events, int frameMs = 0);

private:
    Rng m_start;
    MatchConfig m_config;
    std::vector<Entry> m_entries;
    std::vector<Stamp> m_hints;
    std::vector<std::uint64_t> m_turnDigests;
    int m_endTurn = 0;
    int m_endMs = 0;
    bool m_ended = false;
};
} // namespace orv_gd::rules
