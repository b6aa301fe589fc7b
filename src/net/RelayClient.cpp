#include "net/RelayClient.h"

#include "net/Protocol.h"
#include "net/SealedFrames.h"

#include <mosquitto.h>

#include <algorithm>
#include <cstring>

namespace orv_gd::net
{
namespace
{
constexpr int KeepAliveSeconds = 5;
} // namespace

RelayClient::~RelayClient()
{
    if (m_client)
    {
        mosquitto_disconnect(m_client);
        if (m_loopRunning)
        {
            mosquitto_loop_stop(m_client, false);
        }
        mosquitto_destroy(m_client);
    }
}

void RelayClient::initLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

std::string RelayClient::start(const RelayOptions& options, const std::string& will)
{
    const std::string& relay = options.address.text;
    m_client = mosquitto_new(nullptr, true, this);
    if (!m_client)
    {
        return "cannot start a client for the relay at " + relay;
    }
    mosquitto_connect_callback_set(m_client, onConnect);
    mosquitto_disconnect_callback_set(m_client, onDisconnect);
    mosquitto_message_callback_set(m_client, onMessage);
    mosquitto_log_callback_set(m_client, onLog);
    mosquitto_reconnect_delay_set(m_client, 1, 2, false);
    // Frames are small and each one matters at once: no waiting to fill a packet.
    mosquitto_int_option(m_client, MOSQ_OPT_TCP_NODELAY, 1);
    if (!will.empty())
    {
        mosquitto_will_set(m_client, will.c_str(), 0, nullptr, 1, true);
    }
    if (!options.username.empty())
    {
        mosquitto_username_pw_set(m_client, options.username.c_str(),
                                  options.password.empty() ? nullptr : options.password.c_str());
    }
    if (const std::string problem = setUpTls(options); !problem.empty())
    {
        return problem;
    }
    if (mosquitto_loop_start(m_client) != MOSQ_ERR_SUCCESS)
    {
        return "cannot start a client for the relay at " + relay;
    }
    m_loopRunning = true;
    const int rc = mosquitto_connect_async(m_client, options.address.host.c_str(), options.address.port,
                                           KeepAliveSeconds);
    if (rc == MOSQ_ERR_EAI)
    {
        return "cannot find the relay at " + relay;
    }
    if (rc == MOSQ_ERR_TLS)
    {
        // The handshake's reason, if the client said one, came before this.
        post({Event::Kind::TlsError, 1, {}, {}});
    }
    return {};
}

std::string RelayClient::setUpTls(const RelayOptions& options)
{
    if (!options.address.tls)
    {
        return {};
    }
    const int rc = options.caFile.empty() ? mosquitto_int_option(m_client, MOSQ_OPT_TLS_USE_OS_CERTS, 1)
                                          : mosquitto_tls_set(m_client, options.caFile.c_str(), nullptr,
                                                              nullptr, nullptr, nullptr);
    if (rc != MOSQ_ERR_SUCCESS)
    {
        return "cannot use the relay's certificate authority " + options.caFile + ": " +
               mosquitto_strerror(rc);
    }
    return {};
}

void RelayClient::subscribe(const std::string& topic)
{
    mosquitto_subscribe(m_client, nullptr, topic.c_str(), 1);
}

void RelayClient::publish(const std::string& topic, const std::vector<std::uint8_t>& bytes, bool retain)
{
    mosquitto_publish(m_client, nullptr, topic.c_str(), static_cast<int>(bytes.size()), bytes.data(), 1,
                      retain);
}

void RelayClient::disconnect()
{
    mosquitto_disconnect(m_client);
}

std::string RelayClient::refusal(int rc)
{
    switch (rc)
    {
    case 4:
        return "a wrong user name or password";
    case 5:
        return "not allowed";
    default:
        return mosquitto_connack_string(rc);
    }
}

void RelayClient::onConnect(mosquitto*, void* self, int rc)
{
    static_cast<RelayClient*>(self)->post({Event::Kind::Connected, rc, {}, {}});
}

void RelayClient::onDisconnect(mosquitto*, void* self, int rc)
{
    static_cast<RelayClient*>(self)->post({Event::Kind::Disconnected, rc, {}, {}});
}

void RelayClient::onMessage(mosquitto*, void* self, const mosquitto_message* message)
{
    const auto* bytes = static_cast<const std::uint8_t*>(message->payload);
    // Nothing a frame may be is longer than this: a bigger payload is not copied.
    const std::size_t size = static_cast<std::size_t>(std::max(message->payloadlen, 0));
    const std::size_t kept = std::min(size, Message::MaxFrame + SealedFrames::Overhead + 2);
    static_cast<RelayClient*>(self)->post({Event::Kind::Arrived, static_cast<int>(size), message->topic,
                                           std::vector<std::uint8_t>(bytes, bytes + kept)});
}

void RelayClient::onLog(mosquitto*, void* self, int level, const char* text)
{
    if (level == MOSQ_LOG_ERR && (std::strstr(text, "OpenSSL") || std::strstr(text, "TLS")))
    {
        // "OpenSSL Error[0]: error:0A000086:SSL routines::certificate verify failed": the last part.
        const char* colon = std::strrchr(text, ':');
        std::string why = colon ? colon + 1 : text;
        why.erase(0, why.find_first_not_of(' '));
        static_cast<RelayClient*>(self)->post({Event::Kind::TlsError, 0, why, {}});
    }
}

void RelayClient::post(Event event)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_inbox.size() >= MaxInbox)
    {
        ++m_overflow;
        return;
    }
    m_inbox.push_back(std::move(event));
}

std::deque<RelayClient::Event> RelayClient::take(std::size_t most, std::size_t& dropped)
{
    std::deque<Event> events;
    const std::lock_guard<std::mutex> lock(m_mutex);
    const std::size_t taken = std::min(m_inbox.size(), most);
    events.assign(std::make_move_iterator(m_inbox.begin()),
                  std::make_move_iterator(m_inbox.begin() + static_cast<std::ptrdiff_t>(taken)));
    m_inbox.erase(m_inbox.begin(), m_inbox.begin() + static_cast<std::ptrdiff_t>(taken));
    dropped = 0;
    std::swap(dropped, m_overflow);
    return events;
}
} // namespace orv_gd::net
