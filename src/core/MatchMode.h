#pragma once

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
} // namespace orv_gd
