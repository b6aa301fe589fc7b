#include "net/Session.h"

#include <SFML/Network/IpAddress.hpp>

#include <algorithm>
#include <array>
#include <cctype>

namespace orv_gd::net
{
namespace
{
/// Reads of the socket per update at most, so a flood cannot hold a frame.
constexpr int ReadsPerUpdate = 16;
constexpr std::size_t ReadChunk = 4096;

/// A version a line may show: digits and dots, as this game numbers its own; anything else a
/// stranger says is not repeated.
bool plainVersion(const std::string& version)
{
    const bool digitsAndDots =
        std::all_of(version.begin(), version.end(),
                    [](char c) { return c == '.' || std::isdigit(static_cast<unsigned char>(c)); });
    return digitsAndDots && !version.empty() && version.size() <= 16 && version.front() != '.';
}
} // namespace

Session::Session(std::string version) : m_version(std::move(version)) {}

std::string Session::greetingProblem(const Message& hello, const std::string& version)
{
    if (hello.protocol != Message::ProtocolVersion)
    {
        return "your friend's game speaks network protocol " + std::to_string(hello.protocol) +
               ", this one " + std::to_string(Message::ProtocolVersion);
    }
    if (hello.version != version)
    {
        return "your friend runs " +
               (plainVersion(hello.version) ? "version " + hello.version : "another version") + ", this is " +
               version;
    }
    return {};
}

Session::~Session()
{
    if (m_state == State::Open || m_state == State::Greeting)
    {
        close(ByeReason::Quit, "");
    }
}

bool Session::host(unsigned short port)
{
    m_hosting = true;
    m_listener.setBlocking(false);
    if (m_listener.listen(port) != sf::Socket::Done)
    {
        finish("cannot wait for a friend on port " + std::to_string(port) + ": it is taken or not allowed");
        return false;
    }
    m_state = State::Waiting;
    return true;
}

bool Session::join(const std::string& address, unsigned short port)
{
    m_hosting = false;
    m_target = address + ":" + std::to_string(port);
    const sf::IpAddress ip(address);
    if (ip == sf::IpAddress::None || ip == sf::IpAddress::Any)
    {
        finish("cannot find the address " + address);
        return false;
    }
    m_socket = std::make_unique<sf::TcpSocket>();
    m_socket->setBlocking(false);
    const sf::Socket::Status status = m_socket->connect(ip, port);
    if (status == sf::Socket::Error || status == sf::Socket::Disconnected)
    {
        finish("nobody answers at " + m_target);
        return false;
    }
    m_state = State::Connecting;
    m_connectMs = 0;
    return true;
}

unsigned short Session::getPort() const
{
    return m_listener.getLocalPort();
}

std::string Session::getFriendAddress() const
{
    return m_socket ? m_friendAddress : std::string();
}

std::vector<std::string> Session::takeNotes()
{
    std::vector<std::string> notes;
    notes.swap(m_notes);
    return notes;
}

void Session::update(int ms)
{
    ms = std::max(ms, 0);
    if (m_state == State::Waiting || m_state == State::Greeting || m_state == State::Open)
    {
        if (m_hosting)
        {
            accept();
        }
    }
    if (m_state == State::Connecting)
    {
        // Until it is made, a refused connection shows as an error on the socket; a byte read
        // meanwhile is the host's greeting.
        std::uint8_t probe = 0;
        std::size_t received = 0;
        const bool made = m_socket->getRemoteAddress() != sf::IpAddress::None;
        const sf::Socket::Status status =
            made ? sf::Socket::NotReady : m_socket->receive(&probe, 1, received);
        if (!made && received == 0)
        {
            m_connectMs += ms;
            if (status == sf::Socket::Error || status == sf::Socket::Disconnected)
            {
                finish("nobody answers at " + m_target);
            }
            else if (m_connectMs >= ConnectMs)
            {
                finish("could not reach " + m_target + " within " + std::to_string(ConnectMs / 1000) + " s");
            }
            return;
        }
        m_state = State::Greeting;
        m_silentMs = 0;
        m_greetMs = 0;
        m_friendAddress = m_socket->getRemoteAddress().toString();
        send(Message::hello(m_version));
        m_reader.feed(&probe, received);
    }
    if (m_state != State::Greeting && m_state != State::Open)
    {
        return;
    }
    m_heardThisUpdate = false;
    read();
    if (m_state != State::Greeting && m_state != State::Open)
    {
        return;
    }
    m_silentMs = m_heardThisUpdate ? 0 : m_silentMs + ms;
    // A greeting is due within the time of silence after connecting, however its bytes come.
    m_greetMs = m_state == State::Greeting ? m_greetMs + ms : 0;
    if (m_silentMs >= SilenceMs || m_greetMs >= SilenceMs)
    {
        if (m_state == State::Open)
        {
            drop("connection lost: no message from your friend for " + std::to_string(SilenceMs / 1000) +
                     " s",
                 false, ByeReason::Quit);
        }
        else
        {
            drop("your friend's game did not greet this one within " + std::to_string(SilenceMs / 1000) +
                     " s",
                 true, ByeReason::Refused);
        }
        return;
    }
    m_beatMs += ms;
    if (m_state == State::Open && m_beatMs >= HeartbeatMs)
    {
        m_beatMs = 0;
        send(Message::heartbeat());
    }
    flush();
}

void Session::accept()
{
    auto socket = std::make_unique<sf::TcpSocket>();
    // One a frame: a crowd at the door waits for the next ones.
    if (m_listener.accept(*socket) != sf::Socket::Done)
    {
        return;
    }
    socket->setBlocking(false);
    const std::string address = socket->getRemoteAddress().toString();
    if (m_state != State::Waiting)
    {
        const std::vector<std::uint8_t> bye = encode(Message::bye(ByeReason::Busy));
        std::size_t sent = 0;
        socket->send(bye.data(), bye.size(), sent);
        socket->disconnect();
        m_notes.push_back("turned away " + address + ": a friend is already here");
        return;
    }
    m_socket = std::move(socket);
    m_friendAddress = address;
    m_reader = FrameReader();
    m_out.clear();
    m_in.clear();
    m_state = State::Greeting;
    m_silentMs = 0;
    m_greetMs = 0;
    m_beatMs = 0;
    send(Message::hello(m_version));
    flush();
}

void Session::read()
{
    std::array<std::uint8_t, ReadChunk> chunk{};
    for (int i = 0; i < ReadsPerUpdate && (m_state == State::Greeting || m_state == State::Open); ++i)
    {
        std::size_t received = 0;
        const sf::Socket::Status status = m_socket->receive(chunk.data(), chunk.size(), received);
        if (status == sf::Socket::NotReady)
        {
            return;
        }
        if (status != sf::Socket::Done && status != sf::Socket::Partial)
        {
            drop(m_state == State::Open ? "connection lost: your friend's game closed the connection"
                                        : "the connection closed before the greeting",
                 false, ByeReason::Quit);
            return;
        }
        m_heardThisUpdate = m_heardThisUpdate || received > 0;
        m_reader.feed(chunk.data(), received);
        Message message;
        while ((m_state == State::Greeting || m_state == State::Open) && m_reader.next(message))
        {
            handle(message);
        }
        if (m_reader.failed() && (m_state == State::Greeting || m_state == State::Open))
        {
            drop("connection closed: " + m_reader.error(), true, ByeReason::Refused);
            return;
        }
    }
}

void Session::handle(const Message& message)
{
    if (message.type == Message::Type::Bye)
    {
        drop(m_state == State::Open || message.reason == ByeReason::Busy
                 ? byeLine(message.reason)
                 : "the connection closed before the greeting",
             false, message.reason);
        return;
    }
    if (m_state == State::Greeting)
    {
        if (message.type != Message::Type::Hello)
        {
            drop("connection closed: refused " + Message::named(message.type) +
                     " message before the greeting",
                 true, ByeReason::Refused);
            return;
        }
        // Both sides say it: the friend reads this side's greeting before the Bye. A waiting host
        // turns the caller away and waits on.
        if (const std::string problem = greetingProblem(message, m_version); !problem.empty())
        {
            drop(problem, true, ByeReason::Version);
            return;
        }
        m_state = State::Open;
        return;
    }
    if (message.type == Message::Type::Hello)
    {
        drop("connection closed: refused a second greeting", true, ByeReason::Refused);
        return;
    }
    if (message.type == Message::Type::Heartbeat)
    {
        return;
    }
    if (m_in.size() >= MaxIncoming)
    {
        drop("connection closed: your friend's game sends more than this one can take", true,
             ByeReason::Refused);
        return;
    }
    m_in.push_back(message);
}

void Session::flush()
{
    if (!m_socket || m_out.empty() || (m_state != State::Greeting && m_state != State::Open))
    {
        return;
    }
    std::size_t sent = 0;
    const sf::Socket::Status status = m_socket->send(m_out.data(), m_out.size(), sent);
    if (status == sf::Socket::Done)
    {
        m_out.clear();
    }
    else if (status == sf::Socket::Partial || status == sf::Socket::NotReady)
    {
        m_out.erase(m_out.begin(), m_out.begin() + static_cast<std::ptrdiff_t>(std::min(sent, m_out.size())));
    }
    else
    {
        drop("connection lost: your friend's game closed the connection", false, ByeReason::Quit);
    }
}

void Session::send(const Message& message)
{
    if (m_state != State::Greeting && m_state != State::Open)
    {
        return;
    }
    const std::vector<std::uint8_t> frame = encode(message);
    if (m_out.size() + frame.size() > MaxOutgoing)
    {
        drop("connection lost: your friend's game takes no messages", false, ByeReason::Quit);
        return;
    }
    m_out.insert(m_out.end(), frame.begin(), frame.end());
}

bool Session::receive(Message& message)
{
    if (m_in.empty())
    {
        return false;
    }
    message = m_in.front();
    m_in.pop_front();
    return true;
}

void Session::close(ByeReason reason, const std::string& line)
{
    if (m_state == State::Closed)
    {
        return;
    }
    if (m_state == State::Greeting || m_state == State::Open)
    {
        send(Message::bye(reason));
        flush();
    }
    finish(line);
}

void Session::drop(const std::string& line, bool sayBye, ByeReason reason)
{
    if (sayBye && m_socket && (m_state == State::Greeting || m_state == State::Open))
    {
        // Said once, as far as the socket takes it now: a caller that already hung up is no
        // reason to drop anything again.
        const std::vector<std::uint8_t> bye = encode(Message::bye(reason));
        m_out.insert(m_out.end(), bye.begin(), bye.end());
        std::size_t sent = 0;
        m_socket->send(m_out.data(), m_out.size(), sent);
    }
    if (m_hosting && m_state == State::Greeting)
    {
        // A caller that never greeted properly is sent away; the host waits on.
        m_notes.push_back("turned away " + getFriendAddress() + ": " + line);
        m_socket->disconnect();
        m_socket.reset();
        m_out.clear();
        m_reader = FrameReader();
        m_state = State::Waiting;
        return;
    }
    finish(line);
}

void Session::finish(const std::string& line)
{
    if (m_socket)
    {
        m_socket->disconnect();
    }
    m_listener.close();
    m_state = State::Closed;
    if (m_problem.empty())
    {
        m_problem = line;
    }
    m_out.clear();
}

bool Session::splitAddress(const std::string& text, unsigned short defaultPort, std::string& address,
                           unsigned short& port, std::string& error)
{
    address = text;
    port = defaultPort;
    const std::size_t colon = text.rfind(':');
    if (colon != std::string::npos)
    {
        address = text.substr(0, colon);
        const std::string digits = text.substr(colon + 1);
        bool fine = !digits.empty() && digits.size() <= 5;
        for (const char c : digits)
        {
            fine = fine && std::isdigit(static_cast<unsigned char>(c));
        }
        const long value = fine ? std::stol(digits) : 0;
        if (!fine || value < 1 || value > 65535)
        {
            error = "\"" + digits + "\" is not a port (1 to 65535)";
            return false;
        }
        port = static_cast<unsigned short>(value);
    }
    if (address.empty())
    {
        error = "no address before the port";
        return false;
    }
    return true;
}

std::string Session::byeLine(ByeReason reason)
{
    switch (reason)
    {
    case ByeReason::Quit:
        return "your friend left the match";
    case ByeReason::Busy:
        return "your friend's game already has a player";
    case ByeReason::Version:
        return "your friend's game cannot play with this one";
    case ByeReason::OutOfStep:
        return "out of step with your friend";
    case ByeReason::Refused:
        return "your friend's game refused a message from this one";
    case ByeReason::MatchOver:
        return "your friend left after the match";
    }
    return "your friend left";
}
} // namespace orv_gd::net
