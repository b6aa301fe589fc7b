#pragma once

#include <SFML/System/Vector2.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <array>
#include <string>
#include <unordered_map>

namespace sf
{
class Event;
class RenderWindow;
} // namespace sf

namespace orv_gd
{
/// The one keyboard state: key events become held, pressed-this-frame and released-this-frame
/// answers, and named actions are bound to keys per player.
class InputManager
{
public:
    static constexpr int PlayerCount = 4;
    /// What getKeyForAction answers for an action the player has no key for.
    static constexpr int UnboundKey = sf::Keyboard::Unknown;

    static InputManager& getInstance();

    void bind(const std::string& action, int keyCode, int playerIdx);
    void unbind(const std::string& action, int playerIdx);
    void setRenderWindow(sf::RenderWindow* window);

    void process(const sf::Event& event);
    void update();

    bool isKeyDown(int keyCode) const;
    bool isKeyUp(int keyCode) const;
    bool isKeyPressed(int keyCode) const;
    bool isKeyReleased(int keyCode) const;

    bool isKeyDown(const std::string& action, int playerIdx) const;
    bool isKeyUp(const std::string& action, int playerIdx) const;
    bool isKeyPressed(const std::string& action, int playerIdx) const;
    bool isKeyReleased(const std::string& action, int playerIdx) const;

    /// The key bound to the action for the player, or UnboundKey. An unbound action is never
    /// down, pressed or released.
    int getKeyForAction(const std::string& action, int playerIdx) const;
    sf::Vector2f getMousePosition() const;

private:
    InputManager() = default;

    std::array<bool, sf::Keyboard::KeyCount> m_lastFrame{};
    std::array<bool, sf::Keyboard::KeyCount> m_thisFrame{};
    std::array<bool, sf::Keyboard::KeyCount> m_eventFrame{};
    sf::RenderWindow* m_renderWindow = nullptr;
    std::array<std::unordered_map<std::string, int>, PlayerCount> m_actionBinding;
};
} // namespace orv_gd
