#include "screens/NetworkScreens.h"

#include "net/JoinCode.h"
#include "net/NetPlay.h"
#include "screens/ScreenHelper.h"
#include "support/Loopback.h"
#include "support/MatchFixture.h"
#include "support/MosquittoBroker.h"
#include "support/TempWorkDir.h"

#include <fstream>

namespace orv_gd
{
namespace
{
/// The game at its menu, with network play; frames and typed text go in as the window gives them.
struct Screens
{
    test::TempWorkDir folder;
    std::shared_ptr<NetPlay> net = std::make_shared<NetPlay>("1.0.0");
    test::MatchFixture m{800, 600, MatchMode::TwoPlayers, Settings{}, net, "MenuState"};

    void type(const std::string& text)
    {
        for (const char c : text)
        {
            sf::Event event{};
            event.type = sf::Event::TextEntered;
            event.text.unicode = static_cast<sf::Uint32>(c);
            InputManager::getInstance().process(event);
        }
        m.frame();
    }
    GameState* current()
    {
        return m.states().getPendingState() ? m.states().getPendingState() : m.states().getCurrentState();
    }
    JoinState& join() { return static_cast<JoinState&>(*m.states().findState("JoinState")); }
    HostState& host() { return static_cast<HostState&>(*m.states().findState("HostState")); }
    /// The tutorial once shown: the page it begins on and what the overlay says there.
    std::pair<std::uint32_t, std::string> tutorial()
    {
        m.frame();
        auto& shown = static_cast<TutorialState&>(*m.states().findState("TutorialState"));
        std::string says;
        for (const sf::Text& text : shown.getOverlays().at(shown.getCurrentSlide()).getTexts())
        {
            says += text.getString().toAnsiString() + "|";
        }
        return {shown.getCurrentSlide(), says};
    }
    void write(const std::string& text) { std::ofstream(JoinState::AddressFile, std::ios::binary) << text; }
    /// Frames of this game and updates of the other game's link until `done`.
    template <class L>
    bool until(L& other, const std::function<bool()>& done)
    {
        return test::pumpUntil(
            [&]
            {
                other.update(1);
                m.frame();
            },
            done);
    }
};
} // namespace

TEST(NetworkScreensTest, TheJoinScreenTakesAnAddressKeepsItAndConnectsToTheHostsMatch)
{
    Screens s;
    s.m.tap({sf::Keyboard::J});
    ASSERT_EQ(s.current(), &s.join());
    s.m.frame();
    EXPECT_EQ(s.join().getAddress(), "") << "the J that opened the screen is not typed";
    s.type("127.0.0.1 :/9x9999");
    EXPECT_EQ(s.join().getAddress(), "127.0.0.1:9x9999") << "a space and a slash are no part of an address";
    s.m.tap({sf::Keyboard::Return});
    EXPECT_EQ(s.join().getError(), "\"9x9999\" is not a port (1 to 65535)");
    EXPECT_FALSE(std::filesystem::exists(JoinState::AddressFile)) << "a bad address is not kept";
    EXPECT_EQ(s.join().getLines().back(), s.join().getError()) << "the line is on screen";
    // In the error colour, unlike the help above it.
    const sf::Image shown = s.m.drawnFrame();
    const unsigned width = shown.getSize().x;
    int errorPixels = 0;
    for (unsigned i = 0; i < width * shown.getSize().y; ++i)
    {
        errorPixels += shown.getPixel(i % width, i / width) == ScreenHelper::ErrorColor ? 1 : 0;
    }
    EXPECT_GT(errorPixels, 100);

    // A host waits on a free port: erase the bad port, type that one, connect.
    net::Session host("1.0.0");
    ASSERT_TRUE(host.host(0));
    s.m.tap({sf::Keyboard::BackSpace}, 6);
    const std::string address = "127.0.0.1:" + std::to_string(host.getPort());
    s.type(std::to_string(host.getPort()));
    EXPECT_EQ(s.join().getAddress(), address);
    s.m.tap({sf::Keyboard::Return});
    EXPECT_TRUE(s.join().isConnecting());
    EXPECT_EQ(s.folder.read(JoinState::AddressFile), address + "\n");
    ASSERT_TRUE(s.until(host, [&] { return host.isOpen() && s.net->isOpen(); }));
    rules::MatchConfig hosts = MainState::configFor(15); // the joiner's own settings say 10 s
    hosts.width = 60;
    hosts.height = 20;
    host.send(net::Message::start(9, 3, rules::Role::Builder, hosts));
    ASSERT_TRUE(s.until(host, [&] { return s.current() == s.m.states().findState("TutorialState"); }));
    EXPECT_EQ(s.m.game().getMatchMode(), MatchMode::NetworkJoin);
    EXPECT_EQ(s.net->localRole(), rules::Role::Runner) << "the role the host left";
    const auto [joinerPage, joinerReads] = s.tutorial();
    EXPECT_EQ(joinerPage, 0u) << "the Runner's page first";
    EXPECT_NE(joinerReads.find("you play the Runner|"), std::string::npos) << joinerReads;
    EXPECT_NE(joinerReads.find("4 steps, 15 seconds|"), std::string::npos) << "the host's turn time";
    s.m.states().setState("MainState");
    s.m.frame();
    EXPECT_EQ(s.m.match().getMatch().config, hosts) << "the host's turn time and level size";

    // The menu's return ends the connection, the host hears why.
    s.m.states().setState("MenuState");
    s.m.frame();
    ASSERT_TRUE(test::pump({&host}, [&] { return !host.isOpen(); }));
    EXPECT_EQ(host.problem(), "your friend left the match");

    // The address comes back on the next visit.
    s.m.tap({sf::Keyboard::J});
    EXPECT_EQ(s.join().getAddress(), address);
    s.m.tap({sf::Keyboard::Escape});
    EXPECT_EQ(s.current(), s.m.states().findState("MenuState"));
}

TEST(NetworkScreensTest, AKeptAddressThatIsNoneIsIgnoredWithALineAndWrittenAnewOnlyByAConnection)
{
    Screens s;
    for (const std::string& bad :
         {std::string(200, '1'), std::string(JoinState::MaxAddress + 1, 'a'), std::string("rm -rf /"),
          std::string(""), std::string("10.0.0.1\n10.0.0.2\n"), std::string("\x01\x02\xff", 3)})
    {
        SCOPED_TRACE(bad);
        s.write(bad);
        std::string problem;
        EXPECT_EQ(JoinState::loadAddress(JoinState::AddressFile, problem), "");
        EXPECT_EQ(problem,
                  std::string("ignored ") + JoinState::AddressFile + ": it does not hold an address");
    }
    s.write("host.example:5000\r\n");
    std::string problem;
    EXPECT_EQ(JoinState::loadAddress(JoinState::AddressFile, problem), "host.example:5000");
    EXPECT_EQ(problem, "");
    std::filesystem::remove(JoinState::AddressFile);
    EXPECT_EQ(JoinState::loadAddress(JoinState::AddressFile, problem), "");
    EXPECT_EQ(problem, "") << "no file yet is no problem";
    EXPECT_EQ(JoinState::saveAddress(JoinState::AddressFile, "192.168.1.20"), "");
    EXPECT_EQ(s.folder.read(JoinState::AddressFile), "192.168.1.20\n");
    EXPECT_NE(JoinState::saveAddress(std::string(JoinState::AddressFile) + "/address", "1.2.3.4"), "")
        << "no folder where a file stands";
}

TEST(NetworkScreensTest, AHostThatSaysAnythingButAStartTheGamePlaysIsRefusedOnTheJoinScreen)
{
    rules::MatchConfig tiny;
    tiny.width = tiny.height = 8;
    const std::vector<std::pair<net::Message, std::string>> cases{
        {net::Message::clock({1, 100}), "refused a Clock message before the match began"},
        {net::Message::start(9, 0, rules::Role::Builder, tiny),
         "refused a malformed Start message: a match of 8 x 8 cells and 10000 ms turns"},
        {net::Message::start(9, 1u << 24, rules::Role::Builder, {}),
         "refused a malformed Start message: a generator 16777216 draws in"},
    };
    Screens s;
    for (const auto& [message, line] : cases)
    {
        SCOPED_TRACE(line);
        net::Session host("1.0.0");
        ASSERT_TRUE(host.host(0));
        s.m.states().setState("JoinState");
        s.m.frame();
        s.m.tap({sf::Keyboard::BackSpace}, 30);
        s.type("127.0.0.1:" + std::to_string(host.getPort()));
        s.m.tap({sf::Keyboard::Return});
        testing::internal::CaptureStderr();
        ASSERT_TRUE(s.until(host, [&] { return host.isOpen() && s.net->isOpen(); }));
        host.send(message);
        ASSERT_TRUE(s.until(host, [&] { return !host.isOpen() && !s.join().getError().empty(); }));
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(s.join().getError(), "connection closed: " + line);
        EXPECT_EQ(s.join().getLines().back(), s.join().getError()) << "one line, on the join screen";
        EXPECT_EQ(host.problem(), "your friend's game refused a message from this one");
        EXPECT_EQ(s.current(), &s.join()) << "the address stays to be tried again";
        EXPECT_FALSE(s.join().isConnecting());
    }
}

TEST(NetworkScreensTest,
     TheHostWaitsTurnsAwayGarbageAndOtherVersionsAndBeginsTheMatchWithTheRoleAndTurnTimeChosen)
{
    Screens s;
    Settings settings;
    settings.turnSeconds = 20;
    s.m.game().changeSettings(settings);
    CommandLine options;
    options.port = 0; // any free one
    s.m.game().setCommandLine(options);
    s.m.tap({sf::Keyboard::H});
    s.m.frame();
    ASSERT_EQ(s.current(), &s.host());
    const unsigned short port = s.net->getSession()->getPort();
    ASSERT_NE(port, 0);
    EXPECT_NE(s.host().getLines()[1].find("port " + std::to_string(port)), std::string::npos);
    s.m.tap({sf::Keyboard::B});
    EXPECT_EQ(s.host().getLines()[3], "You play the Builder, your friend the Runner");

    // A stranger's bytes: turned away with one line on the screen; the host waits on.
    sf::TcpSocket stranger;
    ASSERT_EQ(stranger.connect(sf::IpAddress(127, 0, 0, 1), port, sf::seconds(2)), sf::Socket::Done);
    const char garbage[] = "\x00\x05GET / HTTP/1.0\r\n";
    ASSERT_EQ(stranger.send(garbage, sizeof garbage - 1), sf::Socket::Done);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(test::pumpUntil([&] { s.m.frame(); }, [&] { return !s.net->lastNote().empty(); }));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(s.host().getLines().back().rfind("turned away 127.0.0.1: connection closed:", 0), 0u)
        << s.host().getLines().back();

    // A friend of another version: turned away naming both, on the screen and on stderr.
    net::Session older("9.9.9");
    ASSERT_TRUE(older.join("127.0.0.1", port));
    testing::internal::CaptureStderr();
    ASSERT_TRUE(s.until(older, [&] { return older.getState() == net::Session::State::Closed; }));
    s.m.frame();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(older.problem(), "your friend runs version 1.0.0, this is 9.9.9");
    EXPECT_EQ(s.host().getLines().back(),
              "turned away 127.0.0.1: your friend runs version 9.9.9, this is 1.0.0");
    EXPECT_NE(err.find("tumbrelt: turned away 127.0.0.1: your friend runs version 9.9.9"), std::string::npos);
    EXPECT_TRUE(s.net->isWaiting());

    net::Session guest("1.0.0");
    ASSERT_TRUE(guest.join("127.0.0.1", port));
    net::Message start;
    ASSERT_TRUE(s.until(guest, [&] { return guest.receive(start); }));
    EXPECT_EQ(start.type, net::Message::Type::Start);
    EXPECT_EQ(start.hostRole, rules::Role::Builder);
    EXPECT_EQ(start.config.turnLimitMs, 20000) << "the host's turn time";
    EXPECT_EQ(s.m.game().getMatchMode(), MatchMode::NetworkHost);
    EXPECT_EQ(s.current(), s.m.states().findState("TutorialState"));
    const auto [page, reads] = s.tutorial();
    EXPECT_EQ(page, 1u) << "the Builder's page first";
    EXPECT_NE(reads.find("you play the Builder|"), std::string::npos) << reads;
}

TEST(NetworkScreensTest, WithARelayTheHostShowsAJoinCodeAndACodeOnTheJoinScreenMeetsItThere)
{
    Screens s;
    test::MosquittoBroker broker;
    ASSERT_TRUE(broker.start());
    CommandLine options;
    options.host = true;
    options.relay = broker.address();
    s.m.game().setCommandLine(options);
    testing::internal::CaptureStdout();
    s.m.states().setState("HostState");
    s.m.frame();
    const std::string printed = testing::internal::GetCapturedStdout();
    ASSERT_EQ(s.current(), &s.host());
    const std::string code = s.host().getCode();
    EXPECT_EQ(printed, "join code: " + code + "\n");
    EXPECT_EQ(net::JoinCode::parse(code), code);
    EXPECT_EQ(s.host().getLines()[1], "Join code: " + code + "   through the relay at " + broker.address());

    net::RelayOptions relay;
    std::string error;
    ASSERT_TRUE(net::RelayAddress::parse(broker.address(), relay.address, error));
    net::RelayLink guest("1.0.0", relay);
    ASSERT_TRUE(guest.join(code));
    net::Message start;
    ASSERT_TRUE(s.until(guest, [&] { return guest.receive(start); }));
    EXPECT_EQ(start.type, net::Message::Type::Start);
    EXPECT_EQ(s.current(), s.m.states().findState("TutorialState"));

    // Without a relay a code, told from an address by its form, says what it needs.
    s.m.game().setCommandLine(CommandLine{});
    s.m.states().setState("JoinState");
    s.m.frame();
    s.type("k7qm-4xzp");
    s.m.tap({sf::Keyboard::Return});
    EXPECT_EQ(s.join().getError(),
              "a join code needs a relay: relay = HOST[:PORT] in settings.ini, or --relay");
    EXPECT_FALSE(std::filesystem::exists(JoinState::AddressFile)) << "a code is not an address to keep";
}
} // namespace orv_gd
