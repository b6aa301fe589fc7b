#include "match/HudText.h"

#include "core/ControllerInput.h"
#include "match/Palette.h"
#include "match/PauseSwitch.h"
#include "match/ProgressBarComponent.h"
#include "objects/SpriteRenderComponent.h"
#include "support/MatchFixture.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <cstdlib>
#include <map>

namespace orv_gd
{
using Key = sf::Keyboard::Key;
using Cell = sf::Vector2i;
using Line = HudText::Line;

/// A real match whose HUD words are read after each frame, as a player reads them.
class HudTextTest : public ::testing::Test
{
protected:
    const HudText& hud() { return m.match().getHudText(); }
    const std::string& text(Line line) { return hud().getText(line); }
    bool ghostIsRed()
    {
        const sf::Color color =
            m.builder().getCurrentBlock()->getComponents<BlockComponent>().front()->getShape().getFillColor();
        return color.r == PaletteRed.r && color.g == PaletteRed.g && color.b == PaletteRed.b;
    }

    test::MatchFixture m;
    ControllerInput& controllers = ControllerInput::getInstance();
};

TEST(HudTextWords, TimeRoundsUpToATenthAndEachMessageHasItsWords)
{
    EXPECT_EQ(HudText::secondsLeft(0.0f, 10.0f), "10.0");
    EXPECT_EQ(HudText::secondsLeft(2.5f, 10.0f), "7.5");
    EXPECT_EQ(HudText::secondsLeft(2.51f, 10.0f), "7.5");
    EXPECT_EQ(HudText::secondsLeft(9.99f, 10.0f), "0.1") << "0.0 only once the time is up";
    EXPECT_EQ(HudText::secondsLeft(10.0f, 10.0f), "0.0");
    EXPECT_EQ(HudText::secondsLeft(12.0f, 10.0f), "0.0");
    EXPECT_EQ(HudText::resetNote(RunnerStrategy::ResetCause::Fell, 1),
              "fell to the bottom row: 1 of 2 resets used");
    EXPECT_EQ(HudText::resetNote(RunnerStrategy::ResetCause::WalledIn, 2), "walled in: 2 of 2 resets used");
    EXPECT_EQ(HudText::resetNote(RunnerStrategy::ResetCause::Asked, 1), "reset: 1 of 2 resets used");
    EXPECT_EQ(HudText::endLine(StrategyType::Runner, 50, 2), "reached the green line in 1 turn");
    EXPECT_EQ(HudText::endLine(StrategyType::Runner, 38, 0), "reached the green line in 13 turns");
    EXPECT_EQ(HudText::endLine(StrategyType::Builder, -1, 1), "ran out of turns");
    EXPECT_EQ(HudText::endLine(StrategyType::Builder, 12, -1), "used a third reset");
}

TEST_F(HudTextTest, TheNumbersAreTheRulesValuesThroughATurnOfEachRole)
{
    const std::map<Line, std::string> opening{{Line::Role, "BUILDER"},     {Line::Blocks, "blocks 2/2"},
                                              {Line::Time, "time 10.0 s"}, {Line::Steps, "steps 4/4"},
                                              {Line::Jump, "jump 0/7"},    {Line::Resets, "resets 2/2"},
                                              {Line::Turns, "turns 50/50"}};
    for (const auto& [line, words] : opening)
    {
        EXPECT_EQ(text(line), words) << line;
    }
    m.runFor(2.5f);
    EXPECT_EQ(text(Line::Time), "time 7.5 s");
    m.drop({4, 9});
    EXPECT_EQ(text(Line::Blocks), "blocks 1/2");
    m.drop({5, 9});

    ASSERT_EQ(m.match().getCurrentStrategy(), StrategyType::Runner);
    EXPECT_EQ(text(Line::Role), "RUNNER");
    EXPECT_FALSE(hud().isShown(Line::Blocks)) << "blocks count only in the Builder's turn";
    EXPECT_EQ(text(Line::Time), "time 10.0 s");
    m.tap({Key::D});
    EXPECT_EQ(text(Line::Steps), "steps 3/4");
    EXPECT_EQ(text(Line::Jump), "jump 1/7");
    m.runFor(4.0f);
    EXPECT_EQ(text(Line::Time), "time 6.0 s");
    m.tap({Key::Q});
    EXPECT_EQ(text(Line::Turns), "turns 49/50");
    EXPECT_EQ(text(Line::Role), "BUILDER");
    EXPECT_EQ(text(Line::Blocks), "blocks 2/2");
}

TEST_F(HudTextTest, TheBannerMarksEachHandOverForAboutASecondWithoutTakingInputAway)
{
    EXPECT_EQ(text(Line::Banner), "BUILDER'S TURN") << "the match opens with the Builder";
    m.runFor(HudText::BannerSeconds - 0.1f);
    EXPECT_TRUE(hud().isShown(Line::Banner));
    m.runFor(0.2f);
    EXPECT_FALSE(hud().isShown(Line::Banner));
    m.drop({4, 9});
    EXPECT_FALSE(hud().isShown(Line::Banner)) << "a drop is no hand-over";
    m.drop({5, 9});
    EXPECT_EQ(text(Line::Banner), "RUNNER'S TURN");
    m.tap({Key::D});
    EXPECT_EQ(m.runner().getXMovement(), 3) << "the Runner steps while the banner shows";
    EXPECT_TRUE(hud().isShown(Line::Banner));
    m.runFor(HudText::BannerSeconds);
    EXPECT_FALSE(hud().isShown(Line::Banner));
}

TEST_F(HudTextTest, TheRedReasonShowsExactlyWhileTheGhostIsRed)
{
    m.builder().replaceBlock({{0, 0}}, BlockType::Dynamic);
    m.frame();
    EXPECT_FALSE(hud().isShown(Line::Reason));
    // Held, the cursor steps left every 0.2 s towards the safe zone, and back again.
    int redFrames = 0;
    for (Key key : {Key::Left, Key::Right})
    {
        m.key(key);
        for (int frame = 0; frame < 45; ++frame)
        {
            m.frame();
            ASSERT_EQ(hud().isShown(Line::Reason), ghostIsRed()) << frame;
            redFrames += ghostIsRed() ? 1 : 0;
            if (ghostIsRed())
            {
                EXPECT_EQ(text(Line::Reason), "not on the Runner's safe zone");
            }
        }
        m.key(key, false);
    }
    EXPECT_GT(redFrames, 0);
    EXPECT_FALSE(hud().isShown(Line::Reason));

    m.builder().setCursor({m.grid().getMapSize().x - 2, 5});
    m.builder().replaceBlock({{0, 0}}, BlockType::Dynamic);
    m.frame();
    EXPECT_EQ(text(Line::Reason), "not in the finish columns");
    const sf::RectangleShape& finish = m.match().getBuilderGuides().getFinishOutline();
    const float edge = m.grid().getCellSize().x;
    EXPECT_EQ(finish.getPosition(), sf::Vector2f(47.0f * edge, 0.0f)) << "the finish columns are outlined";
    EXPECT_EQ(finish.getSize(), sf::Vector2f(3.0f * edge, 15.0f * edge));
    const sf::RectangleShape& zone = m.match().getBuilderGuides().getSafeZoneOutline();
    EXPECT_EQ(zone.getPosition(), sf::Vector2f(-1.0f * edge, 8.0f * edge)) << "three cells round the Runner";
    EXPECT_EQ(zone.getSize(), sf::Vector2f(3.0f * edge, 3.0f * edge));
    m.runFor(10.0f);
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Runner);
    EXPECT_FALSE(hud().isShown(Line::Reason)) << "the Runner has no ghost";
}

TEST_F(HudTextTest, AResetSaysWhyAndHowManyOfTheTwoAreUsed)
{
    m.giveTurnTo(StrategyType::Runner);
    m.frame();
    EXPECT_FALSE(hud().isShown(Line::ResetNote));
    m.tap({Key::R});
    EXPECT_EQ(text(Line::ResetNote), "reset: 1 of 2 resets used");
    m.runFor(HudText::ResetNoteSeconds - 0.1f);
    EXPECT_TRUE(hud().isShown(Line::ResetNote)) << "it stays into the Builder's turn";
    m.runFor(0.2f);
    EXPECT_FALSE(hud().isShown(Line::ResetNote));

    // Walled in where it starts: the Runner's turn begins with a reset, which spends it.
    m.put(8, 0, 1);
    m.put(9, 1, 1);
    for (int frame = 0; frame < 300 && m.runner().getResetsLeft() == 1; ++frame)
    {
        m.frame(0.05f);
    }
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Builder);
    EXPECT_EQ(text(Line::ResetNote), "walled in: 2 of 2 resets used");
}

TEST_F(HudTextTest, PausedLongerThanATurnTheTurnWaitsAndResumedItEndsAfterTheTimeItHad)
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
    EXPECT_TRUE(hud().isShown(Line::Banner)) << "the banner waits too";

    m.tap({Key::P});
    EXPECT_FALSE(m.match().isPaused());
    EXPECT_FALSE(hud().isShown(Line::Paused));
    EXPECT_NE(m.object("Camera")->getPosition(), camera);
    m.runFor(Strategy::TurnLimit - had - 0.15f);
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Builder);
    m.runFor(0.2f);
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Runner) << "it ends after the time it had left";
}

TEST_F(HudTextTest, EscapePausesAndAsksAgainASecondLeavesAndPOrStartOnAnyControllerGoesOnAndDisarmsIt)
{
    const float had = m.builder().getTimeInTurn();
    m.tap({Key::Escape});
    EXPECT_TRUE(m.match().isPaused() && m.match().isLeaveArmed());
    EXPECT_EQ(m.states().getPendingState(), nullptr) << "one Escape leaves nothing";
    EXPECT_EQ(text(Line::Paused), "Escape again to leave the match, P to go on");
    const sf::Image shown = m.drawnFrame();
    const sf::FloatRect line = hud().getBounds(Line::Paused);
    int white = 0;
    for (unsigned y = static_cast<unsigned>(line.top); y < static_cast<unsigned>(line.top + line.height); ++y)
    {
        for (unsigned x = static_cast<unsigned>(line.left); x < static_cast<unsigned>(line.left + line.width);
             ++x)
        {
            white += shown.getPixel(x, y) == PaletteWhite ? 1 : 0;
        }
    }
    EXPECT_GT(white, 200) << "the line is drawn";
    m.runFor(1.0f);
    EXPECT_EQ(m.builder().getTimeInTurn(), had) << "the match waits";

    m.tap({Key::P});
    EXPECT_FALSE(m.match().isPaused() || m.match().isLeaveArmed()) << "P goes on and forgets the Escape";
    EXPECT_FALSE(hud().isShown(Line::Paused));
    m.tap({Key::Escape});
    EXPECT_EQ(m.states().getPendingState(), nullptr) << "asks again after going on";
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
    EXPECT_EQ(m.states().getPendingState(), nullptr);
    EXPECT_EQ(text(Line::Paused), HudText::LeaveText) << "paused, Escape first asks again";
    m.key(Key::Escape);
    m.frame();
    EXPECT_EQ(m.states().getPendingState(), m.states().findState("MenuState")) << "the second Escape leaves";
}

TEST(HudTextEndTest, TheEndScreenSaysHowTheMatchEnded)
{
    const auto summary = [](test::MatchFixture& m)
    {
        return static_cast<EndState*>(m.states().findState("EndState"))->getSummary();
    };
    {
        test::MatchFixture m;
        m.put(9, 1, 1, BlockType::Finish);
        m.giveTurnTo(StrategyType::Runner);
        m.tap({Key::D});
        m.runFor(0.6f);
        EXPECT_EQ(summary(m), "reached the green line in 1 turn");
    }
    {
        test::MatchFixture m;
        for (int turn = 0; turn < 51; ++turn)
        {
            m.giveTurnTo(StrategyType::Runner);
            m.giveTurnTo(StrategyType::Builder);
        }
        EXPECT_EQ(summary(m), "ran out of turns");
    }
    {
        test::MatchFixture m;
        for (int reset = 0; reset < 3; ++reset)
        {
            m.giveTurnTo(StrategyType::Runner);
            m.frame();
            m.runner().reset();
        }
        EXPECT_EQ(summary(m), "used a third reset");
    }
}

TEST(HudLayoutTest, AtBothScreenSizesEveryLineFitsAndKeepsClearOfTheRunnersNeighbours)
{
    for (const sf::Vector2u size : {sf::Vector2u(1920, 1080), sf::Vector2u(1366, 768)})
    {
        SCOPED_TRACE(testing::Message() << size.x << "x" << size.y);
        const std::string tag = std::to_string(size.x) + "x" + std::to_string(size.y) + "_";
        test::MatchFixture m(size.x, size.y);
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
        const sf::Vector2f topLeft = m.object("Camera")->getPosition() - sf::Vector2f(size) / 2.0f;
        const sf::Vector2f runner = m.runnerBlock()->getDrawPosition() * edge - topLeft;
        const sf::FloatRect neighbours(runner.x - edge, runner.y - edge, 3.0f * edge, 3.0f * edge);
        const sf::FloatRect window(0.0f, 0.0f, static_cast<float>(size.x), static_cast<float>(size.y));
        std::vector<sf::FloatRect> placed{m.match().getOverview().getBounds()}; // the strip along the top
        for (int line = 0; line < Line::Paused; ++line)
        {
            if (!hud.isShown(static_cast<Line>(line)))
            {
                continue;
            }
            const sf::FloatRect bounds = hud.getBounds(static_cast<Line>(line));
            SCOPED_TRACE(hud.getText(static_cast<Line>(line)));
            EXPECT_FALSE(bounds.intersects(neighbours));
            EXPECT_TRUE(window.contains(bounds.left, bounds.top) &&
                        window.contains(bounds.left + bounds.width, bounds.top + bounds.height));
            EXPECT_GE(bounds.height, 12.0f) << "legible";
            for (const sf::FloatRect& other : placed)
            {
                EXPECT_FALSE(bounds.intersects(other)) << "lines do not overlap";
            }
            placed.push_back(bounds);
        }

        m.giveTurnTo(StrategyType::Runner);
        m.runFor(1.5f);
        const sf::Image running = m.drawnFrame();
        test::keep(running, tag + "runner");
        m.tap({Key::P});
        const sf::Image paused = m.drawnFrame();
        test::keep(paused, tag + "paused");
        const sf::FloatRect pausedLine = hud.getBounds(Line::Paused);
        EXPECT_TRUE(window.contains(pausedLine.left, pausedLine.top) &&
                    window.contains(pausedLine.left + pausedLine.width, pausedLine.top));
        EXPECT_FALSE(pausedLine.intersects(neighbours));
        const sf::Vector2f middle =
            m.runnerBlock()->getDrawPosition() * edge - topLeft + sf::Vector2f(edge, edge) / 2.0f;
        const sf::Color lit =
            running.getPixel(static_cast<unsigned>(middle.x), static_cast<unsigned>(middle.y));
        const sf::Color dimmed =
            paused.getPixel(static_cast<unsigned>(middle.x), static_cast<unsigned>(middle.y));
        EXPECT_LT(dimmed.b, lit.b / 2) << "the map is dimmed under the pause line";

        m.match().endMatch(StrategyType::Runner);
        m.frame();
        test::keep(m.drawnFrame(), tag + "end_runner");
        // In the picture's band between its scene and its keys.
        const EndState& end = *static_cast<EndState*>(m.states().findState("EndState"));
        const sf::FloatRect picture = end.getSprite().getGlobalBounds();
        const sf::FloatRect bounds = end.getSummaryText().getGlobalBounds();
        EXPECT_TRUE(picture.contains(bounds.left, bounds.top) &&
                    picture.contains(bounds.left + bounds.width, bounds.top + bounds.height));
        EXPECT_NEAR(bounds.top + bounds.height / 2.0f - picture.top, 0.78f * picture.height,
                    0.02f * picture.height);
    }
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

TEST(HudLayoutTest, OverAWhiteRowEveryIconBarAndNumberStandsOutAtBothScreenSizes)
{
    for (const sf::Vector2u size : {sf::Vector2u(1920, 1080), sf::Vector2u(1366, 768)})
    {
        test::MatchFixture m(size.x, size.y);
        m.placeRunner({10, 9});
        m.paint(13, 0, 30); // the two rows behind the HUD, white across the view
        m.paint(14, 0, 30);
        for (const StrategyType role : {StrategyType::Builder, StrategyType::Runner})
        {
            SCOPED_TRACE(testing::Message() << size.x << "x" << size.y << " " << HudText::roleName(role));
            if (role == StrategyType::Runner)
            {
                m.giveTurnTo(role);
            }
            m.runFor(1.5f); // the camera settles
            const sf::Image shown = m.drawnFrame();
            test::keep(shown, std::to_string(size.x) + "x" + std::to_string(size.y) + "_white_row_" +
                                  HudText::roleName(role));
            const sf::Vector2f topLeft = m.object("Camera")->getPosition() - sf::Vector2f(size) / 2.0f;
            const HudText& hud = m.match().getHudText();
            EXPECT_GE(spread(shown, hud.getBounds(Line::Role)), 100) << "the role";
            for (std::size_t i = 0; i < 5; ++i)
            {
                SCOPED_TRACE(i);
                const auto bar = m.match().getProgressBars()[i]->getComponent<ProgressBarComponent>();
                const auto icon = m.match().getProgressBarIcons()[i]->getComponent<SpriteRenderComponent>();
                sf::FloatRect barBox = bar->getBackground().getGlobalBounds();
                barBox.left -= topLeft.x;
                barBox.top -= topLeft.y;
                sf::FloatRect iconBox = icon->getSprite().getGlobalBounds();
                iconBox.left -= topLeft.x;
                iconBox.top -= topLeft.y;
                // The part of an icon above its bar stands on what lies behind the HUD (the steps'
                // arrows lie wholly on their bar).
                if (i != 1)
                {
                    EXPECT_GE(
                        spread(shown, {iconBox.left, iconBox.top, iconBox.width, barBox.top - iconBox.top}),
                        150)
                        << "the icon";
                }
                EXPECT_GE(spread(shown, hud.getBounds(static_cast<Line>(Line::Time + i))), 150)
                    << "the number";
                // Across the bar's right end: its end differs from what lies just beyond it.
                const float middle = barBox.top + barBox.height / 2.0f;
                const int beyond = brightness(m.pixel(shown, {barBox.left + barBox.width + 3.0f, middle}));
                int most = 0;
                for (float x = barBox.left + barBox.width - 4.0f; x < barBox.left + barBox.width; x += 1.0f)
                {
                    most = std::max(most, std::abs(brightness(m.pixel(shown, {x, middle})) - beyond));
                }
                EXPECT_GE(most, 50) << "the bar's end";
            }
        }
    }
}
} // namespace orv_gd
