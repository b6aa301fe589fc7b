#pragma once

#include "net/Link.h"
#include "net/RelayAddress.h"
#include "net/RelayClient.h"
#include "net/SealedFrames.h"

#include <cstdint>
#include <deque>
#include <future>
#include <string>
#include <vector>

namespace orv_gd::net
{
/// The connection to the friend's game through an MQTT relay, met by a join code. Both games connect
/// outwards, so neither forwards a port. The topics and the key come from the code (see
/// SealedFrames); the host keeps a sealed "door" message on the relay while it waits, so a friend with
/// a wrong code learns at once that nobody waits, and a second one that the game is taken. Each side
/// numbers its frames and keeps them until the other acknowledges them: after the relay restarts both
/// send again what was not acknowledged, and a repeated number is dropped, so no action is lost or
/// played twice. The client runs on its own thread; `update` only takes what it brought.
class RelayLink : public Link
{
public:
    enum class State
    {
        Idle,
        Connecting, ///< hashing the code, then reaching the relay
        Waiting,    ///< the host waits for a friend; the friend looks for the host's door
        Greeting,   ///< the friend greeted the host and waits for its greeting
        Open,
        Closed
    };

    static constexpr int HeartbeatMs = 1000;
    static constexpr int ConnectMs = 5000;
    /// How long a friend looks for the host's door once on the relay.
    static constexpr int DoorMs = 3000;
    static constexpr int GreetMs = 5000;
    /// Longer than GoneMs: a friend who lost the relay says so before this side calls it lost.
    static constexpr int SilenceMs = 15000;
    static constexpr int GoneMs = 10000;
    /// A side that missed frames asks for them again at most this often.
    static constexpr int AskMs = 500;
    /// Set in a frame's acknowledgement: "send again what I have not acknowledged".
    static constexpr std::uint32_t ResendBit = 0x80000000u;
    static constexpr std::size_t MaxUnacked = 2048;
    static constexpr std::size_t MaxIncoming = 4096;
    static constexpr std::size_t MaxNotes = 64;

    RelayLink(std::string version, RelayOptions options);
    ~RelayLink() override;
    RelayLink(const RelayLink&) = delete;
    RelayLink& operator=(const RelayLink&) = delete;

    /// Waits for a friend who has `code`; false, with the problem, when it cannot start.
    bool host(const std::string& code);
    /// Joins the host waiting with `code`.
    bool join(const std::string& code);
    /// Takes what the relay brought, greets, beats the heart, sends again what was not acknowledged;
    /// `ms`: the time since the last update.
    void update(int ms);

    State getState() const { return m_state; }
    bool isHost() const { return m_hosting; }
    const std::string& getCode() const { return m_code; }
    /// Connected to the relay now (it may be away for a while mid-match).
    bool isOnRelay() const { return m_connected; }
    /// Frames dropped and joiners turned away, a line each; taken once.
    std::vector<std::string> takeNotes();
    /// Bytes of sealed frames published so far.
    std::size_t bytesSent() const { return m_bytesSent; }

    void send(const Message& message) override;
    bool receive(Message& message) override;
    bool isOpen() const override { return m_state == State::Open; }
    void close(ByeReason reason, const std::string& line) override;
    const std::string& problem() const override { return m_problem; }

private:
    using Event = RelayClient::Event;
    struct Sent
    {
        std::uint32_t number = 0;
        std::vector<std::uint8_t> bytes;
    };

    bool begin(const std::string& code);
    /// On its own thread: the code's hash, then the client; a line when it cannot start.
    std::string start(const std::string& code);
    void connected();
    void arrive(const Event& event);
    /// The host's door, seen by a joining side: a greeting to answer, or the game taken.
    void arriveAtDoor(const Event& event);
    void arriveAtHost(const std::string& guest, const Event& event);
    void receiveInOrder(const SealedFrames::Frame& frame);
    void deliver(const Message& message);
    void sendSealed(const Message& message);
    void publish(const std::string& topic, const std::vector<std::uint8_t>& bytes, bool retain);
    void resend();
    void openDoor(bool waiting);
    void tick(int ms);
    void note(const std::string& line);
    void finish(const std::string& line);
    std::string outTopic() const;
    std::string inTopic() const;
    std::string doorTopic() const { return m_frames.root() + "/door"; }

    std::string m_version;
    RelayOptions m_options;
    State m_state = State::Idle;
    bool m_hosting = false;
    std::string m_code;
    std::future<std::string> m_starting;
    SealedFrames m_frames;
    /// Frames dropped by a full inbox are sent again later, as any frame not acknowledged.
    RelayClient m_client;
    /// The friend's own topic part: the joining side's id, chosen at random per join.
    std::string m_guest;

    bool m_connected = false;
    bool m_everConnected = false;
    std::string m_tlsError;
    std::uint32_t m_sent = 0;
    std::uint32_t m_received = 0;
    std::deque<Sent> m_unacked;
    std::deque<Message> m_in;
    std::vector<std::string> m_notes;
    std::size_t m_notesDropped = 0;
    std::string m_problem;
    std::size_t m_bytesSent = 0;
    bool m_heard = false;
    int m_waitMs = 0;
    int m_silentMs = 0;
    int m_beatMs = 0;
    int m_askedMs = 0;
    bool m_ask = false;
};
} // namespace orv_gd::net
