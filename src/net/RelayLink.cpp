#include "net/RelayLink.h"

#include "net/Session.h"

#include <sodium.h>

#include <algorithm>
#include <chrono>

namespace orv_gd::net
{
namespace
{
/// Events taken per update at most, so a flood cannot hold a frame.
constexpr std::size_t EventsPerUpdate = 512;

std::string randomId()
{
    std::uint8_t bytes[8];
    randombytes_buf(bytes, sizeof bytes);
    char hex[2 * sizeof bytes + 1] = {};
    sodium_bin2hex(hex, sizeof hex, bytes, sizeof bytes);
    return hex;
}
} // namespace

RelayLink::RelayLink(std::string version, RelayOptions options)
    : m_version(std::move(version)), m_options(std::move(options))
{
}

RelayLink::~RelayLink()
{
    if (m_state == State::Open || m_state == State::Greeting)
    {
        close(ByeReason::Quit, "");
    }
    if (m_starting.valid())
    {
        m_starting.wait();
    }
    finish("");
    // The client, a member, leaves the relay and stops its thread after this.
}

bool RelayLink::host(const std::string& code)
{
    m_hosting = true;
    return begin(code);
}

bool RelayLink::join(const std::string& code)
{
    m_hosting = false;
    m_guest = randomId();
    return begin(code);
}

bool RelayLink::begin(const std::string& code)
{
    RelayClient::initLibrary();
    m_code = code;
    if (sodium_init() < 0)
    {
        finish("cannot seal frames: the system's random source is not ready");
        return false;
    }
    m_state = State::Connecting;
    m_waitMs = 0;
    // The code's hash takes a third of a second and finding the relay's address may take longer:
    // both happen beside the frames, not in one. Nothing else touches the client meanwhile.
    m_starting = std::async(std::launch::async, [this, code] { return start(code); });
    return true;
}

std::string RelayLink::start(const std::string& code)
{
    m_frames = SealedFrames::derive(code);
    if (!m_frames.valid())
    {
        return "cannot start a client for the relay at " + m_options.address.text;
    }
    // A host that vanishes takes its door with it.
    return m_client.start(m_options, m_hosting ? doorTopic() : std::string());
}

void RelayLink::update(int ms)
{
    ms = std::max(ms, 0);
    if (m_starting.valid())
    {
        if (m_starting.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        {
            return;
        }
        const std::string line = m_starting.get();
        if (!line.empty())
        {
            finish(line);
        }
    }
    std::size_t overflow = 0;
    const std::deque<Event> events = m_client.take(EventsPerUpdate, overflow);
    if (overflow > 0)
    {
        note("dropped " + std::to_string(overflow) + " frames: more came than this game can take");
    }
    m_heard = false;
    for (const Event& event : events)
    {
        if (m_state == State::Closed || m_state == State::Idle)
        {
            return;
        }
        arrive(event);
    }
    tick(ms);
}

void RelayLink::arrive(const Event& event)
{
    const std::string& relay = m_options.address.text;
    switch (event.kind)
    {
    case Event::Kind::TlsError:
        m_tlsError = event.topic.empty() ? m_tlsError : event.topic;
        if (!m_everConnected && (event.rc != 0 || !m_tlsError.empty()))
        {
            finish("the relay at " + relay + " failed the TLS check" +
                   (m_tlsError.empty() ? "" : ": " + m_tlsError));
        }
        return;
    case Event::Kind::Disconnected:
        m_connected = false;
        return;
    case Event::Kind::Connected:
        if (event.rc != 0)
        {
            finish("the relay at " + relay + " refused the connection: " + RelayClient::refusal(event.rc));
            return;
        }
        connected();
        return;
    case Event::Kind::Arrived:
        break;
    }
    const std::string prefix = m_frames.root() + (m_hosting ? "/g/" : "/h/");
    if (m_hosting && event.topic.rfind(prefix, 0) == 0)
    {
        arriveAtHost(event.topic.substr(prefix.size()), event);
        return;
    }
    if (!m_hosting && event.topic == doorTopic())
    {
        arriveAtDoor(event);
        return;
    }
    if (!m_hosting && event.topic == inTopic())
    {
        SealedFrames::Frame frame;
        std::string error;
        if (!m_frames.open(event.topic, event.payload.data(), event.payload.size(), frame, error))
        {
            note(error);
            return;
        }
        receiveInOrder(frame);
    }
}

void RelayLink::arriveAtDoor(const Event& event)
{
    if (event.payload.empty() || m_state != State::Waiting)
    {
        return; // the door closed, or this side is past it
    }
    SealedFrames::Frame frame;
    std::string error;
    if (!m_frames.open(event.topic, event.payload.data(), event.payload.size(), frame, error))
    {
        note(error);
    }
    else if (frame.message.type == Message::Type::Bye)
    {
        finish("a friend has already joined the game with that code");
    }
    else if (frame.message.type == Message::Type::Hello)
    {
        m_state = State::Greeting;
        m_waitMs = 0;
        sendSealed(Message::hello(m_version));
    }
}

void RelayLink::arriveAtHost(const std::string& guest, const Event& event)
{
    SealedFrames::Frame frame;
    std::string error;
    if (!m_frames.open(event.topic, event.payload.data(), event.payload.size(), frame, error))
    {
        note(error);
        return;
    }
    if (m_guest.empty())
    {
        if (frame.message.type != Message::Type::Hello || frame.number != 1 || m_state != State::Waiting)
        {
            note(std::string("dropped a ") + Message::typeName(frame.message.type) +
                 " from a game that did not greet this one first");
            return;
        }
        m_guest = guest;
        m_state = State::Greeting;
        openDoor(false);
        sendSealed(Message::hello(m_version));
    }
    else if (guest != m_guest)
    {
        // Someone else with the code: told the game is taken, on its own topic.
        if (frame.message.type == Message::Type::Hello)
        {
            publish(m_frames.root() + "/h/" + guest,
                    m_frames.seal(m_frames.root() + "/h/" + guest, 1, frame.number,
                                  Message::bye(ByeReason::Busy)),
                    false);
            note("turned away a second joiner: a friend is already here");
        }
        return;
    }
    receiveInOrder(frame);
}

void RelayLink::receiveInOrder(const SealedFrames::Frame& frame)
{
    if (frame.number <= m_received)
    {
        note("dropped a repeated frame (number " + std::to_string(frame.number) + ")");
        return;
    }
    if (frame.number != m_received + 1)
    {
        note("dropped a frame that skips from number " + std::to_string(m_received) + " to " +
             std::to_string(frame.number));
        if (m_askedMs == 0 && m_state == State::Open)
        {
            // Frames went missing on this side (a full inbox): the friend sends again what is not
            // acknowledged, asked at most twice a second.
            m_askedMs = AskMs;
            m_ask = true;
            sendSealed(Message::heartbeat());
        }
        return;
    }
    m_received = frame.number;
    m_heard = true;
    const std::uint32_t ack = frame.ack & ~ResendBit;
    while (!m_unacked.empty() && m_unacked.front().number <= ack)
    {
        m_unacked.pop_front();
    }
    if (frame.ack & ResendBit)
    {
        resend();
    }
    deliver(frame.message);
}

void RelayLink::deliver(const Message& message)
{
    if (message.type == Message::Type::Bye)
    {
        finish(m_state == State::Open || message.reason == ByeReason::Busy
                   ? Session::byeLine(message.reason)
                   : "the connection closed before the greeting");
        return;
    }
    if (m_state == State::Greeting)
    {
        if (message.type != Message::Type::Hello)
        {
            close(ByeReason::Refused, "connection closed: refused " + Message::named(message.type) +
                                          " message before the greeting");
            return;
        }
        // The same greeting as a direct connection: the same lines, no stranger's text repeated.
        if (const std::string problem = Session::greetingProblem(message, m_version); !problem.empty())
        {
            close(ByeReason::Version, problem);
            return;
        }
        m_state = State::Open;
        m_silentMs = 0;
        return;
    }
    if (message.type == Message::Type::Hello)
    {
        close(ByeReason::Refused, "connection closed: refused a second greeting");
        return;
    }
    if (message.type == Message::Type::Heartbeat)
    {
        return;
    }
    if (m_in.size() >= MaxIncoming)
    {
        close(ByeReason::Refused, "connection closed: your friend's game sends more than this one can take");
        return;
    }
    m_in.push_back(message);
}

void RelayLink::connected()
{
    const bool again = m_everConnected;
    m_connected = true;
    m_everConnected = true;
    if (m_hosting)
    {
        m_client.subscribe(m_frames.root() + "/g/+");
        openDoor(m_guest.empty());
    }
    else
    {
        m_client.subscribe(inTopic());
        if (m_state == State::Connecting || m_state == State::Waiting)
        {
            m_client.subscribe(doorTopic());
        }
    }
    if (m_state == State::Connecting)
    {
        m_state = State::Waiting;
        m_waitMs = 0;
    }
    if (again)
    {
        // Back after the relay went away: what the friend may not have had goes out again.
        resend();
    }
}

void RelayLink::tick(int ms)
{
    const std::string& relay = m_options.address.text;
    if (m_state == State::Closed || m_state == State::Idle)
    {
        return;
    }
    if (!m_connected)
    {
        m_waitMs += ms;
        if (!m_everConnected && m_waitMs >= ConnectMs)
        {
            finish(m_tlsError.empty() ? "could not reach the relay at " + relay + " within " +
                                            std::to_string(ConnectMs / 1000) + " s"
                                      : "the relay at " + relay + " failed the TLS check: " + m_tlsError);
        }
        else if (m_everConnected && m_waitMs >= GoneMs)
        {
            finish("the relay at " + relay + " is gone");
        }
        return;
    }
    m_waitMs = m_state == State::Open ? 0 : m_waitMs + ms;
    if (m_state == State::Waiting && !m_hosting && m_waitMs >= DoorMs)
    {
        finish("no game is waiting with that code");
        return;
    }
    if (m_state == State::Greeting && m_waitMs >= GreetMs)
    {
        close(ByeReason::Refused, std::string(m_hosting ? "your friend's" : "the host's") +
                                      " game did not greet this one within " +
                                      std::to_string(GreetMs / 1000) + " s");
        return;
    }
    if (m_state != State::Open)
    {
        return;
    }
    m_silentMs = m_heard ? 0 : m_silentMs + ms;
    if (m_silentMs >= SilenceMs)
    {
        finish("connection lost: no message from your friend for " + std::to_string(SilenceMs / 1000) + " s");
        return;
    }
    m_beatMs += ms;
    if (m_beatMs >= HeartbeatMs)
    {
        m_beatMs = 0;
        sendSealed(Message::heartbeat());
    }
    m_askedMs = std::max(m_askedMs - ms, 0);
}

void RelayLink::resend()
{
    for (const Sent& sent : m_unacked)
    {
        publish(outTopic(), sent.bytes, false);
    }
}

void RelayLink::openDoor(bool waiting)
{
    const std::string topic = doorTopic();
    publish(topic,
            m_frames.seal(topic, 0, 0, waiting ? Message::hello(m_version) : Message::bye(ByeReason::Busy)),
            true);
}

void RelayLink::sendSealed(const Message& message)
{
    if (m_unacked.size() >= MaxUnacked)
    {
        finish("connection lost: your friend's game takes no messages");
        return;
    }
    Sent sent{++m_sent, m_frames.seal(outTopic(), m_sent, m_received | (m_ask ? ResendBit : 0), message)};
    m_ask = false;
    publish(outTopic(), sent.bytes, false);
    m_unacked.push_back(std::move(sent));
}

void RelayLink::publish(const std::string& topic, const std::vector<std::uint8_t>& bytes, bool retain)
{
    if (!m_client.exists())
    {
        return;
    }
    m_bytesSent += bytes.size();
    // While the relay is away the client keeps it; it goes out again once it is back in any case.
    m_client.publish(topic, bytes, retain);
}

std::string RelayLink::outTopic() const
{
    return m_frames.root() + (m_hosting ? "/h/" : "/g/") + m_guest;
}

std::string RelayLink::inTopic() const
{
    return m_frames.root() + (m_hosting ? "/g/" : "/h/") + m_guest;
}

void RelayLink::send(const Message& message)
{
    if (m_state == State::Greeting || m_state == State::Open)
    {
        sendSealed(message);
    }
}

bool RelayLink::receive(Message& message)
{
    if (m_in.empty())
    {
        return false;
    }
    message = m_in.front();
    m_in.pop_front();
    return true;
}

void RelayLink::close(ByeReason reason, const std::string& line)
{
    if (m_state == State::Greeting || m_state == State::Open)
    {
        sendSealed(Message::bye(reason));
    }
    finish(line);
}

std::vector<std::string> RelayLink::takeNotes()
{
    std::vector<std::string> notes;
    notes.swap(m_notes);
    if (m_notesDropped > 0)
    {
        notes.push_back("and " + std::to_string(m_notesDropped) + " more dropped frames");
        m_notesDropped = 0;
    }
    return notes;
}

void RelayLink::note(const std::string& line)
{
    if (m_notes.size() < MaxNotes)
    {
        m_notes.push_back(line);
    }
    else
    {
        ++m_notesDropped;
    }
}

void RelayLink::finish(const std::string& line)
{
    if (m_state == State::Closed)
    {
        return;
    }
    if (m_hosting && m_connected && m_client.exists())
    {
        publish(doorTopic(), {}, true);
    }
    if (m_client.exists() && !m_starting.valid())
    {
        m_client.disconnect();
    }
    m_connected = false;
    m_state = State::Closed;
    if (m_problem.empty())
    {
        m_problem = line;
    }
}
} // namespace orv_gd::net
