#pragma once

#include <string>

namespace orv_gd::net
{
/// Where the relay is: "HOST[:PORT]", or "mqtts://HOST[:PORT]" for TLS.
struct RelayAddress
{
    static constexpr unsigned short DefaultPort = 1883;
    static constexpr unsigned short DefaultTlsPort = 8883;

    std::string host;
    unsigned short port = DefaultPort;
    bool tls = false;
    /// As the player wrote it, without "mqtts://": what the lines name.
    std::string text;

    /// False, with one line in `error`, when `text` is not a relay's address.
    static bool parse(const std::string& text, RelayAddress& address, std::string& error);
};

/// How to reach the relay: its address, and what the settings give for it.
struct RelayOptions
{
    RelayAddress address;
    /// The authority the relay's certificate must come from; empty: the system's.
    std::string caFile;
    std::string username;
    std::string password;
};
} // namespace orv_gd::net
