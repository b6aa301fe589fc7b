#pragma once

#include "net/RelayAddress.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

struct mosquitto;
struct mosquitto_message;

namespace orv_gd::net
{
/// The MQTT client under a RelayLink: its set-up (the login, the host's will, TLS with the system's
/// authorities or the player's), and the inbox where its own thread leaves what the relay brought
/// until the game's thread takes it. Everything the client library is asked goes through here.
class RelayClient
{
public:
    /// What the client's thread saw, in the order it saw it.
    struct Event
    {
        enum class Kind
        {
            Connected,
            Disconnected,
            Arrived,
            TlsError
        } kind = Kind::Arrived;
        int rc = 0;
        std::string topic;
        std::vector<std::uint8_t> payload;
    };

    /// What the inbox holds for the game's thread; more is dropped, and counted.
    static constexpr std::size_t MaxInbox = 4096;

    RelayClient() = default;
    ~RelayClient();
    RelayClient(const RelayClient&) = delete;
    RelayClient& operator=(const RelayClient&) = delete;

    /// Readies the client library, once per process, on the game's thread.
    static void initLibrary();
    /// Makes the client and starts connecting without waiting; `will`: the topic the relay empties
    /// when this client vanishes (none when empty). A line when it cannot start; empty otherwise.
    std::string start(const RelayOptions& options, const std::string& will);
    bool exists() const { return m_client != nullptr; }
    void subscribe(const std::string& topic);
    /// Sent at least once; while the relay is away the client keeps it.
    void publish(const std::string& topic, const std::vector<std::uint8_t>& bytes, bool retain);
    void disconnect();
    /// Up to `most` events, oldest first; `dropped`: how many a full inbox turned away since the
    /// last take.
    std::deque<Event> take(std::size_t most, std::size_t& dropped);
    /// Why the relay refused a connection, from its return code.
    static std::string refusal(int rc);

private:
    static void onConnect(mosquitto* client, void* self, int rc);
    static void onDisconnect(mosquitto* client, void* self, int rc);
    static void onMessage(mosquitto* client, void* self, const mosquitto_message* message);
    static void onLog(mosquitto* client, void* self, int level, const char* text);
    void post(Event event);
    /// The relay's certificate authority for TLS; a line when it cannot be used.
    std::string setUpTls(const RelayOptions& options);

    mosquitto* m_client = nullptr;
    bool m_loopRunning = false;
    std::mutex m_mutex;
    std::deque<Event> m_inbox;
    std::size_t m_overflow = 0;
};
} // namespace orv_gd::net
