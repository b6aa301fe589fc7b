#include "match/NetPlay.h"

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

void NetPlay::update(int ms)
{
    if (!m_session)
    {
        return;
    }
    m_session->update(ms);
    for (const std::string& note : m_session->takeNotes())
    {
        std::cerr << "tumbrelt: " << note << std::endl;
        m_lastNote = note;
    }
    // Before the match the friend's game has one thing to say: the host's Start. During the match
    // the match screen takes the messages.
    net::Message message;
    if (!m_session->isHost() && !m_start && m_session->receive(message))
    {
        if (message.type != net::Message::Type::Start)
        {
            m_session->close(net::ByeReason::Refused, "connection closed: refused " +
                                                          net::Message::named(message.type) +
                                                          " message before the match began");
            return;
        }
        m_start = message;
    }
}

std::string NetPlay::takeProblem()
{
    if (!m_session || m_reported || m_session->getState() != net::Session::State::Closed ||
        m_session->problem().empty())
    {
        return {};
    }
    m_reported = true;
    return m_session->problem();
}

void NetPlay::leave()
{
    if (m_session)
    {
        m_session->close(m_matchOver ? net::ByeReason::MatchOver : net::ByeReason::Quit, "");
    }
    m_session.reset();
    m_start.reset();
    m_lastNote.clear();
    m_matchOver = false;
    m_reported = false;
}

void NetPlay::start(const rules::Rng& rng, rules::Role hostRole, const rules::MatchConfig& config)
{
    m_start = net::Message::start(rng.getSeed(), rng.getDraws(), hostRole, config);
    m_session->send(*m_start);
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
