#pragma once

#include "net/Protocol.h"

#include <string>

namespace orv_gd::net
{
/// A connection to the friend's game as the match sees it: messages go out and come in, in order,
/// until it closes with one line saying why.
class Link
{
public:
    virtual ~Link() = default;

    /// Sends a message; nothing happens once the link is closed.
    virtual void send(const Message& message) = 0;
    /// The next message of the friend's game, if one has come.
    virtual bool receive(Message& message) = 0;
    /// The friend is there and the greetings matched.
    virtual bool isOpen() const = 0;
    /// Sends Bye with `reason` and closes, with `line` as what went wrong (empty: nothing did).
    virtual void close(ByeReason reason, const std::string& line) = 0;
    /// Why the link closed, one line; empty while it is open or when it closed as planned.
    virtual const std::string& problem() const = 0;
};
} // namespace orv_gd::net
