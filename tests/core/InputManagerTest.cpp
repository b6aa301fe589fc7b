#include "core/InputManager.h"

#include <SFML/Window/Event.hpp>

#include <gtest/gtest.h>

namespace orv_gd
{
namespace
{
sf::Event keyEvent(sf::Event::EventType type, int code)
{
    sf::Event event{};
    event.type = type;
    event.key.code = static_cast<sf::Keyboard::Key>(code);
    return event;
}

void press(InputManager& input, int code)
{
    input.process(keyEvent(sf::Event::KeyPressed, code));
}

void release(InputManager& input, int code)
{
    input.process(keyEvent(sf::Event::KeyReleased, code));
}

struct KeyAnswers
{
    bool down;
    bool up;
    bool pressed;
    bool released;
    bool operator==(const KeyAnswers& other) const
    {
        return down == other.down && up == other.up && pressed == other.pressed && released == other.released;
    }
};

KeyAnswers answers(const InputManager& input, int code)
{
    return {input.isKeyDown(code), input.isKeyUp(code), input.isKeyPressed(code), input.isKeyReleased(code)};
}

KeyAnswers answers(const InputManager& input, const std::string& action, int player)
{
    return {input.isKeyDown(action, player), input.isKeyUp(action, player),
            input.isKeyPressed(action, player), input.isKeyReleased(action, player)};
}

const KeyAnswers Idle{false, true, false, false};
const KeyAnswers JustPressed{true, false, true, false};
const KeyAnswers Held{true, false, false, false};
const KeyAnswers JustReleased{false, true, false, true};
} // namespace

TEST(InputManagerTest, AHeldKeyIsPressedOnceDownEveryFrameAndReleasedOnce)
{
    InputManager& input = InputManager::getInstance();
    const int space = sf::Keyboard::Space;
    EXPECT_EQ(answers(input, space), Idle);

    press(input, space);
    // Nothing changes before the frame's update.
    EXPECT_EQ(answers(input, space), Idle);
    input.update();
    EXPECT_EQ(answers(input, space), JustPressed);
    input.update();
    EXPECT_EQ(answers(input, space), Held);
    input.update();
    EXPECT_EQ(answers(input, space), Held);
    release(input, space);
    EXPECT_EQ(answers(input, space), Held);
    input.update();
    EXPECT_EQ(answers(input, space), JustReleased);
    input.update();
    EXPECT_EQ(answers(input, space), Idle);
}

TEST(InputManagerTest, APressAndReleaseBetweenTwoFramesLeavesNoTrace)
{
    InputManager& input = InputManager::getInstance();
    press(input, sf::Keyboard::Enter);
    release(input, sf::Keyboard::Enter);
    input.update();
    EXPECT_EQ(answers(input, sf::Keyboard::Enter), Idle);
    input.update();
    EXPECT_EQ(answers(input, sf::Keyboard::Enter), Idle);
}

TEST(InputManagerTest, UnknownKeysAndOtherEventsChangeNothing)
{
    InputManager& input = InputManager::getInstance();
    press(input, sf::Keyboard::Unknown);
    press(input, sf::Keyboard::KeyCount);
    sf::Event text{};
    text.type = sf::Event::TextEntered;
    text.text.unicode = 'a';
    input.process(text);
    input.update();
    for (int code = 0; code < sf::Keyboard::KeyCount; ++code)
    {
        EXPECT_EQ(answers(input, code), Idle) << "key " << code;
    }
}

TEST(InputManagerTest, LosingTheFocusReleasesEveryKey)
{
    InputManager& input = InputManager::getInstance();
    press(input, sf::Keyboard::W);
    press(input, sf::Keyboard::Right);
    input.update();
    sf::Event lostFocus{};
    lostFocus.type = sf::Event::LostFocus;
    input.process(lostFocus);
    input.update();
    EXPECT_EQ(answers(input, sf::Keyboard::W), JustReleased);
    EXPECT_EQ(answers(input, sf::Keyboard::Right), JustReleased);
}

TEST(InputManagerTest, ActionsAnswerForTheirPlayersKey)
{
    InputManager& input = InputManager::getInstance();
    input.bind("Select", sf::Keyboard::Space, 0);
    input.bind("BuilderPlace", sf::Keyboard::Enter, 1);
    input.bind("RunnerLeft", sf::Keyboard::A, 0);
    EXPECT_EQ(input.getKeyForAction("BuilderPlace", 1), sf::Keyboard::Enter);

    press(input, sf::Keyboard::Enter);
    input.update();
    EXPECT_EQ(answers(input, "BuilderPlace", 1), JustPressed);
    EXPECT_EQ(answers(input, "Select", 0), Idle);

    // A second bind keeps only the new key.
    input.bind("Select", sf::Keyboard::Enter, 0);
    EXPECT_EQ(input.getKeyForAction("Select", 0), sf::Keyboard::Enter);
    EXPECT_EQ(answers(input, "Select", 0), JustPressed);

    input.unbind("Select", 0);
    EXPECT_EQ(input.getKeyForAction("Select", 0), InputManager::UnboundKey);
    EXPECT_EQ(answers(input, "Select", 0), Idle);
}

TEST(InputManagerTest, AnActionUnboundForThePlayerNeverReadsAsKeyA)
{
    InputManager& input = InputManager::getInstance();
    input.bind("RunnerLeft", sf::Keyboard::A, 0);
    input.bind("BuilderPlace", sf::Keyboard::Enter, 1);
    press(input, sf::Keyboard::A);
    input.update();
    EXPECT_EQ(answers(input, "RunnerLeft", 0), JustPressed);
    EXPECT_EQ(input.getKeyForAction("BuilderPlace", 0), InputManager::UnboundKey);
    EXPECT_EQ(answers(input, "BuilderPlace", 0), Idle);
    EXPECT_EQ(answers(input, "NoSuchAction", 3), Idle);
    release(input, sf::Keyboard::A);
    input.update();
    EXPECT_EQ(answers(input, "BuilderPlace", 0), Idle);
}

TEST(InputManagerTest, OutOfRangePlayersAndKeysStopTheProgram)
{
    InputManager& input = InputManager::getInstance();
    EXPECT_DEATH(input.bind("Exit", sf::Keyboard::Escape, InputManager::PlayerCount),
                 "Line: [0-9]+ player out of bounds");
    EXPECT_DEATH(input.unbind("Exit", -1), "player out of bounds");
    EXPECT_DEATH(input.getKeyForAction("Exit", 4), "player out of bounds");
    EXPECT_DEATH(input.isKeyPressed("Exit", -1), "player out of bounds");
    EXPECT_DEATH(input.isKeyDown(sf::Keyboard::KeyCount), "Line: [0-9]+ KeyCode out of bounds");
    EXPECT_DEATH(input.isKeyReleased(-1), "KeyCode out of bounds");
    EXPECT_DEATH(input.getMousePosition(), "RenderWindow not set for getMousePosition.");
}
} // namespace orv_gd
