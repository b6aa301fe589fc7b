#pragma once

#include "net/Link.h"

#include <SFML/Network/TcpListener.hpp>
#include <SFML/Network/TcpSocket.hpp>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace orv_gd::net
{
/// The connection between two games over TCP, driven by the frame: `update` never waits on the
/// network. The host waits on a port for one friend and turns away anyone else while it has one;
/// the friend joins at the host's address. Both greet with Hello, within five seconds of
/// connecting; a heartbeat goes out every second and five seconds without any message close it as
/// lost. A caller that does not greet properly is turned away and the host waits on. What it
/// holds stays bounded whatever comes in.
class Session : public Link
{
public:
    enum class State
    {
        Idle,
        Waiting,    ///< the host listens; nobody is greeting it
        Connecting, ///< joining: the connection is not made yet
        Greeting,   ///< connected: waiting for the friend's Hello
        Open,       ///< the friend is there
        Closed      ///< over; `problem()` says why
    };

    static constexpr int HeartbeatMs = 1000;
    static constexpr int SilenceMs = 5000;
    static constexpr int ConnectMs = 5000;
    /// Bytes waiting to go out before the friend counts as gone.
    static constexpr std::size_t MaxOutgoing = 64 * 1024;
    /// Messages come in but not taken before the friend counts as flooding.
    static constexpr std::size_t MaxIncoming = 4096;

    /// `version`: this game's, said in the greeting; a friend must run the same.
    explicit Session(std::string version);
    ~Session() override;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    /// Waits for a friend on `port` (0: any free port, see `getPort`); false, with the problem,
    /// when the port cannot be had.
    bool host(unsigned short port);
    /// Joins the friend hosting at `address` (an IP address or a name) and `port`.
    bool join(const std::string& address, unsigned short port);
    /// Reads and writes what the network has ready, greets, beats the heart and notices silence;
    /// `ms`: the time since the last update.
    void update(int ms);

    State getState() const { return m_state; }
    bool isHost() const { return m_hosting; }
    /// The port the host listens on.
    unsigned short getPort() const;
    /// The friend's address, once connected.
    std::string getFriendAddress() const;
    /// What happened to connections the waiting host turned away, a line each; taken once.
    std::vector<std::string> takeNotes();

    void send(const Message& message) override;
    bool receive(Message& message) override;
    bool isOpen() const override { return m_state == State::Open; }
    void close(ByeReason reason, const std::string& line) override;
    const std::string& problem() const override { return m_problem; }

    /// "ADDRESS[:PORT]" to an address and a port; false, with one line in `error`, when it is not one.
    static bool splitAddress(const std::string& text, unsigned short defaultPort, std::string& address,
                             unsigned short& port, std::string& error);
    /// The line shown when the friend leaves for `reason`.
    /// Why a friend's greeting is turned away, one line (empty: it may play): another network
    /// protocol, or another version, named only when it is a plain version number.
    static std::string greetingProblem(const Message& hello, const std::string& version);
    static std::string byeLine(ByeReason reason);

private:
    void accept();
    void read();
    void flush();
    void handle(const Message& message);
    /// Ends the connection to the friend: the host without a friend yet waits on, else it is closed.
    void drop(const std::string& line, bool sayBye, ByeReason reason);
    void finish(const std::string& line);

    std::string m_version;
    State m_state = State::Idle;
    bool m_hosting = false;
    sf::TcpListener m_listener;
    std::unique_ptr<sf::TcpSocket> m_socket;
    std::string m_target;
    FrameReader m_reader;
    std::vector<std::uint8_t> m_out;
    std::deque<Message> m_in;
    std::vector<std::string> m_notes;
    std::string m_problem;
    bool m_heardThisUpdate = false;
    int m_silentMs = 0;
    int m_beatMs = 0;
    int m_connectMs = 0;
    int m_greetMs = 0;
    std::string m_friendAddress;
};
} // namespace orv_gd::net
