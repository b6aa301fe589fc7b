#pragma once

#include "rules/Match.h"
#include "rules/MatchLog.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orv_gd::rules
{
/// A match kept as text, one line each: the format and its version, a header (the game's version,
/// the generator's seed and draws, the mode, the field's size, the turn time, the date), one line
/// per applied action ("12 3416 drop 14 9": turn, millisecond in the turn, action), one line per
/// hint a player asked for ("hint 12 3000": turn, millisecond; since format 2, and read in any
/// version) and a last line with how it ended, where the clock stood and a digest of the final match:
///
///     tumbrelt-replay 2
///     game 1.0.0
///     generator 1 0
///     mode two-players
///     size 50 15
///     turn-time 10000
///     date 2026-12-07T14:03:22+0100
///     1 1520 drop 12 6
///     hint 2 800
///     ...
///     end runner-won turn 14 ms 2310 digest 0123456789abcdef
///
/// Reading it back trusts nothing: every line is checked, the header's numbers must make a match the
/// game plays (MatchConfig::problem), the actions are played through the rules and the end must come
/// out as recorded.
class ReplayFile
{
public:
    static constexpr int Version = 2;
    static constexpr const char* Magic = "tumbrelt-replay";
    /// Larger files, and longer lines, are no replay this game wrote.
    static constexpr std::size_t MaxBytes = 1024 * 1024;
    static constexpr std::size_t MaxLineLength = 200;

    /// How a match ended, as the end line says it.
    enum class Result
    {
        RunnerWon,
        BuilderWon,
        Left
    };

    /// What the header says beyond the log itself.
    struct Info
    {
        std::string gameVersion;
        std::string mode; ///< "two-players", "computer-builder", "computer-runner", "computer-both",
                          ///< "network-host", "network-join"
        std::string date; ///< "2026-12-07T14:03:22+0100"
    };

    /// A replay as read: the log, what its header says, and its end line.
    struct Replay
    {
        MatchLog log;
        Info info;
        Result result = Result::Left;
        std::uint64_t digest = 0;
        /// The file's line of each entry of the log, and of the end line.
        std::vector<int> entryLines;
        int endLine = 0;
    };

    /// The text of a finished log (see MatchLog::finish) and the match it ended with.
    static std::string write(const MatchLog& log, const Match& end, const Info& info);

    /// Reads a replay from `text`; `name` names it in the errors. False, with one line in `error`
    /// ("name:17: ..."), when the text is not a replay this game can play.
    static bool parse(const std::string& text, const std::string& name, Replay& replay, std::string& error);
    /// Reads the file at `path` (at most MaxBytes); as parse, with the path as the name.
    static bool load(const std::string& path, Replay& replay, std::string& error);
    /// `name` as a line may show it: control characters (and the backslash) as \xNN.
    static std::string printable(const std::string& name);
    /// Plays a parsed replay through the rules alone: true, with the match as it ended in `end`, when
    /// every action is accepted where it stands and the end comes out as recorded; else one line in
    /// `error` naming the line at fault.
    static bool check(const Replay& replay, const std::string& name, Match& end, std::string& error);
    /// load, then check.
    static bool loadChecked(const std::string& path, Replay& replay, std::string& error);

    /// How the match ended in a few words, counting the Runner's turns as the end screen does:
    /// "runner won in 7 Runner turns", "builder won: ran out of turns, in Runner turn 51",
    /// "builder won: a third reset, in Runner turn 4", "left in turn 7".
    static std::string describe(const Match& match);
    /// The end line's word for how a match ended: "runner-won", "builder-won", "left".
    static const char* resultName(Result result);
    static Result resultOf(const Match& match);

    /// An action as a line of the file says it ("drop 14 9"), and back; false for no action.
    static std::string actionText(const Action& action);
    static bool parseAction(const std::string& text, Action& action);
};
} // namespace orv_gd::rules
