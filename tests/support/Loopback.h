#pragma once

#include "net/Session.h"

#include <chrono>
#include <functional>
#include <initializer_list>
#include <thread>

namespace orv_gd::test
{
/// Runs `tick` until `done`, at most `rounds` times, a millisecond's sleep after each so the loopback
/// has time to carry what was sent.
inline bool pumpUntil(const std::function<void()>& tick, const std::function<bool()>& done, int rounds = 2000)
{
    for (int i = 0; i < rounds; ++i)
    {
        if (done())
        {
            return true;
        }
        tick();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

/// Updates the links (sessions, relay links: anything with `update(int ms)`) `ms` at a time until `done`.
template <class L>
bool pump(std::initializer_list<L*> links, const std::function<bool()>& done, int ms = 10, int rounds = 3000)
{
    return pumpUntil(
        [&]
        {
            for (L* link : links)
            {
                link->update(ms);
            }
        },
        done, rounds);
}

/// `host` waits on a free port of 127.0.0.1 and `guest` joins it; true once both are open.
inline bool connect(net::Session& host, net::Session& guest)
{
    return host.host(0) && guest.join("127.0.0.1", host.getPort()) &&
           pump(
               {&host, &guest}, [&] { return host.isOpen() && guest.isOpen(); }, 1);
}
} // namespace orv_gd::test
