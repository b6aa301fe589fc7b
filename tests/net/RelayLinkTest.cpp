#include "net/RelayLink.h"

#include "net/JoinCode.h"
#include "net/Lockstep.h"
#include "support/Loopback.h"
#include "support/MosquittoBroker.h"
#include "support/RandomPlayer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <mosquitto.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <random>
#include <thread>

namespace orv_gd::net
{
namespace
{
using rules::Action;
using rules::Role;
using test::MosquittoBroker;
using test::pump;
using testing::Contains;
using testing::HasSubstr;

RelayOptions at(const MosquittoBroker& broker, const std::string& scheme = "")
{
    RelayOptions options;
    std::string error;
    EXPECT_TRUE(RelayAddress::parse(scheme + broker.address(), options.address, error)) << error;
    return options;
}

/// One game through the relay, keeping the notes of what its link dropped.
struct Player : test::RandomPlayer
{
    RelayLink link;
    std::vector<std::string> notes;

    Player(const RelayOptions& options, unsigned seed) : RandomPlayer(seed), link("1.0.0", options)
    {
        carry = [this](int ms)
        {
            link.update(ms);
            const std::vector<std::string> more = link.takeNotes();
            notes.insert(notes.end(), more.begin(), more.end());
        };
    }
};

/// A host and its friend who met through `broker` by a fresh code and began a short match.
struct Match
{
    std::string code = JoinCode::generate();
    Player host, guest;

    Match(const MosquittoBroker& broker, unsigned seed)
        : host(at(broker), seed), guest(at(broker), seed * 7 + 1)
    {
        EXPECT_TRUE(host.link.host(code));
        EXPECT_TRUE(pump({&host.link}, [&] { return host.link.getState() == RelayLink::State::Waiting; }));
        EXPECT_TRUE(guest.link.join(code));
        EXPECT_TRUE(
            pump({&host.link, &guest.link}, [&] { return host.link.isOpen() && guest.link.isOpen(); }))
            << host.link.problem() << guest.link.problem();
        rules::MatchConfig config;
        config.turnLimitMs = 1000;
        config.width = 16;
        const Message start = Message::start(seed, 0, Role::Runner, config);
        host.link.send(start);
        Message received;
        EXPECT_TRUE(pump({&host.link, &guest.link}, [&] { return guest.link.receive(received); }));
        host.begin(host.link, start, Role::Runner);
        guest.begin(guest.link, received, Role::Builder);
    }

    /// Frames on both sides (see playOut), 300 us apart, or `realMs` long in real time when given.
    void play(
        const std::function<bool()>& until = [] { return false; }, int realMs = 0)
    {
        test::playOut(host, guest, until, realMs, realMs > 0 ? 0 : 300);
    }
};

/// A client of the relay that is no game: it watches every topic and publishes what it likes.
struct Stranger
{
    mosquitto* client = mosquitto_new(nullptr, true, this);
    std::mutex mutex;
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> seen;

    explicit Stranger(const MosquittoBroker& broker)
    {
        mosquitto_message_callback_set(
            client,
            [](mosquitto*, void* self, const mosquitto_message* m)
            {
                auto* s = static_cast<Stranger*>(self);
                const auto* bytes = static_cast<const std::uint8_t*>(m->payload);
                const std::lock_guard<std::mutex> lock(s->mutex);
                s->seen.emplace_back(m->topic, std::vector<std::uint8_t>(bytes, bytes + m->payloadlen));
            });
        EXPECT_EQ(mosquitto_connect(client, "127.0.0.1", broker.port(), 5), MOSQ_ERR_SUCCESS);
        mosquitto_subscribe(client, nullptr, "#", 1);
        mosquitto_loop_start(client);
    }
    ~Stranger()
    {
        mosquitto_disconnect(client);
        mosquitto_loop_stop(client, false);
        mosquitto_destroy(client);
    }
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> copy()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return seen;
    }
    void publish(const std::string& topic, const std::vector<std::uint8_t>& bytes)
    {
        mosquitto_publish(client, nullptr, topic.c_str(), static_cast<int>(bytes.size()), bytes.data(), 1,
                          false);
    }
};
} // namespace

TEST(RelayLinkTest, JoinCodesHoldFortyBitsWithoutLookAlikesAndAreToldFromAddresses)
{
    std::set<std::string> codes;
    for (int i = 0; i < 300; ++i)
    {
        const std::string code = JoinCode::generate();
        ASSERT_EQ(code.size(), 9u);
        EXPECT_EQ(code.find_first_of("01IO"), std::string::npos) << code;
        EXPECT_EQ(JoinCode::parse(code), code);
        codes.insert(code);
    }
    EXPECT_EQ(codes.size(), 300u);
    EXPECT_EQ(std::string(JoinCode::Alphabet).size(), 32u); // 5 bits a character
    EXPECT_EQ(JoinCode::parse("k7qm-4xzp"), "K7QM-4XZP");
    for (const char* notACode : {"K7QM4XZP", "K7QM-4XZ0", "K7QM-4XZPP", "10.0.0.2", "K7QM:4XZP", ""})
    {
        EXPECT_EQ(JoinCode::parse(notACode), "") << notACode;
    }
    RelayAddress address;
    std::string error;
    ASSERT_TRUE(RelayAddress::parse("relay.example.org", address, error));
    EXPECT_EQ(address.port, 1883);
    ASSERT_TRUE(RelayAddress::parse("mqtts://relay.example.org:8884", address, error));
    EXPECT_TRUE(address.tls);
    EXPECT_EQ(address.port, 8884);
    EXPECT_EQ(address.text, "relay.example.org:8884");
    ASSERT_TRUE(RelayAddress::parse("mqtts://relay", address, error));
    EXPECT_EQ(address.port, 8883);
    EXPECT_FALSE(RelayAddress::parse("http://relay", address, error));
    EXPECT_EQ(error, "\"http://relay\" is not a relay: HOST[:PORT] or mqtts://HOST[:PORT]");
    EXPECT_FALSE(RelayAddress::parse("relay:0", address, error));
    EXPECT_EQ(error, "\"0\" is not a port (1 to 65535)");
}

TEST(RelayLinkTest, AFrameOpensOnlyWithItsCodeOnItsTopic)
{
    const SealedFrames frames = SealedFrames::derive("K7QM-4XZP");
    const SealedFrames other = SealedFrames::derive("K7QM-4XZQ");
    EXPECT_EQ(frames.root().size(), std::string("tumbrelt/").size() + 32);
    EXPECT_EQ(frames.root().find("K7QM"), std::string::npos);
    EXPECT_NE(frames.root(), other.root());
    const std::string topic = frames.root() + "/h/01";
    const std::vector<std::uint8_t> sealed = frames.seal(topic, 7, 5, Message::act({3, 250}, Action::jump()));
    EXPECT_EQ(sealed.size(), encode(Message::act({3, 250}, Action::jump())).size() + SealedFrames::Overhead);
    SealedFrames::Frame frame;
    std::string error;
    ASSERT_TRUE(frames.open(topic, sealed.data(), sealed.size(), frame, error)) << error;
    EXPECT_EQ(frame.number, 7u);
    EXPECT_EQ(frame.ack, 5u);
    EXPECT_EQ(frame.message.stamp, (Stamp{3, 250}));
    EXPECT_FALSE(frames.open(frames.root() + "/g/01", sealed.data(), sealed.size(), frame, error));
    EXPECT_EQ(error, "dropped a frame that does not open with this code's key");
    EXPECT_FALSE(other.open(topic, sealed.data(), sealed.size(), frame, error));
    std::vector<std::uint8_t> flipped = sealed;
    flipped[30] ^= 1;
    EXPECT_FALSE(frames.open(topic, flipped.data(), flipped.size(), frame, error));
    EXPECT_FALSE(frames.open(topic, sealed.data(), 20, frame, error));
    EXPECT_EQ(error, "dropped a frame of 20 bytes: not one of this match");
}

TEST(RelayLinkTest, TwoGamesMeetByCodeAndAStrangerOnTheTopicsCanNeitherReadNorActNorStopTheMatch)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.start());
    Stranger stranger(broker);
    Match match(broker, 5);
    const SealedFrames forger = SealedFrames::derive("AAAA-BBBB");
    match.play([&] { return match.host.match.turnNumber >= 3; });
    ASSERT_GE(match.host.match.turnNumber, 3);
    EXPECT_TRUE(match.host.notes.empty() && match.guest.notes.empty()) << "nothing dropped between friends";
    for (const auto& [topic, bytes] : stranger.copy())
    {
        // Nothing in clear: not the game's version in any greeting.
        EXPECT_EQ(std::search(bytes.begin(), bytes.end(), std::begin("1.0.0"), std::end("1.0.0") - 1),
                  bytes.end());
        if (topic.find("/door") == std::string::npos)
        {
            stranger.publish(topic, bytes); // replayed
            stranger.publish(topic, forger.seal(topic, 1000, 0, Message::act({1, 1}, Action::endTurn())));
            stranger.publish(topic, {1, 2, 3});
        }
    }
    match.play();
    test::expectSameEnd(match.host, match.guest);
    std::cout << "relay: "
              << (match.host.link.bytesSent() + match.guest.link.bytesSent()) / match.host.match.turnNumber
              << " sealed bytes a turn over " << match.host.match.turnNumber << " turns\n";
    for (const Player* player : {&match.host, &match.guest})
    {
        EXPECT_THAT(player->notes, Contains(HasSubstr("dropped a repeated frame (number ")));
        EXPECT_THAT(player->notes, Contains("dropped a frame that does not open with this code's key"));
        EXPECT_THAT(player->notes, Contains("dropped a frame of 3 bytes: not one of this match"));
    }
}

TEST(RelayLinkTest, AWrongCodeASecondJoinerARelayGoneRefusingOrAbsentEachGetOneLine)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.start());
    RelayLink host("1.0.0", at(broker));
    RelayLink guest("1.0.0", at(broker));
    RelayLink second("1.0.0", at(broker));
    RelayLink lost("1.0.0", at(broker));
    ASSERT_TRUE(host.host("K7QM-4XZP") && lost.join("K7QM-4XZQ"));
    int lostMs = 0; // of frames after the hash of the code
    EXPECT_TRUE(pump(
        {&host, &lost}, [&] { return lost.getState() != RelayLink::State::Connecting; }, 0));
    for (; lostMs <= 5000 && lost.getState() != RelayLink::State::Closed; lostMs += 10)
    {
        pump(
            {&host, &lost}, [] { return false; }, 10, 1);
    }
    EXPECT_LT(lostMs, 5000);
    EXPECT_EQ(lost.problem(), "no game is waiting with that code");
    guest.join("K7QM-4XZP");
    ASSERT_TRUE(pump({&host, &guest}, [&] { return host.isOpen() && guest.isOpen(); }));
    second.join("K7QM-4XZP");
    EXPECT_TRUE(
        pump({&host, &guest, &second}, [&] { return second.getState() == RelayLink::State::Closed; }));
    EXPECT_EQ(second.problem(), "a friend has already joined the game with that code");
    EXPECT_TRUE(host.isOpen() && guest.isOpen());
    // The relay gone: time passes only once the client saw it go; ten seconds less a frame are not enough.
    broker.stop();
    ASSERT_TRUE(pump(
        {&host}, [&] { return !host.isOnRelay(); }, 0));
    host.update(RelayLink::GoneMs - 10);
    EXPECT_TRUE(host.isOpen());
    host.update(10);
    EXPECT_EQ(host.problem(), "the relay at " + broker.address() + " is gone");

    MosquittoBroker strict("allow_anonymous false\n");
    ASSERT_TRUE(strict.start());
    RelayLink refused("1.0.0", at(strict));
    refused.join("K7QM-4XZP");
    EXPECT_TRUE(pump({&refused}, [&] { return refused.getState() == RelayLink::State::Closed; }));
    EXPECT_EQ(refused.problem(), "the relay at " + strict.address() + " refused the connection: not allowed");
    strict.stop();
    RelayLink nobody("1.0.0", at(strict));
    nobody.join("K7QM-4XZP");
    EXPECT_TRUE(pump(
        {&nobody}, [&] { return nobody.getState() == RelayLink::State::Closed; }, 100, 100));
    EXPECT_EQ(nobody.problem(), "could not reach the relay at " + strict.address() + " within 5 s");
}

TEST(RelayLinkTest, TheRelayRestartingMidMatchLosesAndDoublesNoAction)
{
    MosquittoBroker broker;
    ASSERT_TRUE(broker.start());
    Match match(broker, 11);
    match.play([&] { return match.host.match.turnNumber >= 4; });
    broker.stop(true);
    const auto away = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    match.play([&] { return std::chrono::steady_clock::now() > away; }, 10); // each on alone meanwhile
    ASSERT_TRUE(broker.start());
    match.play([&] { return match.host.link.isOpen() && match.host.match.turnNumber >= 7; }, 10);
    match.play();
    test::expectSameEnd(match.host, match.guest);
}

TEST(RelayLinkTest, TlsChecksTheRelaysCertificateAgainstTheAuthorityGiven)
{
    test::MosquittoBroker probe; // only for its folder
    const std::string dir = probe.folder().string();
    const std::string make = "set -e; exec >/dev/null 2>&1; cd " + dir + R"(
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.crt -days 2 -subj /CN=TestCA
openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr -subj /CN=127.0.0.1
printf 'subjectAltName=IP:127.0.0.1\n' > san.ext
openssl x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial -out server.crt -days 2 -extfile san.ext
chmod a+r server.key)";
    ASSERT_EQ(std::system(make.c_str()), 0);
    MosquittoBroker broker("allow_anonymous true\ncertfile " + dir + "/server.crt\nkeyfile " + dir +
                           "/server.key\n");
    ASSERT_TRUE(broker.start());
    RelayOptions trusted = at(broker, "mqtts://");
    trusted.caFile = dir + "/ca.crt";
    RelayLink host("1.0.0", trusted);
    RelayLink guest("1.0.0", trusted);
    ASSERT_TRUE(host.host("K7QM-4XZP") && guest.join("K7QM-4XZP"));
    EXPECT_TRUE(pump({&host, &guest}, [&] { return host.isOpen() && guest.isOpen(); }))
        << host.problem() << guest.problem();
    RelayLink stranger("1.0.0", at(broker, "mqtts://")); // the system's authorities do not know it
    stranger.join("K7QM-4XZP");
    EXPECT_TRUE(pump({&stranger}, [&] { return stranger.getState() == RelayLink::State::Closed; }));
    EXPECT_EQ(stranger.problem(),
              "the relay at " + broker.address() + " failed the TLS check: certificate verify failed");
}
} // namespace orv_gd::net
