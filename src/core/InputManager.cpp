#include "core/InputManager.h"

#include "core/CheckedAssert.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>
#include <SFML/Window/Mouse.hpp>

namespace orv_gd
{
namespace
{
bool isValidKeyCode(int keyCode)
{
    return keyCode >= 0 && keyCode < sf::Keyboard::KeyCount;
}
} // namespace

InputManager& InputManager::getInstance()
{
    static InputManager instance;
    return instance;
}

void InputManager::bind(const std::string& action, int keyCode, int playerIdx)
{
    ORV_ASSERT(playerIdx >= 0 && playerIdx < PlayerCount, "player out of bounds");
    m_actionBinding[playerIdx][action] = keyCode;
}

void InputManager::unbind(const std::string& action, int playerIdx)
{
    ORV_ASSERT(playerIdx >= 0 && playerIdx < PlayerCount, "player out of bounds");
    m_actionBinding[playerIdx].erase(action);
}

void InputManager::setRenderWindow(sf::RenderWindow* window)
{
    m_renderWindow = window;
}

void InputManager::process(const sf::Event& event)
{
    switch (event.type)
    {
    case sf::Event::KeyPressed:
    case sf::Event::KeyReleased:
        // The window system reports keys it does not know as -1.
        if (isValidKeyCode(event.key.code))
        {
            // A tap that comes and goes between two frames (a slow frame, a quick finger) is
            // down in the next frame all the same, and up in the one after.
            const auto key = static_cast<std::size_t>(event.key.code);
            const bool pressed = event.type == sf::Event::KeyPressed;
            m_tapUp[key] = !pressed && m_pressedSinceUpdate[key];
            m_pressedSinceUpdate[key] = pressed || m_pressedSinceUpdate[key];
            m_eventFrame[key] = pressed || m_tapUp[key];
        }
        break;
    case sf::Event::TextEntered:
        // Printable ASCII only: addresses and names; control characters come as keys.
        if (event.text.unicode >= 0x20 && event.text.unicode < 0x7f && m_typed.size() < MaxTyped)
        {
            m_typed.push_back(static_cast<char>(event.text.unicode));
        }
        break;
    case sf::Event::LostFocus:
        // Key releases made while another window has the focus never reach us, so a key held
        // when the focus went would otherwise stay down for good.
        m_eventFrame.fill(false);
        m_tapUp.fill(false);
        break;
    default:
        break;
    }
}

std::string InputManager::takeTyped()
{
    std::string typed;
    typed.swap(m_typed);
    return typed;
}

void InputManager::update()
{
    m_lastFrame = m_thisFrame;
    m_thisFrame = m_eventFrame;
    for (std::size_t key = 0; key < m_eventFrame.size(); ++key)
    {
        m_eventFrame[key] = m_eventFrame[key] && !m_tapUp[key];
    }
    m_tapUp.fill(false);
    m_pressedSinceUpdate.fill(false);
    for (ComputerKeys& computer : m_computer)
    {
        computer.lastFrame.swap(computer.thisFrame);
        computer.thisFrame.swap(computer.pressed);
        computer.pressed.clear();
    }
}

bool InputManager::isKeyDown(int keyCode) const
{
    ORV_ASSERT(isValidKeyCode(keyCode), "KeyCode out of bounds");
    return m_thisFrame[keyCode];
}

bool InputManager::isKeyUp(int keyCode) const
{
    ORV_ASSERT(isValidKeyCode(keyCode), "KeyCode out of bounds");
    return !m_thisFrame[keyCode];
}

bool InputManager::isKeyPressed(int keyCode) const
{
    ORV_ASSERT(isValidKeyCode(keyCode), "KeyCode out of bounds");
    return m_thisFrame[keyCode] && !m_lastFrame[keyCode];
}

bool InputManager::isKeyReleased(int keyCode) const
{
    ORV_ASSERT(isValidKeyCode(keyCode), "KeyCode out of bounds");
    return !m_thisFrame[keyCode] && m_lastFrame[keyCode];
}

// An action that is not bound for the player is never down, pressed or released (and always
// up); it must not read as whichever key has the code 0.
bool InputManager::isKeyDown(const std::string& action, int playerIdx) const
{
    if (isComputerAction(action, playerIdx))
    {
        return askComputer(action, playerIdx, [](bool now, bool) { return now; });
    }
    const int keyCode = getKeyForAction(action, playerIdx);
    return keyCode != UnboundKey && isKeyDown(keyCode);
}

bool InputManager::isKeyUp(const std::string& action, int playerIdx) const
{
    if (isComputerAction(action, playerIdx))
    {
        return askComputer(action, playerIdx, [](bool now, bool) { return !now; });
    }
    const int keyCode = getKeyForAction(action, playerIdx);
    return keyCode == UnboundKey || isKeyUp(keyCode);
}

bool InputManager::isKeyPressed(const std::string& action, int playerIdx) const
{
    if (isComputerAction(action, playerIdx))
    {
        return askComputer(action, playerIdx, [](bool now, bool before) { return now && !before; });
    }
    const int keyCode = getKeyForAction(action, playerIdx);
    return keyCode != UnboundKey && isKeyPressed(keyCode);
}

bool InputManager::isKeyReleased(const std::string& action, int playerIdx) const
{
    if (isComputerAction(action, playerIdx))
    {
        return askComputer(action, playerIdx, [](bool now, bool before) { return !now && before; });
    }
    const int keyCode = getKeyForAction(action, playerIdx);
    return keyCode != UnboundKey && isKeyReleased(keyCode);
}

int InputManager::getKeyForAction(const std::string& action, int playerIdx) const
{
    ORV_ASSERT(playerIdx >= 0 && playerIdx < PlayerCount, "player out of bounds");
    const auto& bindings = m_actionBinding[playerIdx];
    const auto it = bindings.find(action);
    return it == bindings.end() ? UnboundKey : it->second;
}

void InputManager::setComputerActions(int playerIdx, const std::vector<std::string>& actions)
{
    ORV_ASSERT(playerIdx >= 0 && playerIdx < PlayerCount, "player out of bounds");
    m_computer[playerIdx].actions.insert(actions.begin(), actions.end());
}

void InputManager::clearComputerActions()
{
    for (ComputerKeys& computer : m_computer)
    {
        computer = ComputerKeys{};
    }
}

bool InputManager::isComputerAction(const std::string& action, int playerIdx) const
{
    ORV_ASSERT(playerIdx >= 0 && playerIdx < PlayerCount, "player out of bounds");
    return m_computer[playerIdx].actions.count(action) > 0;
}

void InputManager::pressAction(const std::string& action, int playerIdx)
{
    ORV_ASSERT(playerIdx >= 0 && playerIdx < PlayerCount, "player out of bounds");
    m_computer[playerIdx].pressed.insert(action);
}

template <typename Question>
bool InputManager::askComputer(const std::string& action, int playerIdx, Question question) const
{
    const ComputerKeys& computer = m_computer[playerIdx];
    return question(computer.thisFrame.count(action) > 0, computer.lastFrame.count(action) > 0);
}

sf::Vector2f InputManager::getMousePosition() const
{
    ORV_ASSERT(m_renderWindow != nullptr, "RenderWindow not set for getMousePosition.");
    const sf::Vector2i position = sf::Mouse::getPosition(*m_renderWindow);
    return sf::Vector2f(static_cast<float>(position.x), static_cast<float>(position.y));
}
} // namespace orv_gd
