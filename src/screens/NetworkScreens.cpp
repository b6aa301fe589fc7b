#include "screens/NetworkScreens.h"

#include "resources/SafeFile.h"

#include "core/CommandLine.h"
#include "core/Game.h"
#include "core/GameStateManager.h"
#include "core/InputManager.h"
#include "core/Settings.h"
#include "net/JoinCode.h"
#include "net/NetPlay.h"
#include "net/RelayLink.h"
#include "net/Session.h"
#include "resources/AssetManager.h"
#include "resources/TraceRecorder.h"
#include "screens/MainState.h"
#include "screens/ScreenHelper.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#ifndef TUMBRELT_VERSION
#define TUMBRELT_VERSION "unknown"
#endif

namespace orv_gd
{
namespace
{
const char* roleName(rules::Role role)
{
    return role == rules::Role::Runner ? "Runner" : "Builder";
}

/// The relay of the command line, else of the settings, with the settings' certificate authority
/// and login; false when none is set or (with the line in `error`) it is not a relay.
bool relayOptions(const Game& game, net::RelayOptions& options, std::string& error)
{
    const Settings& settings = game.getSettings();
    const std::string& text =
        game.getCommandLine().relay.empty() ? settings.relay : game.getCommandLine().relay;
    options.caFile = settings.relayCaFile;
    options.username = settings.relayUsername;
    options.password = settings.relayPassword;
    return !text.empty() && net::RelayAddress::parse(text, options.address, error);
}
} // namespace

NetworkScreen::NetworkScreen(GameStateManager* gameStateManager, Game* game, std::shared_ptr<NetPlay> net)
    : GameState(gameStateManager, game), m_net(std::move(net)), m_input(InputManager::getInstance())
{
}

bool NetworkScreen::frame(float deltaTime)
{
    m_timeInState += deltaTime;
    // Laid out in the window's pixels, again whenever its size changes.
    const sf::Vector2f size(m_game->getWindow().getSize());
    if (size != m_view.getSize())
    {
        m_view = sf::View(sf::FloatRect(0.0f, 0.0f, size.x, size.y));
        m_texts.clear();
        show(std::vector<std::string>(m_lines), m_lastIsError);
    }
    m_game->getWindow().setView(m_view);
    if (m_input.isKeyPressed("Exit", 0))
    {
        m_gameStateManager->setState("MenuState");
        return true;
    }
    return false;
}

void NetworkScreen::show(const std::vector<std::string>& lines, bool lastIsError)
{
    m_font = m_font ? m_font : AssetManager::getInstance().GetFont("consolab");
    if (lines == m_lines && lastIsError == m_lastIsError && m_texts.size() == lines.size() &&
        !m_texts.empty())
    {
        return;
    }
    m_lines = lines;
    m_lastIsError = lastIsError;
    m_texts.clear();
    if (!m_font)
    {
        return;
    }
    // A column in the middle of the window, the title larger; a line too wide shrinks to fit.
    const sf::Vector2f size(m_game->getWindow().getSize());
    const float lineHeight = std::max(14.0f, size.y * 0.032f);
    float y = size.y * 0.22f;
    for (std::size_t i = 0; i < m_lines.size(); ++i)
    {
        sf::Text text;
        text.setFont(*m_font);
        text.setString(m_lines[i]);
        text.setCharacterSize(static_cast<unsigned>(i == 0 ? lineHeight * 1.6f : lineHeight));
        text.setFillColor(i == 0                                   ? sf::Color(250, 250, 250)
                          : i + 1 == m_lines.size() && lastIsError ? ScreenHelper::ErrorColor
                                                                   : sf::Color(210, 210, 210));
        sf::FloatRect bounds = text.getLocalBounds();
        if (bounds.width > size.x * 0.94f)
        {
            text.setCharacterSize(static_cast<unsigned>(
                std::max(8.0f, static_cast<float>(text.getCharacterSize()) * size.x * 0.94f / bounds.width)));
            bounds = text.getLocalBounds();
        }
        text.setOrigin(std::round(bounds.left + bounds.width / 2.0f), std::round(bounds.top));
        text.setPosition(std::round(size.x / 2.0f), std::round(y));
        y += static_cast<float>(text.getCharacterSize()) * (i == 0 ? 2.2f : 1.7f);
        m_texts.push_back(text);
    }
}

void NetworkScreen::draw()
{
    sf::RenderWindow& window = m_game->getWindow();
    window.setView(m_view);
    window.clear(sf::Color(22, 24, 32));
    for (const sf::Text& text : m_texts)
    {
        window.draw(text);
    }
}

HostState::HostState(GameStateManager* gameStateManager, Game* game, std::shared_ptr<NetPlay> net)
    : NetworkScreen(gameStateManager, game, std::move(net))
{
}

std::vector<std::string> HostState::localAddresses()
{
    std::vector<std::string> found;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) == 0)
    {
        for (const ifaddrs* it = list; it; it = it->ifa_next)
        {
            if (!it->ifa_addr || it->ifa_addr->sa_family != AF_INET)
            {
                continue;
            }
            char text[INET_ADDRSTRLEN] = {};
            const auto* address = reinterpret_cast<const sockaddr_in*>(it->ifa_addr);
            if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) &&
                std::string(text).rfind("127.", 0) != 0 &&
                std::find(found.begin(), found.end(), text) == found.end())
            {
                found.emplace_back(text);
            }
        }
        freeifaddrs(list);
    }
    if (found.empty())
    {
        found.emplace_back("127.0.0.1");
    }
    return found;
}

void HostState::init()
{
    TRACE_SCOPE("orv_gd::HostState::init");
    const CommandLine& options = m_game->getCommandLine();
    if (!m_roleFromCommandLine && !options.role.empty())
    {
        m_role = options.role == "builder" ? rules::Role::Builder : rules::Role::Runner;
    }
    m_roleFromCommandLine = true;
    m_port = static_cast<unsigned short>(options.port);
    net::RelayOptions relay;
    m_relayError.clear();
    m_code.clear();
    if (relayOptions(*m_game, relay, m_relayError))
    {
        m_relay = relay.address.text;
        m_code = net::JoinCode::generate();
        if (m_net->hostRelay(relay, m_code))
        {
            std::cout << "join code: " << m_code << std::endl;
        }
    }
    else if (!m_relayError.empty())
    {
        std::cerr << "tumbrelt: " << m_relayError << std::endl;
    }
    else if (m_net->host(m_port))
    {
        m_port = m_net->getSession()->getPort();
        std::cout << "network: waiting for a friend on port " << m_port << std::endl;
    }
    m_timeInState = 0.0f;
    refresh();
}

void HostState::refresh()
{
    std::string addresses;
    for (const std::string& address : localAddresses())
    {
        addresses += (addresses.empty() ? "" : ", ") + address;
    }
    const rules::Role other = m_role == rules::Role::Runner ? rules::Role::Builder : rules::Role::Runner;
    std::vector<std::string> lines{
        "Host a network match",
        m_code.empty() ? "This computer: " + addresses + "   port " + std::to_string(m_port)
                       : "Join code: " + m_code + "   through the relay at " + m_relay,
        m_code.empty() ? "Waiting for a friend to join..." : "Waiting for a friend to join with this code...",
        std::string("You play the ") + roleName(m_role) + ", your friend the " + roleName(other),
        "R: play the Runner   B: play the Builder   Escape: back to the menu",
    };
    if (!m_net->lastNote().empty() || !m_relayError.empty())
    {
        lines.push_back(m_relayError.empty() ? m_net->lastNote() : m_relayError);
    }
    show(lines);
}

void HostState::update(float deltaTime)
{
    TRACE_SCOPE("orv_gd::HostState::update");
    if (frame(deltaTime))
    {
        return;
    }
    if (m_input.isKeyPressed("HostRunner", 0))
    {
        m_role = rules::Role::Runner;
    }
    if (m_input.isKeyPressed("HostBuilder", 0))
    {
        m_role = rules::Role::Builder;
    }
    if (m_net->isOpen() && !m_net->getStart())
    {
        // The friend is here: the match this game would play next, the host's turn time with it.
        rules::Rng rng;
        if (auto* match = dynamic_cast<MainState*>(m_gameStateManager->findState("MainState")))
        {
            rng = match->getNextRng();
        }
        m_net->start(rng, m_role, MainState::configFor(m_game->getRunSettings().turnSeconds));
        std::cout << "network: " << (m_code.empty() ? m_net->getSession()->getFriendAddress() : "a friend")
                  << " joined; you play the " << roleName(m_role) << std::endl;
        m_game->setMatchMode(MatchMode::NetworkHost);
        m_gameStateManager->setState("TutorialState");
        return;
    }
    refresh();
}

JoinState::JoinState(GameStateManager* gameStateManager, Game* game, std::shared_ptr<NetPlay> net)
    : NetworkScreen(gameStateManager, game, std::move(net))
{
}

bool JoinState::isAddressCharacter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == ':';
}

std::string JoinState::loadAddress(const std::string& path, std::string& problem)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
    {
        return {}; // none kept yet
    }
    std::string text(MaxAddress + 3, '\0');
    file.read(&text[0], static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
    {
        text.pop_back();
    }
    const bool fits = text.size() <= MaxAddress && file.peek() == std::char_traits<char>::eof();
    if (text.empty() || !fits || !std::all_of(text.begin(), text.end(), isAddressCharacter))
    {
        problem = "ignored " + path + ": it does not hold an address";
        return {};
    }
    return text;
}

std::string JoinState::saveAddress(const std::string& path, const std::string& address)
{
    std::string why;
    if (SafeFile::write(path, address + "\n", why) != SafeFile::Outcome::Written)
    {
        return "could not keep the address in " + path + ": " + why;
    }
    return {};
}

void JoinState::init()
{
    TRACE_SCOPE("orv_gd::JoinState::init");
    m_input.takeTyped(); // what was typed on other screens (the J that opened this one)
    m_error.clear();
    m_connecting = false;
    std::string problem;
    m_address = loadAddress(AddressFile, problem);
    if (!problem.empty())
    {
        std::cerr << "tumbrelt: " << problem << std::endl;
    }
    const std::string& fromCommandLine = m_game->getCommandLine().join;
    if (!m_commandLineUsed && !fromCommandLine.empty())
    {
        m_commandLineUsed = true;
        m_address = fromCommandLine.substr(0, MaxAddress);
        connect();
    }
    refresh();
}

void JoinState::type(const std::string& typed)
{
    for (const char c : typed)
    {
        if (isAddressCharacter(c) && m_address.size() < MaxAddress)
        {
            m_address.push_back(c);
        }
    }
}

void JoinState::connect()
{
    std::string host;
    unsigned short port = 0;
    m_error.clear();
    if (const std::string code = net::JoinCode::parse(m_address); !code.empty())
    {
        net::RelayOptions relay;
        if (!relayOptions(*m_game, relay, m_error))
        {
            m_error = m_error.empty()
                          ? "a join code needs a relay: relay = HOST[:PORT] in settings.ini, or --relay"
                          : m_error;
            return;
        }
        m_target = code + " through the relay at " + relay.address.text;
        if (!m_net->joinRelay(relay, code))
        {
            m_error = m_net->takeProblem();
            m_net->leave();
            return;
        }
        m_connecting = true;
        std::cout << "network: connecting to " << m_target << std::endl;
        return;
    }
    if (!net::Session::splitAddress(m_address, static_cast<unsigned short>(CommandLine::DefaultPort), host,
                                    port, m_error))
    {
        return;
    }
    const std::string saved = saveAddress(AddressFile, m_address);
    if (!saved.empty())
    {
        std::cerr << "tumbrelt: " << saved << std::endl;
    }
    m_target = host + ":" + std::to_string(port);
    if (!m_net->join(host, port))
    {
        m_error = m_net->takeProblem();
        m_net->leave();
        return;
    }
    m_connecting = true;
    std::cout << "network: connecting to " << m_target << std::endl;
}

bool JoinState::showNetworkProblem(const std::string& problem)
{
    m_error = problem;
    m_connecting = false;
    m_net->leave();
    refresh();
    return true;
}

void JoinState::refresh()
{
    std::vector<std::string> lines{"Join a network match"};
    if (m_connecting)
    {
        lines.push_back(m_net->isOpen() ? "Connected to " + m_target + ": the host begins the match..."
                                        : "Connecting to " + m_target + "...");
        lines.push_back("Escape: back to the menu");
    }
    else
    {
        lines.push_back("The host's address, with :port when it is not " +
                        std::to_string(CommandLine::DefaultPort) + ":");
        lines.push_back("> " + m_address + "_");
        lines.push_back("Enter: connect   Backspace: erase   Escape: back to the menu");
    }
    if (!m_error.empty())
    {
        lines.push_back(m_error);
    }
    show(lines, !m_error.empty());
}

void JoinState::update(float deltaTime)
{
    TRACE_SCOPE("orv_gd::JoinState::update");
    const std::string typed = m_input.takeTyped();
    if (frame(deltaTime))
    {
        return;
    }
    if (m_connecting)
    {
        if (m_net->getStart())
        {
            std::cout << "network: joined " << m_target << "; you play the " << roleName(m_net->localRole())
                      << std::endl;
            m_connecting = false;
            m_game->setMatchMode(MatchMode::NetworkJoin);
            m_gameStateManager->setState("TutorialState");
            return;
        }
    }
    else
    {
        type(typed);
        if (m_input.isKeyPressed("Erase", 0) && !m_address.empty())
        {
            m_address.pop_back();
        }
        if (m_input.isKeyPressed("Connect", 0))
        {
            connect();
        }
    }
    refresh();
}

} // namespace orv_gd
