#include "net/Session.h"

#include "support/Loopback.h"

#include <SFML/Network/TcpSocket.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>

namespace orv_gd::net
{
namespace
{
using State = Session::State;

using test::pump;

/// A raw connection to `port`, blocking: what a stranger or a broken game would send.
std::unique_ptr<sf::TcpSocket> raw(unsigned short port)
{
    auto socket = std::make_unique<sf::TcpSocket>();
    EXPECT_EQ(socket->connect(sf::IpAddress(127, 0, 0, 1), port, sf::seconds(2)), sf::Socket::Done);
    return socket;
}

void say(sf::TcpSocket& socket, const std::vector<std::uint8_t>& bytes)
{
    EXPECT_EQ(socket.send(bytes.data(), bytes.size()), sf::Socket::Done);
}

/// `host` waiting, and a raw connection that greeted it as a game of its version would.
std::unique_ptr<sf::TcpSocket> greeted(Session& host)
{
    EXPECT_TRUE(host.host(0));
    auto socket = raw(host.getPort());
    say(*socket, encode(Message::hello("1.0.0")));
    EXPECT_TRUE(pump({&host}, [&] { return host.isOpen(); }));
    return socket;
}
} // namespace

TEST(SessionTest, AFriendWhoLeavesVanishesOrFallsSilentIsNamedSo)
{
    Session left("1.0.0");
    Session leaving("1.0.0");
    ASSERT_TRUE(test::connect(left, leaving));
    leaving.close(ByeReason::Quit, "");
    ASSERT_TRUE(pump({&left}, [&] { return !left.isOpen(); }));
    EXPECT_EQ(left.problem(), "your friend left the match");
    EXPECT_EQ(leaving.problem(), "");

    Session host("1.0.0");
    auto stranger = greeted(host);
    stranger->disconnect();
    ASSERT_TRUE(pump({&host}, [&] { return !host.isOpen(); }));
    EXPECT_EQ(host.problem(), "connection lost: your friend's game closed the connection");

    Session waiting("1.0.0");
    auto silent = greeted(waiting);
    waiting.update(4900);
    EXPECT_TRUE(waiting.isOpen());
    waiting.update(100);
    EXPECT_EQ(waiting.getState(), State::Closed);
    EXPECT_EQ(waiting.problem(), "connection lost: no message from your friend for 5 s");
}

TEST(SessionTest, TheHostTurnsAwayASecondFriendByItsAddressAndKeepsTheFirst)
{
    Session host("1.0.0");
    Session guest("1.0.0");
    ASSERT_TRUE(test::connect(host, guest));
    Session third("1.0.0");
    ASSERT_TRUE(third.join("127.0.0.1", host.getPort()));
    ASSERT_TRUE(pump({&host, &guest, &third}, [&] { return third.getState() == State::Closed; }));
    EXPECT_EQ(third.problem(), "your friend's game already has a player");
    EXPECT_EQ(host.takeNotes(), std::vector<std::string>{"turned away 127.0.0.1: a friend is already here"});
    EXPECT_TRUE(host.isOpen() && guest.isOpen());
}

TEST(SessionTest, AWaitingHostTurnsAwayAWrongGreetingNamingOnlyPlainVersionsAndWaitsOn)
{
    Message otherProtocol = Message::hello("1.0.0");
    otherProtocol.protocol = 2;
    const std::vector<std::pair<Message, std::string>> cases{
        {Message::hello("0.9.0"), "your friend runs version 0.9.0, this is 1.0.0"},
        {Message::hello("1.0.1 - update at evil.example"), "your friend runs another version, this is 1.0.0"},
        {otherProtocol, "your friend's game speaks network protocol 2, this one 1"},
        {Message::act({1, 0}, rules::Action::rotate(1)),
         "connection closed: refused an Action message before the greeting"},
    };
    Session host("1.0.0");
    ASSERT_TRUE(host.host(0));
    for (const auto& [hello, line] : cases)
    {
        auto stranger = raw(host.getPort());
        say(*stranger, encode(hello));
        std::vector<std::string> notes;
        ASSERT_TRUE(pump({&host}, [&] { return !(notes = host.takeNotes()).empty(); }));
        EXPECT_EQ(notes, std::vector<std::string>{"turned away 127.0.0.1: " + line});
        EXPECT_EQ(host.getState(), State::Waiting);
    }
}

TEST(SessionTest, GarbageThenAHangUpOrASlowDripNeverShutsTheHostsDoor)
{
    Session host("1.0.0");
    ASSERT_TRUE(host.host(0));
    std::mt19937 random(31);
    for (const std::size_t size : {2048u, 65536u, 2048u, 65536u})
    {
        std::vector<std::uint8_t> bytes(size);
        std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<std::uint8_t>(random()); });
        auto stranger = raw(host.getPort());
        std::size_t sent = 0;
        stranger->setBlocking(false);
        stranger->send(bytes.data(), bytes.size(), sent);
        stranger->disconnect();
        std::vector<std::string> notes;
        ASSERT_TRUE(pump({&host}, [&] { return !(notes = host.takeNotes()).empty(); }));
        EXPECT_EQ(notes.front().rfind("turned away 127.0.0.1: ", 0), 0u) << notes.front();
        ASSERT_EQ(host.getState(), State::Waiting) << host.problem();
    }
    // A byte a second: the greeting is due 5 s after connecting, however the bytes come.
    auto drip = raw(host.getPort());
    ASSERT_TRUE(pump(
        {&host}, [&] { return host.getState() == State::Greeting; }, 0));
    const std::vector<std::uint8_t> hello = encode(Message::hello("1.0.0"));
    for (std::size_t i = 0; i < 5; ++i)
    {
        say(*drip, {hello[i]});
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        host.update(1000);
    }
    EXPECT_EQ(host.takeNotes(),
              std::vector<std::string>{
                  "turned away 127.0.0.1: your friend's game did not greet this one within 5 s"});
    EXPECT_EQ(host.getState(), State::Waiting);
}

TEST(SessionTest, JoiningWhereNobodyHostsOrAMalformedAddressSaysSo)
{
    Session probe("1.0.0");
    ASSERT_TRUE(probe.host(0));
    const unsigned short port = probe.getPort();
    probe.close(ByeReason::Quit, "");
    Session guest("1.0.0");
    guest.join("127.0.0.1", port);
    ASSERT_TRUE(pump({&guest}, [&] { return guest.getState() == State::Closed; }));
    EXPECT_EQ(guest.problem(), "nobody answers at 127.0.0.1:" + std::to_string(port));

    std::string address;
    unsigned short joinPort = 0;
    std::string error;
    EXPECT_TRUE(Session::splitAddress("10.0.0.2:5000", 47474, address, joinPort, error));
    EXPECT_EQ(address, "10.0.0.2");
    EXPECT_EQ(joinPort, 5000);
    EXPECT_TRUE(Session::splitAddress("10.0.0.2", 47474, address, joinPort, error));
    EXPECT_EQ(joinPort, 47474);
    EXPECT_FALSE(Session::splitAddress("10.0.0.2:70000", 47474, address, joinPort, error));
    EXPECT_EQ(error, "\"70000\" is not a port (1 to 65535)");
    EXPECT_FALSE(Session::splitAddress(":80", 47474, address, joinPort, error));
}
} // namespace orv_gd::net
