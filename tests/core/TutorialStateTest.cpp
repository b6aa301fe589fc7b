#include "core/TutorialState.h"

#include "core/ControllerInput.h"
#include "resources/AssetManager.h"
#include "support/RecordingState.h"
#include "support/ScreenFixture.h"

#include <gtest/gtest.h>

namespace orv_gd
{
namespace
{
class TutorialStateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        screens.enter("MenuState");
        screens.tap(sf::Keyboard::Space);
        ASSERT_EQ(screens.current(), "TutorialState");
    }

    const sf::Texture* shownTexture()
    {
        const TutorialState& tutorial = screens.tutorial();
        return tutorial.getSlides().at(tutorial.getCurrentSlide()).getTexture();
    }

    const sf::Texture* texture(const char* id) const
    {
        return AssetManager::getInstance().GetTexture(id).get();
    }

    test::ScreenFixture screens;
};
} // namespace

TEST_F(TutorialStateTest, ThePagesAlternateEverySevenAndAHalfSeconds)
{
    ASSERT_EQ(screens.tutorial().getSlides().size(), 2u);
    EXPECT_EQ(shownTexture(), texture("tutorial1"));
    screens.runFor(7.3f, 0.1f);
    EXPECT_EQ(screens.tutorial().getCurrentSlide(), 0u);
    screens.frame(0.5f);
    EXPECT_EQ(shownTexture(), texture("tutorial2"));
    // The excess over 7.5 seconds is dropped: the next page needs a full 7.5 seconds again.
    screens.runFor(7.4f, 0.1f);
    EXPECT_EQ(screens.tutorial().getCurrentSlide(), 1u);
    screens.runFor(0.2f, 0.1f);
    EXPECT_EQ(shownTexture(), texture("tutorial1"));
}

TEST_F(TutorialStateTest, SpaceStartsTheMatchAndALaterVisitResumesThePage)
{
    screens.runFor(8.0f, 0.1f);
    ASSERT_EQ(screens.tutorial().getCurrentSlide(), 1u);
    const unsigned widgetsBefore = screens.removeAllWidgetsCount();
    screens.tap(sf::Keyboard::Space);
    EXPECT_EQ(screens.current(), "MainState");
    EXPECT_EQ(screens.match().initCount, 1);
    EXPECT_EQ(screens.removeAllWidgetsCount(), widgetsBefore + 1) << "the tutorial's exit empties the GUI";

    screens.enter("MenuState");
    screens.runFor(0.3f);
    screens.tap(sf::Keyboard::Space);
    ASSERT_EQ(screens.current(), "TutorialState");
    EXPECT_EQ(screens.tutorial().getCurrentSlide(), 1u) << "the page it was left on";
    ASSERT_EQ(screens.tutorial().getSlides().size(), 2u) << "the pages are built once";
    screens.runFor(7.0f, 0.1f);
    EXPECT_EQ(screens.tutorial().getCurrentSlide(), 0u) << "and its timer went on from where it was";
}

TEST_F(TutorialStateTest, AControllerButtonHeldFromTheMenuMustBeLetGoFirst)
{
    ControllerInput& controllers = screens.controllers();
    // Button 0 of controller 3 confirms the menu and is still held when the tutorial appears.
    screens.enter("MenuState");
    screens.runFor(0.3f);
    controllers.setConnected(3, true);
    controllers.setButton(3, 0, true);
    screens.frame();
    screens.frame();
    ASSERT_EQ(screens.current(), "TutorialState");
    screens.runFor(1.0f);
    EXPECT_EQ(screens.current(), "TutorialState");

    controllers.setButton(3, 0, false);
    screens.frame();
    controllers.setButton(3, 0, true);
    screens.frame();
    screens.frame();
    EXPECT_EQ(screens.current(), "MainState");
}

TEST_F(TutorialStateTest, ARevisitForgetsThatTheButtonWasSeenUp)
{
    ControllerInput& controllers = screens.controllers();
    controllers.setConnected(0, true);
    screens.frame();
    controllers.setButton(0, 0, true);
    screens.frame();
    screens.frame();
    ASSERT_EQ(screens.current(), "MainState");

    screens.enter("TutorialState");
    screens.runFor(0.5f);
    EXPECT_EQ(screens.current(), "TutorialState") << "the button is still held from the last visit";
}

TEST_F(TutorialStateTest, DrawsTheShownPageFittedToTheWindow)
{
    const sf::Image first = screens.render();
    screens.runFor(7.6f, 0.1f);
    const sf::Image second = screens.render();
    EXPECT_EQ(first.getPixel(400, 40), sf::Color::Black);
    EXPECT_EQ(second.getPixel(400, 560), sf::Color::Black);
    // The two pages differ where their role names stand (blue on the first, amber on the second).
    unsigned differing = 0;
    for (unsigned x = 400; x < 800; x += 4)
    {
        for (unsigned y = 75; y < 140; y += 4)
        {
            differing += first.getPixel(x, y) != second.getPixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_GT(differing, 20u);
}
} // namespace orv_gd
