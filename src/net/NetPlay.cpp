#include "net/NetPlay.h"

#include <iostream>

namespace orv_gd
{
NetPlay::NetPlay(std::string version) : m_version(std::move(version)) {}

bool NetPlay::host(unsigned short port)
{
    leave();
    m_session = std::make_unique<net::Session>(m_version);
    return m_session->host(port);
}

bool NetPlay::join(const std::string& address, unsigned short port)
{
    leave();
    m_session = std::make_unique<net::Session>(m_version);
    return m_session->join(address, port);
}

bool NetPlay::hostRelay(const net::RelayOptions& relay, const std::string& code)
{
    leave();
    m_relay = std::make_unique<net::RelayLink>(m_version, relay);
    return m_relay->host(code);
}

bool NetPlay::joinRelay(const net::RelayOptions& relay, const std::string& code)
{
    leave();
    m_relay = std::make_unique<net::RelayLink>(m_version, relay);
    return m_relay->join(code);
}

net::Link* NetPlay::getLink() const
{
    return m_relay ? static_cast<net::Link*>(m_relay.get()) : m_session.get();
}

void NetPlay::update(int ms)
{
    if (!getLink())
    {
        return;
    }
    m_relay ? m_relay->update(ms) : m_session->update(ms);
    for (const std::string& note : m_relay ? m_relay->takeNotes() : m_session->takeNotes())
    {
        std::cerr << "tumbrelt: " << note << std::endl;
        m_lastNote = note;
    }
    // Before the match the friend's game has one thing to say: the host's Start. During the match
    // the match screen takes the messages.
    net::Message message;
    if (!isHost() && !m_start && getLink()->receive(message))
    {
        if (message.type != net::Message::Type::Start)
        {
            getLink()->close(net::ByeReason::Refused, "connection closed: refused " +
                                                          net::Message::named(message.type) +
                                                          " message before the match began");
            return;
        }
        m_start = message;
    }
}

std::string NetPlay::takeProblem()
{
    const bool closed = m_relay ? m_relay->getState() == net::RelayLink::State::Closed
                                : m_session && m_session->getState() == net::Session::State::Closed;
    if (!closed || m_reported || getLink()->problem().empty())
    {
        return {};
    }
    m_reported = true;
    return getLink()->problem();
}

void NetPlay::leave()
{
    if (getLink())
    {
        getLink()->close(m_matchOver ? net::ByeReason::MatchOver : net::ByeReason::Quit, "");
    }
    m_session.reset();
    m_relay.reset();
    m_start.reset();
    m_lastNote.clear();
    m_matchOver = false;
    m_reported = false;
}

void NetPlay::start(const rules::Rng& rng, rules::Role hostRole, const rules::MatchConfig& config)
{
    m_start = net::Message::start(rng.getSeed(), rng.getDraws(), hostRole, config);
    getLink()->send(*m_start);
}

rules::Role NetPlay::localRole() const
{
    if (!m_start)
    {
        return rules::Role::Runner;
    }
    return isHost() ? m_start->hostRole : net::guestRole(*m_start);
}
} // namespace orv_gd
