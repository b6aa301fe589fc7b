#include "view/HudText.h"

#include "core/ControllerInput.h"
#include "objects/SpriteRenderComponent.h"
#include "support/MatchFixture.h"
#include "view/Palette.h"
#include "view/ProgressBarComponent.h"

#include <cstdlib>

namespace orv_gd
{
using Key = sf::Keyboard::Key;
using Cell = sf::Vector2i;
using Line = HudText::Line;

/// A real match whose HUD words are read after each frame, as a player reads them.
class HudTextTest : public ::testing::Test
{
protected:
    const std::string& text(Line line) { return m.match().getHudText().getText(line); }
    bool shown(Line line) { return m.match().getHudText().isShown(line); }
    /// Every line's words in order, a hidden one empty: "BUILDER|blocks 2/2|time 10.0 s|...".
    std::string lines()
    {
        std::string all = text(Line::Role);
        for (int line = Line::Role + 1; line < Line::LineCount; ++line)
        {
            all += "|" + text(static_cast<Line>(line));
        }
        return all;
    }

    test::MatchFixture m;
};

TEST(HudTextWords, TimeRoundsUpToATenthAndEachMessageHasItsWords)
{
    EXPECT_EQ(HudText::secondsLeft(0.0f, 10.0f), "10.0");
    EXPECT_EQ(HudText::secondsLeft(2.51f, 15.0f), "12.5");
    EXPECT_EQ(HudText::secondsLeft(9.99f, 10.0f), "0.1") << "0.0 only once the time is up";
    EXPECT_EQ(HudText::secondsLeft(10.0f, 10.0f), "0.0");
    EXPECT_EQ(HudText::secondsLeft(12.0f, 10.0f), "0.0");
    EXPECT_EQ(HudText::resetNote(rules::ResetCause::Fell, 1), "fell to the bottom row: 1 of 2 resets used");
    EXPECT_EQ(HudText::endLine(StrategyType::Runner, 13, 0), "reached the green line in 13 Runner turns");
    EXPECT_EQ(HudText::endLine(StrategyType::Builder, -1, 1), "ran out of turns");
    // The others are read on screen in the cases below.
}

TEST_F(HudTextTest, TheNumbersAreTheRulesValuesAndABannerMarksEachHandOverForAboutASecond)
{
    EXPECT_EQ(lines(),
              "BUILDER|blocks 2/2|time 10.0 s|steps 4/4|jump 0/7|resets 2/2|turns 50/50|BUILDER'S TURN|||");
    m.runFor(HudText::BannerSeconds - 0.1f);
    EXPECT_TRUE(shown(Line::Banner));
    m.runFor(0.2f);
    m.drop({4, 9}); // 1.33 s in; a drop is no hand-over
    EXPECT_EQ(lines(), "BUILDER|blocks 1/2|time 8.7 s|steps 4/4|jump 0/7|resets 2/2|turns 50/50||||");
    m.drop({5, 9});
    EXPECT_EQ(lines(), "RUNNER||time 10.0 s|steps 4/4|jump 0/7|resets 2/2|turns 50/50|RUNNER'S TURN|||");
    m.tap({Key::D}); // the Runner steps while the banner shows
    EXPECT_EQ(lines(), "RUNNER||time 10.0 s|steps 3/4|jump 1/7|resets 2/2|turns 50/50|RUNNER'S TURN|||");
    m.runFor(HudText::BannerSeconds);
    EXPECT_FALSE(shown(Line::Banner));
    m.runFor(4.0f - HudText::BannerSeconds);
    EXPECT_EQ(text(Line::Time), "time 6.0 s");
    m.tap({Key::Q});
    EXPECT_EQ(lines(),
              "BUILDER|blocks 2/2|time 10.0 s|steps 3/4|jump 1/7|resets 2/2|turns 49/50|BUILDER'S TURN|||");
}

TEST_F(HudTextTest, TheRedReasonShowsExactlyWhileTheGhostIsRedAndTheGuidesOutlineWhy)
{
    // The Runner stands on (0, 9); the finish columns are 47 to 49. Each ghost is set, or moved by
    // its keys, and the line and the ghost's colour are read after one frame.
    const auto expectReason = [&](const std::string& reason)
    {
        m.frame();
        const sf::Color color =
            m.builder().getCurrentBlock()->getComponents<BlockComponent>().front()->getShape().getFillColor();
        EXPECT_EQ(text(Line::Reason), reason);
        EXPECT_EQ(color.r == PaletteRed.r && color.g == PaletteRed.g && color.b == PaletteRed.b,
                  !reason.empty());
    };
    const std::string zone = "not on the Runner's safe zone";
    for (const auto& [cursor, reason] : {std::pair<Cell, std::string>{{46, 9}, ""},
                                         {{47, 9}, "not in the finish columns"},
                                         {{1, 8}, zone},
                                         {{1, 10}, zone}})
    {
        SCOPED_TRACE(testing::Message() << cursor.x << ", " << cursor.y);
        m.builder().setCursor(cursor);
        m.builder().replaceBlock({{0, 0}}, BlockType::Dynamic);
        expectReason(reason);
    }
    for (const auto& [key, reason] : {std::pair{Key::Right, ""}, {Key::Left, zone.c_str()}})
    {
        m.runFor(0.2f); // the cursor steps at most every 0.2 s
        m.key(key);
        expectReason(reason);
        m.key(key, false);
    }
    const float edge = m.grid().getCellSize().x;
    const sf::RectangleShape& finish = m.match().getBuilderGuides().getFinishOutline();
    EXPECT_EQ(finish.getPosition(), sf::Vector2f(47.0f * edge, 0.0f));
    EXPECT_EQ(finish.getSize(), sf::Vector2f(3.0f * edge, 15.0f * edge));
    const sf::RectangleShape& outline = m.match().getBuilderGuides().getSafeZoneOutline();
    EXPECT_EQ(outline.getPosition(), sf::Vector2f(-1.0f * edge, 8.0f * edge))
        << "three cells round the Runner";
    EXPECT_EQ(outline.getSize(), sf::Vector2f(3.0f * edge, 3.0f * edge));
}

TEST_F(HudTextTest, AResetSaysWhyAndHowManyOfTheTwoAreUsedAndTheThirdEndsTheMatch)
{
    m.giveTurnTo(StrategyType::Runner);
    m.frame();
    EXPECT_FALSE(shown(Line::ResetNote));
    m.tap({Key::R});
    EXPECT_EQ(text(Line::ResetNote), "reset: 1 of 2 resets used");
    m.runFor(HudText::ResetNoteSeconds - 0.1f);
    EXPECT_TRUE(shown(Line::ResetNote)) << "it stays into the Builder's turn";
    m.runFor(0.2f);
    EXPECT_FALSE(shown(Line::ResetNote));

    // Walled in where it starts: each Runner turn begins with a reset, which spends it.
    m.put(8, 0, 1);
    m.put(9, 1, 1);
    for (int frame = 0; frame < 300 && m.runner().getResetsLeft() == 1; ++frame)
    {
        m.frame(0.05f);
    }
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Builder);
    EXPECT_EQ(text(Line::ResetNote), "walled in: 2 of 2 resets used");
    m.runFor(10.0f, 0.05f);
    ASSERT_TRUE(m.match().isMatchOver());
    EXPECT_EQ(static_cast<EndState*>(m.states().findState("EndState"))->getSummary(), "used a third reset");
}

TEST_F(HudTextTest, PausedTheMatchWaitsAndEscapeAsksAgainBeforeLeavingPOrStartOnAnyControllerGoesOn)
{
    m.drop({4, 9});
    const std::shared_ptr<BlockComponent> placed = m.builder().getPlacedBlocks().front();
    const float had = m.builder().getTimeInTurn();
    const float lifetime = placed->getRemainingLifetime();
    const sf::Vector2f camera = m.object("Camera")->getPosition();
    m.tap({Key::P});
    ASSERT_TRUE(m.match().isPaused());
    EXPECT_EQ(text(Line::Paused), "PAUSED: P to go on, Esc for the menu");
    m.runFor(12.0f);
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Builder) << "the turn does not end while paused";
    EXPECT_EQ(m.builder().getTimeInTurn(), had);
    EXPECT_EQ(placed->getRemainingLifetime(), lifetime) << "no ageing";
    EXPECT_EQ(m.object("Camera")->getPosition(), camera) << "no slides";
    EXPECT_TRUE(shown(Line::Banner)) << "the banner waits too";
    m.tap({Key::Escape});
    EXPECT_EQ(m.states().getPendingState(), nullptr) << "paused, Escape first asks again";
    EXPECT_EQ(text(Line::Paused), "Escape again to leave the match, P to go on");

    m.tap({Key::P});
    EXPECT_FALSE(m.match().isPaused() || m.match().isLeaveArmed()) << "P goes on and forgets the Escape";
    EXPECT_FALSE(shown(Line::Paused));
    EXPECT_NE(m.object("Camera")->getPosition(), camera);
    m.runFor(10.0f - had - 0.15f);
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Builder);
    m.runFor(0.2f);
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Runner) << "it ends after the time it had left";

    m.tap({Key::Escape});
    EXPECT_TRUE(m.match().isPaused() && m.match().isLeaveArmed());
    EXPECT_EQ(m.states().getPendingState(), nullptr) << "one Escape leaves nothing";
    ControllerInput& controllers = ControllerInput::getInstance();
    controllers.setSimulated(true);
    controllers.setConnected(5, true);
    controllers.setButton(5, ControllerInput::ButtonStart, true);
    m.frame();
    EXPECT_FALSE(m.match().isPaused() || m.match().isLeaveArmed()) << "Start goes on too";
    m.runFor(0.5f);
    EXPECT_FALSE(m.match().isPaused()) << "held, it counts once";
    controllers.setButton(5, ControllerInput::ButtonStart, false);
    m.frame();
    controllers.setButton(5, ControllerInput::ButtonStart, true);
    m.frame();
    ASSERT_TRUE(m.match().isPaused());
    m.tap({Key::Escape});
    EXPECT_EQ(m.states().getPendingState(), nullptr) << "asks again after going on";
    m.key(Key::Escape);
    m.frame();
    EXPECT_EQ(m.states().getPendingState(), m.states().findState("MenuState")) << "the second Escape leaves";
}

/// The brightness of a pixel, as the eye weighs red, green and blue.
int brightness(const sf::Color& c)
{
    return (299 * c.r + 587 * c.g + 114 * c.b) / 1000;
}

/// The brightest pixel's brightness less the darkest's within a window rectangle.
int spread(const sf::Image& image, const sf::FloatRect& area)
{
    int low = 255;
    int high = 0;
    for (int y = static_cast<int>(area.top); y < static_cast<int>(area.top + area.height); ++y)
    {
        for (int x = static_cast<int>(area.left); x < static_cast<int>(area.left + area.width); ++x)
        {
            const int b = brightness(image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)));
            low = std::min(low, b);
            high = std::max(high, b);
        }
    }
    return high - low;
}

TEST(HudLayoutTest, AtBothScreenSizesEveryLineFitsClearOfTheRunnerAndStandsOutOverAWhiteRow)
{
    for (const sf::Vector2u size : {sf::Vector2u(1920, 1080), sf::Vector2u(1366, 768)})
    {
        SCOPED_TRACE(testing::Message() << size.x << "x" << size.y);
        const std::string tag = std::to_string(size.x) + "x" + std::to_string(size.y) + "_";
        test::MatchFixture m(size.x, size.y);
        m.placeRunner({10, 9});
        m.paint(13, 0, 30); // the two rows behind the HUD, white across the view
        m.paint(14, 0, 30);
        m.runFor(0.5f);
        // A red ghost on the safe zone, the banner still up: every line of the Builder's turn.
        m.builder().setCursor(m.runnerCell() + Cell(1, -1));
        m.builder().replaceBlock({{0, 0}, {1, 0}}, BlockType::Dynamic);
        m.frame();
        const HudText& hud = m.match().getHudText();
        ASSERT_TRUE(hud.isShown(Line::Reason) && hud.isShown(Line::Banner));
        test::keep(m.drawnFrame(), tag + "builder_red");
        // The cells next to the Runner, in window pixels.
        const float edge = m.grid().getCellSize().x;
        const auto topLeft = [&]
        {
            return m.object("Camera")->getPosition() - sf::Vector2f(size) / 2.0f;
        };
        const auto inWindow = [&](sf::FloatRect r)
        {
            return sf::FloatRect(r.left - topLeft().x, r.top - topLeft().y, r.width, r.height);
        };
        const sf::Vector2f runner = m.runnerBlock()->getDrawPosition() * edge - topLeft();
        const sf::FloatRect neighbours(runner.x - edge, runner.y - edge, 3.0f * edge, 3.0f * edge);
        const sf::FloatRect window(0.0f, 0.0f, static_cast<float>(size.x), static_cast<float>(size.y));
        const auto fits = [&](const sf::FloatRect& bounds)
        {
            return window.contains(bounds.left, bounds.top) &&
                   window.contains(bounds.left + bounds.width, bounds.top + bounds.height) &&
                   !bounds.intersects(neighbours);
        };
        std::vector<sf::FloatRect> placed{m.match().getOverview().getBounds()}; // the strip along the top
        for (int line = 0; line < Line::ResetNote; ++line)                      // none of a reset or a pause
        {
            const sf::FloatRect bounds = hud.getBounds(static_cast<Line>(line));
            SCOPED_TRACE(hud.getText(static_cast<Line>(line)));
            EXPECT_TRUE(hud.isShown(static_cast<Line>(line)) && fits(bounds));
            EXPECT_GE(bounds.height, 12.0f) << "legible";
            for (const sf::FloatRect& other : placed)
            {
                EXPECT_FALSE(bounds.intersects(other)) << "lines do not overlap";
            }
            placed.push_back(bounds);
        }

        // Over the white rows each icon, number and bar's end differs from what lies behind it.
        const auto standsOut = [&](const std::string& role)
        {
            m.runFor(1.5f); // the camera settles
            const sf::Image shown = m.drawnFrame();
            test::keep(shown, tag + "white_row_" + role);
            EXPECT_GE(spread(shown, hud.getBounds(Line::Role)), 100) << role;
            for (std::size_t i = 0; i < 5; ++i)
            {
                SCOPED_TRACE(role + " bar " + std::to_string(i));
                const auto bar = m.match().getProgressBars()[i]->getComponent<ProgressBarComponent>();
                const auto icon = m.match().getProgressBarIcons()[i]->getComponent<SpriteRenderComponent>();
                const sf::FloatRect barBox = inWindow(bar->getBackground().getGlobalBounds());
                const sf::FloatRect iconBox = inWindow(icon->getSprite().getGlobalBounds());
                // The part of an icon above its bar (the steps' arrows lie wholly on their bar).
                EXPECT_TRUE(i == 1 || spread(shown, {iconBox.left, iconBox.top, iconBox.width,
                                                     barBox.top - iconBox.top}) >= 150)
                    << "the icon";
                EXPECT_GE(spread(shown, hud.getBounds(static_cast<Line>(Line::Time + i))), 150)
                    << "the number";
                const float middle = barBox.top + barBox.height / 2.0f;
                const int beyond = brightness(m.pixel(shown, {barBox.left + barBox.width + 3.0f, middle}));
                int most = 0;
                for (float x = barBox.left + barBox.width - 4.0f; x < barBox.left + barBox.width; x += 1.0f)
                {
                    most = std::max(most, std::abs(brightness(m.pixel(shown, {x, middle})) - beyond));
                }
                EXPECT_GE(most, 50) << "the bar's end";
            }
            return shown;
        };
        standsOut("Builder");
        m.giveTurnTo(StrategyType::Runner);
        const sf::Image running = standsOut("Runner");

        // Paused: the line is drawn clear of the Runner over the dimmed map.
        m.tap({Key::P});
        const sf::Image paused = m.drawnFrame();
        test::keep(paused, tag + "paused");
        const sf::FloatRect line = hud.getBounds(Line::Paused);
        EXPECT_TRUE(fits({line.left, line.top, line.width, 0.0f}));
        int white = 0;
        for (float y = line.top; y < line.top + line.height; ++y)
        {
            for (float x = line.left; x < line.left + line.width; ++x)
            {
                white += m.pixel(paused, {x, y}) == PaletteWhite ? 1 : 0;
            }
        }
        EXPECT_GT(white, 200) << "the line is drawn";
        const sf::Vector2f middle = runner + sf::Vector2f(edge, edge) / 2.0f;
        EXPECT_LT(m.pixel(paused, middle).b, m.pixel(running, middle).b / 2) << "the map is dimmed";

        // The end screen's line, in the picture's band between its scene and its keys.
        m.match().endMatch(StrategyType::Runner);
        m.frame();
        test::keep(m.drawnFrame(), tag + "end_runner");
        const EndState& end = *static_cast<EndState*>(m.states().findState("EndState"));
        EXPECT_EQ(end.getSummary(), "reached the green line in 1 Runner turn");
        const sf::FloatRect picture = end.getSprite().getGlobalBounds();
        const sf::FloatRect bounds = end.getSummaryText().getGlobalBounds();
        EXPECT_TRUE(picture.contains(bounds.left, bounds.top) &&
                    picture.contains(bounds.left + bounds.width, bounds.top + bounds.height));
        EXPECT_NEAR(bounds.top + bounds.height / 2.0f - picture.top, 0.78f * picture.height,
                    0.02f * picture.height);
    }
}
} // namespace orv_gd
