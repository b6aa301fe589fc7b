#include "core/InputManager.h"

#include "support/InputRestore.h"

#include <SFML/Window/Event.hpp>

#include <gtest/gtest.h>

namespace orv_gd
{
namespace
{
void send(sf::Event::EventType type, int code)
{
    sf::Event event{};
    event.type = type;
    event.key.code = static_cast<sf::Keyboard::Key>(code);
    InputManager::getInstance().process(event);
}

/// The answers for a key code, or an action and player: "D" down, "U" up, "P" pressed, "R" released.
template <typename... Key>
std::string answers(const Key&... key)
{
    const InputManager& input = InputManager::getInstance();
    return std::string(input.isKeyDown(key...) ? "D" : "-") + (input.isKeyUp(key...) ? "U" : "-") +
           (input.isKeyPressed(key...) ? "P" : "-") + (input.isKeyReleased(key...) ? "R" : "-");
}

/// One frame: the events arrive, then the update; returns the space bar's answers.
std::string frame(std::initializer_list<std::pair<sf::Event::EventType, int>> events)
{
    for (const auto& [type, code] : events)
    {
        send(type, code);
    }
    InputManager::getInstance().update();
    return answers(sf::Keyboard::Space);
}
} // namespace

TEST(InputManagerTest, KeysTakeEffectAtTheNextUpdateAndActionsAnswerForTheirPlayersKeyOnly)
{
    const test::InputRestore restore;
    const int space = sf::Keyboard::Space;
    send(sf::Event::KeyPressed, space);
    EXPECT_EQ(answers(space), "-U--") << "nothing changes before the update";
    EXPECT_EQ(frame({}), "D-P-");
    EXPECT_EQ(frame({}), "D---");
    EXPECT_EQ(frame({{sf::Event::KeyReleased, space}}), "-U-R");
    EXPECT_EQ(frame({}), "-U--");
    // A tap between two frames is down for one frame, then up; a held key let go is up at once.
    EXPECT_EQ(frame({{sf::Event::KeyPressed, space}, {sf::Event::KeyReleased, space}}), "D-P-");
    EXPECT_EQ(frame({}), "-U-R");
    EXPECT_EQ(frame({{sf::Event::KeyPressed, space},
                     {sf::Event::KeyReleased, space},
                     {sf::Event::KeyPressed, space}}),
              "D-P-");
    EXPECT_EQ(frame({}), "D---") << "pressed again after the tap: held";
    EXPECT_EQ(frame({{sf::Event::KeyReleased, space}, {sf::Event::KeyPressed, space}}), "D---");
    EXPECT_EQ(frame({{sf::Event::KeyReleased, space}}), "-U-R");
    EXPECT_EQ(frame({{sf::Event::KeyPressed, space}, {sf::Event::KeyPressed, sf::Keyboard::W}}), "D-P-");
    EXPECT_EQ(frame({{sf::Event::LostFocus, 0}}), "-U-R");
    EXPECT_EQ(answers(sf::Keyboard::W), "-U-R");
    EXPECT_EQ(frame({{sf::Event::KeyPressed, -1}, {sf::Event::KeyPressed, sf::Keyboard::KeyCount}}) +
                  answers(0),
              "-U---U--")
        << "unknown keys change nothing";
    InputManager& input = InputManager::getInstance();
    input.bind("Select", sf::Keyboard::Space, 0);
    input.bind("BuilderPlace", sf::Keyboard::Enter, 1);
    frame({{sf::Event::KeyPressed, sf::Keyboard::Enter}, {sf::Event::KeyPressed, sf::Keyboard::A}});
    EXPECT_EQ(answers("BuilderPlace", 1) + answers("Select", 0), "D-P--U--");
    // Unbound for this player, or unknown: never down, never read as key 0 (A).
    EXPECT_EQ(input.getKeyForAction("BuilderPlace", 0), InputManager::UnboundKey);
    EXPECT_EQ(answers("BuilderPlace", 0) + answers("NoSuchAction", 3), "-U---U--");
    frame({{sf::Event::KeyReleased, sf::Keyboard::A}});
    EXPECT_EQ(answers("BuilderPlace", 0), "-U--");
    input.bind("Select", sf::Keyboard::Enter, 0); // a second bind keeps only the new key
    EXPECT_EQ(answers("Select", 0), "D---");
    input.unbind("Select", 0);
    EXPECT_EQ(input.getKeyForAction("Select", 0), InputManager::UnboundKey);
    EXPECT_EQ(answers("Select", 0), "-U--");
    EXPECT_DEATH(input.bind("Exit", 0, InputManager::PlayerCount), "Line: [0-9]+ player out of bounds");
    EXPECT_DEATH(input.isKeyPressed("Exit", -1), "player out of bounds");
    EXPECT_DEATH(input.isKeyDown(sf::Keyboard::KeyCount), "Line: [0-9]+ KeyCode out of bounds");
    EXPECT_DEATH(input.getMousePosition(), "RenderWindow not set for getMousePosition.");
}

TEST(InputManagerTest, TheComputersActionsAnswerOnlyToItsPressesOneFrameLaterForOneFrame)
{
    InputManager& input = InputManager::getInstance();
    input.bind("RunnerRight", sf::Keyboard::D, 0);
    input.bind("Exit", sf::Keyboard::Escape, 0);
    input.setComputerActions(0, {"RunnerRight"});
    frame({{sf::Event::KeyPressed, sf::Keyboard::D}, {sf::Event::KeyPressed, sf::Keyboard::Escape}});
    EXPECT_EQ(answers("RunnerRight", 0) + answers("Exit", 0), "-U--D-P-") << "the key is not the computer's";
    input.pressAction("RunnerRight", 0);
    input.pressAction("Exit", 0); // not the computer's: ignored
    EXPECT_EQ(answers("RunnerRight", 0), "-U--") << "nothing before the update";
    frame({});
    EXPECT_EQ(answers("RunnerRight", 0) + answers("Exit", 0), "D-P-D---");
    EXPECT_EQ(answers("RunnerRight", 1), "-U--") << "only for its player";
    frame({});
    EXPECT_EQ(answers("RunnerRight", 0), "-U-R");
    input.pressAction("RunnerRight", 0);
    input.clearComputerActions();
    frame({});
    EXPECT_EQ(answers("RunnerRight", 0), "D---") << "the keyboard answers again, the press is forgotten";
    EXPECT_FALSE(input.isComputerAction("RunnerRight", 0));
    frame({{sf::Event::KeyReleased, sf::Keyboard::D}, {sf::Event::KeyReleased, sf::Keyboard::Escape}});
}
} // namespace orv_gd
