#pragma once

#include "core/GameState.h"
#include "rules/Match.h"

#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/View.hpp>

#include <memory>
#include <string>
#include <vector>

namespace sf
{
class Font;
}

namespace orv_gd
{
class InputManager;
class NetPlay;

/// What the host and join screens share: lines of text on a dark screen, centred, sized by the
/// window, and Escape back to the menu (which closes the connection).
class NetworkScreen : public GameState
{
public:
    NetworkScreen(GameStateManager* gameStateManager, Game* game, std::shared_ptr<NetPlay> net);

    void draw() override;
    /// The lines shown, the first as the title.
    const std::vector<std::string>& getLines() const { return m_lines; }

protected:
    /// Follows the window; true when Escape went back to the menu.
    bool frame(float deltaTime);
    /// `lastIsError`: the last line says what went wrong, in the error colour.
    void show(const std::vector<std::string>& lines, bool lastIsError = false);

    std::shared_ptr<NetPlay> m_net;
    InputManager& m_input;

private:
    sf::View m_view;
    std::vector<std::string> m_lines;
    bool m_lastIsError = false;
    std::vector<sf::Text> m_texts;
    std::shared_ptr<sf::Font> m_font;
};

/// H on the menu: waits for a friend on the port of the command line (47474 unless --port), shows
/// this computer's addresses (with a relay set, by --relay or the settings: waits through the relay
/// and shows a fresh join code instead), R or B choose the role played here; once the friend's game greets
/// this one the match begins with the tutorial. Connections that do not greet properly, and a
/// second one, are turned away while it waits (the line under the rest says so).
class HostState : public NetworkScreen
{
public:
    HostState(GameStateManager* gameStateManager, Game* game, std::shared_ptr<NetPlay> net);

    void init() override;
    void update(float deltaTime) override;

    rules::Role getRole() const { return m_role; }
    /// This computer's IPv4 addresses but the loopback's; 127.0.0.1 when it has no other.
    static std::vector<std::string> localAddresses();

    /// The join code a friend joins with through the relay; empty when hosting by address.
    const std::string& getCode() const { return m_code; }

private:
    void refresh();

    rules::Role m_role = rules::Role::Runner;
    bool m_roleFromCommandLine = false;
    unsigned short m_port = 0;
    std::string m_code;
    std::string m_relay;
    std::string m_relayError;
};

/// J on the menu: type the host's address, with ":port" when it is not 47474, or the host's join
/// code ("K7QM-4XZP", told from an address by its form) to meet through the relay; Backspace erases,
/// Enter connects, Escape goes back. The address last connected to is remembered in the working
/// folder (the installed game's state folder) and offered again. `--join ADDRESS` connects at once.
class JoinState : public NetworkScreen
{
public:
    static constexpr const char* AddressFile = "last-join-address.txt";
    static constexpr std::size_t MaxAddress = 64;

    JoinState(GameStateManager* gameStateManager, Game* game, std::shared_ptr<NetPlay> net);

    void init() override;
    void update(float deltaTime) override;
    bool showNetworkProblem(const std::string& problem) override;

    const std::string& getAddress() const { return m_address; }
    /// What went wrong with the last try, one line; empty when nothing did.
    const std::string& getError() const { return m_error; }
    bool isConnecting() const { return m_connecting; }

    /// The address kept in `path`; empty, with one line in `problem`, when the file holds no address.
    static std::string loadAddress(const std::string& path, std::string& problem);
    /// Keeps `address` in `path` through a temporary file; empty on success, else what went wrong.
    static std::string saveAddress(const std::string& path, const std::string& address);
    /// Whether `c` may be part of an address: letters, digits, '.', '-', ':'.
    static bool isAddressCharacter(char c);

private:
    void type(const std::string& typed);
    void connect();
    void refresh();

    std::string m_address;
    std::string m_error;
    std::string m_target;
    bool m_connecting = false;
    bool m_commandLineUsed = false;
};

} // namespace orv_gd
