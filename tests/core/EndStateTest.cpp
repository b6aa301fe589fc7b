#include "core/EndState.h"

#include "core/ControllerInput.h"
#include "resources/AssetManager.h"
#include "support/ScreenFixture.h"

#include <SFML/Audio/Sound.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <gtest/gtest.h>

namespace orv_gd
{
namespace
{
class EndStateTest : public ::testing::Test
{
protected:
    /// The way a match ends: request the end screen, tell it the winner, call its init at once.
    void finishMatch(StrategyType winner)
    {
        screens.game().getGameStateManager().setState("EndState");
        screens.end().setWinner(winner);
        screens.end().init();
    }

    const sf::Texture* texture(const char* id) const
    {
        return AssetManager::getInstance().GetTexture(id).get();
    }

    test::ScreenFixture screens;
};
} // namespace

TEST_F(EndStateTest, ShowsTheWinnersPictureAndPlaysTheFanfare)
{
    screens.enter("MainState");
    sf::Sound& win = AssetManager::getInstance().GetSound("win");
    finishMatch(StrategyType::Builder);
    EXPECT_EQ(screens.end().getSprite().getTexture(), texture("win_builder"));
    EXPECT_EQ(win.getStatus(), sf::Sound::Playing);
    screens.frame();
    ASSERT_EQ(screens.current(), "EndState");
    EXPECT_EQ(screens.end().getSprite().getTexture(), texture("win_builder"));
    EXPECT_EQ(win.getStatus(), sf::Sound::Playing) << "the switch starts it again";

    const sf::FloatRect bounds = screens.end().getSprite().getGlobalBounds();
    EXPECT_NEAR(bounds.width, 800.0f, 0.01f);
    EXPECT_NEAR(bounds.top, 75.0f, 0.01f);

    screens.tap(sf::Keyboard::Space);
    ASSERT_EQ(screens.current(), "MenuState");
    screens.enter("MainState");
    finishMatch(StrategyType::Runner);
    screens.frame();
    EXPECT_EQ(screens.end().getSprite().getTexture(), texture("win_runner"));
}

TEST_F(EndStateTest, TheSecondInitRestartsTheFanfare)
{
    screens.enter("MainState");
    sf::Sound& win = AssetManager::getInstance().GetSound("win");
    finishMatch(StrategyType::Runner);
    win.setPlayingOffset(sf::seconds(0.8f));
    screens.frame();
    EXPECT_EQ(win.getStatus(), sf::Sound::Playing);
    EXPECT_LT(win.getPlayingOffset().asSeconds(), 0.5f);
}

TEST_F(EndStateTest, SpaceOrAHeldButtonLeadsBackToTheMenuWithoutDelay)
{
    screens.enter("MainState");
    finishMatch(StrategyType::Runner);
    screens.frame(0.0f);
    const unsigned widgetsBefore = screens.removeAllWidgetsCount();
    screens.tap(sf::Keyboard::Space, 0.0f);
    EXPECT_EQ(screens.current(), "MenuState");
    EXPECT_EQ(screens.removeAllWidgetsCount(), widgetsBefore + 1) << "the end screen's exit empties the GUI";

    // Button 0 held when the end screen appears returns in the next frame.
    ControllerInput& controllers = screens.controllers();
    controllers.setConnected(6, true);
    controllers.setButton(6, 0, true);
    screens.enter("MainState");
    finishMatch(StrategyType::Builder);
    screens.frame();
    EXPECT_EQ(screens.current(), "EndState");
    screens.frame();
    EXPECT_EQ(screens.current(), "MenuState");
}

TEST_F(EndStateTest, EscapeOrButtonOneQuitsAndSaysSoOnce)
{
    screens.enter("MainState");
    finishMatch(StrategyType::Runner);
    screens.frame();
    screens.press(sf::Keyboard::Escape);
    screens.frame();
    EXPECT_FALSE(screens.game().getWindow().isOpen());

    screens.game().getWindow().create(sf::VideoMode(800, 600), "test", sf::Style::None);
    screens.controllers().setConnected(1, true);
    screens.controllers().setButton(1, 1, true);
    screens.frame();
    EXPECT_FALSE(screens.game().getWindow().isOpen());
    screens.frame();
    EXPECT_EQ(screens.output(), "closing game\nclosing game\n")
        << "once per closing, though the button stays held";
}
} // namespace orv_gd
