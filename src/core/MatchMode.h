#pragma once

#include <array>

namespace orv_gd
{
/// Who plays which role in the next match, chosen on the menu.
enum class MatchMode
{
    TwoPlayers,      ///< Space: two people, as always
    ComputerBuilder, ///< key 1: you run, the computer builds
    ComputerRunner,  ///< key 2: you build, the computer runs
    ComputerBoth,    ///< key 3: the computer plays both roles
    NetworkHost,     ///< H: this game hosts a friend's over the network, each plays one role
    NetworkJoin      ///< J: this game joined a friend's host over the network
};

inline bool isNetwork(MatchMode mode)
{
    return mode == MatchMode::NetworkHost || mode == MatchMode::NetworkJoin;
}

inline bool computerRuns(MatchMode mode)
{
    return mode == MatchMode::ComputerRunner || mode == MatchMode::ComputerBoth;
}

inline bool computerBuilds(MatchMode mode)
{
    return mode == MatchMode::ComputerBuilder || mode == MatchMode::ComputerBoth;
}

/// How well and how fast a computer role plays.
enum class Difficulty
{
    Easy,
    Normal,
    Hard
};

constexpr std::array<Difficulty, 3> Difficulties{Difficulty::Easy, Difficulty::Normal, Difficulty::Hard};

/// "easy", "normal" or "hard": as the menu shows it and the settings file keeps it.
inline const char* difficultyName(Difficulty level)
{
    switch (level)
    {
    case Difficulty::Easy:
        return "easy";
    case Difficulty::Hard:
        return "hard";
    case Difficulty::Normal:
        break;
    }
    return "normal";
}

/// The level of each computer role; a role a person plays ignores its own.
struct ComputerLevels
{
    Difficulty runner = Difficulty::Normal;
    Difficulty builder = Difficulty::Normal;

    bool operator==(const ComputerLevels& other) const
    {
        return runner == other.runner && builder == other.builder;
    }
    bool operator!=(const ComputerLevels& other) const { return !(*this == other); }
};
} // namespace orv_gd
