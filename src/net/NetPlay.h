#pragma once

#include "core/NetworkFriend.h"
#include "net/Lockstep.h"
#include "net/Protocol.h"
#include "net/RelayLink.h"
#include "net/Session.h"
#include "rules/Match.h"
#include "rules/Rng.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orv_gd
{
/// A network match from the first connection to the last Bye, shared by the host and join screens
/// and the match screen: the connection, the match both sides start (the host's Start) and this
/// side's role. The game keeps it going every frame; the match screen keeps the two matches in step.
class NetPlay : public NetworkFriend
{
public:
    /// `version`: this game's; a friend must run the same.
    explicit NetPlay(std::string version);

    /// Waits for a friend on `port` (0: any free one); false, with the problem to take, when it cannot.
    bool host(unsigned short port);
    /// Joins the friend hosting at `address` and `port`; false, with the problem, when it cannot start.
    bool join(const std::string& address, unsigned short port);

    /// Waits through `relay` for the friend who has `code`; false, with the problem, when it cannot start.
    bool hostRelay(const net::RelayOptions& relay, const std::string& code);
    /// Joins through `relay` the host waiting with `code`.
    bool joinRelay(const net::RelayOptions& relay, const std::string& code);

    void update(int ms) override;
    std::string takeProblem() override;
    void leave() override;

    /// The connection of this match; null before host or join and after leave.
    net::Session* getSession() const { return m_session.get(); }
    /// The connection through a relay, when this match goes through one.
    net::RelayLink* getRelay() const { return m_relay.get(); }
    /// The connection of this match, whichever way it goes; null before host or join.
    net::Link* getLink() const;
    bool isHost() const { return (m_session && m_session->isHost()) || (m_relay && m_relay->isHost()); }
    /// The host waits for a friend: nobody has greeted it yet.
    bool isWaiting() const { return m_session && m_session->getState() == net::Session::State::Waiting; }
    /// The friend is there and greeted.
    bool isOpen() const { return getLink() && getLink()->isOpen(); }
    /// The host begins the match: the generator, its role and the match's numbers go to the friend.
    void start(const rules::Rng& rng, rules::Role hostRole, const rules::MatchConfig& config);
    /// The Start of the match both sides play, once the host sent it or the friend's game received it.
    const std::optional<net::Message>& getStart() const { return m_start; }
    /// This side's role in the match begun.
    rules::Role localRole() const override;
    int turnLimitMs() const override { return m_start ? m_start->config.turnLimitMs : 0; }
    /// The match has a winner: leaving now tells the friend so rather than "left the match".
    void matchEnded() { m_matchOver = true; }
    /// The last connection the waiting host turned away, one line; empty when none was.
    const std::string& lastNote() const { return m_lastNote; }

private:
    std::string m_version;
    std::unique_ptr<net::Session> m_session;
    std::unique_ptr<net::RelayLink> m_relay;
    std::optional<net::Message> m_start;
    std::string m_lastNote;
    bool m_matchOver = false;
    bool m_reported = false;
};
} // namespace orv_gd
