#pragma once

#include "rules/Match.h"

#include <string>

namespace orv_gd
{
/// The friend's game at the other end of a network match, as the game's core sees it: the core keeps
/// the connection going in every screen (the tutorial and the end screen too) and shows its faults.
/// What travels and how lives in the layers above.
class NetworkFriend
{
public:
    virtual ~NetworkFriend() = default;

    /// Reads and writes what the network has ready; `ms`: the time since the last frame.
    virtual void update(int ms) = 0;
    /// Why the connection broke since the last call, one line, taken once; empty while all is well
    /// or when this side left.
    virtual std::string takeProblem() = 0;
    /// This side leaves: the friend is told (the match over, or left) and the connection closes.
    virtual void leave() = 0;
    /// This side's role in the match begun.
    virtual rules::Role localRole() const = 0;
    /// The turn's limit of the match begun, in milliseconds; 0 before it begins.
    virtual int turnLimitMs() const = 0;
};
} // namespace orv_gd
