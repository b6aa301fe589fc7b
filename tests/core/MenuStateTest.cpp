#include "core/MenuState.h"

#include "core/ControllerInput.h"
#include "core/EndState.h"
#include "resources/AssetManager.h"
#include "resources/TraceRecorder.h"
#include "support/ScreenFixture.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <gtest/gtest.h>

namespace orv_gd
{
namespace
{
class MenuStateTest : public ::testing::Test
{
protected:
    test::ScreenFixture screens;
};
} // namespace

TEST_F(MenuStateTest, TheFirstVisitTakesSpaceInItsVeryFirstFrame)
{
    screens.game().getGameStateManager().setState("MenuState");
    screens.press(sf::Keyboard::Space);
    screens.frame();
    EXPECT_EQ(screens.current(), "MenuState");
    EXPECT_GT(screens.menu().getTimeInState(), 2.0f) << "the first visit starts at 2 seconds";
    screens.frame();
    EXPECT_EQ(screens.current(), "TutorialState");
    EXPECT_EQ(screens.removeAllWidgetsCount(), 1u) << "the menu's exit empties the GUI";
}

TEST_F(MenuStateTest, ALaterVisitIgnoresSpaceForTheFirstFifthOfASecond)
{
    screens.enter("MenuState");
    screens.tap(sf::Keyboard::Space);
    ASSERT_EQ(screens.current(), "TutorialState");

    // Back from the end screen: the Space that left it must not skip the menu as well.
    screens.enter("MenuState");
    EXPECT_LT(screens.menu().getTimeInState(), MenuState::MenuInputDelay);
    screens.tap(sf::Keyboard::Space, 0.05f);
    screens.frame();
    EXPECT_EQ(screens.current(), "MenuState");

    screens.runFor(0.2f);
    screens.tap(sf::Keyboard::Space);
    EXPECT_EQ(screens.current(), "TutorialState");
}

TEST_F(MenuStateTest, EscapeClosesTheWindowWithoutDelayAndSaysSoOnce)
{
    screens.enter("MenuState");
    screens.enter("TutorialState");
    screens.enter("MenuState", 0.0f);
    // Controller button 1 in the same frame asks for the same thing, but only after the delay.
    ControllerInput& controllers = screens.controllers();
    controllers.setConnected(2, true);
    controllers.setButton(2, 1, true);
    screens.press(sf::Keyboard::Escape);
    screens.frame(0.0f);
    EXPECT_FALSE(screens.game().getWindow().isOpen());
    EXPECT_EQ(screens.output(), "closing game\n");
    screens.frame(0.3f);
    EXPECT_EQ(screens.output(), "closing game\n");
}

TEST_F(MenuStateTest, AnyConnectedControllerConfirmsOrQuitsAfterTheDelay)
{
    ControllerInput& controllers = screens.controllers();
    screens.enter("MenuState");
    screens.enter("TutorialState");
    screens.enter("MenuState");

    // A disconnected slot is not read, whatever its buttons say.
    controllers.setButton(7, 0, true);
    controllers.setButton(7, 1, true);
    screens.runFor(0.5f);
    EXPECT_EQ(screens.current(), "MenuState");
    EXPECT_TRUE(screens.game().getWindow().isOpen());

    // Held, not pressed: a button already down counts once the delay has passed.
    screens.enter("MenuState");
    controllers.setConnected(7, true);
    screens.frame(0.1f);
    screens.frame(0.05f);
    EXPECT_EQ(screens.current(), "MenuState") << "still inside the delay";
    screens.frame(0.1f);
    screens.frame();
    EXPECT_EQ(screens.current(), "TutorialState");
    EXPECT_FALSE(screens.game().getWindow().isOpen()) << "button 1 of the same controller quits";
    EXPECT_EQ(screens.output(), "closing game\n");
}

TEST_F(MenuStateTest, ThePictureFillsTheWindowWholeAndCentred)
{
    screens.enter("MenuState");
    const sf::FloatRect bounds = screens.menu().getSprite().getGlobalBounds();
    // 1920x1080 into 800x600: 800x450 with bars of 75 above and below.
    EXPECT_NEAR(bounds.left, 0.0f, 0.01f);
    EXPECT_NEAR(bounds.top, 75.0f, 0.01f);
    EXPECT_NEAR(bounds.width, 800.0f, 0.01f);
    EXPECT_NEAR(bounds.height, 450.0f, 0.01f);
    EXPECT_EQ(screens.menu().getSprite().getTexture(), AssetManager::getInstance().GetTexture("start").get());

    const sf::Image frame = screens.render();
    EXPECT_EQ(frame.getPixel(400, 40), sf::Color::Black) << "bar above the picture";
    EXPECT_EQ(frame.getPixel(400, 560), sf::Color::Black) << "bar below the picture";
    // The picture's own dark background sits just inside its edge.
    const sf::Color inside = frame.getPixel(5, 80);
    EXPECT_NEAR(inside.r, 20, 8);
    EXPECT_NEAR(inside.g, 20, 8);
    EXPECT_NEAR(inside.b, 20, 8);
}

TEST_F(MenuStateTest, TheMenuKeepsTheViewOfItsFirstVisit)
{
    sf::RenderWindow& window = screens.game().getWindow();
    const sf::View first = window.getView();
    screens.enter("MenuState");
    screens.enter("TutorialState");
    // A match moves the view around; the menu puts its own back.
    window.setView(sf::View(sf::FloatRect(1000.0f, 1000.0f, 400.0f, 300.0f)));
    screens.enter("MenuState");
    EXPECT_EQ(window.getView().getCenter(), first.getCenter());
    EXPECT_EQ(window.getView().getSize(), first.getSize());
}

TEST_F(MenuStateTest, EachScreenOperationIsTimedUnderItsName)
{
    test::TempWorkDir traceDir;
    TraceRecorder::get().beginSession("screens", "screens.json");
    screens.enter("MenuState");
    screens.render();
    screens.tap(sf::Keyboard::Space);
    screens.render();
    screens.tap(sf::Keyboard::Space);
    screens.end().setWinner(StrategyType::Builder);
    screens.enter("EndState");
    screens.render();
    screens.enter("MenuState");
    TraceRecorder::get().endSession();

    const std::string trace = traceDir.read("screens.json");
    for (const char* name :
         {"orv_gd::MenuState::init", "orv_gd::MenuState::update", "orv_gd::MenuState::draw",
          "orv_gd::MenuState::exit", "orv_gd::MenuState::registerGamepads", "orv_gd::TutorialState::init",
          "orv_gd::TutorialState::update", "orv_gd::TutorialState::draw", "orv_gd::TutorialState::exit",
          "orv_gd::EndState::init", "orv_gd::EndState::update", "orv_gd::EndState::draw",
          "orv_gd::EndState::exit"})
    {
        EXPECT_NE(trace.find(std::string("\"name\":\"") + name + "\""), std::string::npos) << name;
    }
}
} // namespace orv_gd
