#pragma once

#include <SFML/System/Vector2.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <array>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

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
    /// The printable characters typed since the last call (at most MaxTyped are held), taken once.
    std::string takeTyped();
    static constexpr std::size_t MaxTyped = 256;

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

    /// The computer's side: from now on the listed actions of the player answer only to
    /// pressAction, no longer to the keyboard (the player's other actions still do).
    void setComputerActions(int playerIdx, const std::vector<std::string>& actions);
    /// Gives every action back to the keyboard and forgets the computer's presses.
    void clearComputerActions();
    bool isComputerAction(const std::string& action, int playerIdx) const;
    /// The computer presses the action: it is down in the frame after the next update and up
    /// again in the one after, as a quick key press between two frames would be.
    void pressAction(const std::string& action, int playerIdx);

private:
    InputManager() = default;

    std::array<bool, sf::Keyboard::KeyCount> m_lastFrame{};
    std::array<bool, sf::Keyboard::KeyCount> m_thisFrame{};
    std::array<bool, sf::Keyboard::KeyCount> m_eventFrame{};
    /// Pressed since the last update, and released again after that press: such a key is down
    /// for one frame.
    std::array<bool, sf::Keyboard::KeyCount> m_pressedSinceUpdate{};
    std::array<bool, sf::Keyboard::KeyCount> m_tapUp{};
    std::string m_typed;
    sf::RenderWindow* m_renderWindow = nullptr;
    std::array<std::unordered_map<std::string, int>, PlayerCount> m_actionBinding;

    /// The computer's actions per player, and its presses: given, this frame's and last frame's.
    struct ComputerKeys
    {
        std::unordered_set<std::string> actions;
        std::unordered_set<std::string> pressed;
        std::unordered_set<std::string> thisFrame;
        std::unordered_set<std::string> lastFrame;
    };
    std::array<ComputerKeys, PlayerCount> m_computer;
    /// Answers an action question of the computer: `now` and `before` are whether it is held in
    /// this frame and the last.
    template <typename Question>
    bool askComputer(const std::string& action, int playerIdx, Question question) const;
};
} // namespace orv_gd
