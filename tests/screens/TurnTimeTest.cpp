#include "support/MatchFixture.h"
#include "view/HudText.h"
#include "view/ProgressBarComponent.h"

#include <gtest/gtest.h>

namespace orv_gd
{
constexpr float Frame = 0.0625f; // a sixteenth of a second: frames add up to whole seconds exactly

TEST(TurnTimeTest, AFifteenSecondMatchGivesEachTurnFifteenSecondsOnTheClockTheHudAndInTheLogAndAStallATenth)
{
    Settings settings;
    settings.turnSeconds = 15;
    test::MatchFixture m(800, 600, MatchMode::TwoPlayers, settings);
    ASSERT_EQ(m.match().getCurrentStrategy(), StrategyType::Builder);
    EXPECT_EQ(m.match().getMatch().config.turnLimitMs, 15000);
    EXPECT_EQ(m.match().getLog().getConfig().turnLimitMs, 15000);
    EXPECT_EQ(m.match().getHudText().getText(HudText::Time), "time 15.0 s");

    m.runFor(7.5f, Frame);
    EXPECT_EQ(m.match().getHudText().getText(HudText::Time), "time 7.5 s");
    const auto bar = m.match().getProgressBars().at(0)->getComponent<ProgressBarComponent>();
    EXPECT_NEAR(bar->getForeground().getSize().x / bar->getSize().x, 0.5f, 0.04f)
        << "half the turn gone, half the bar";

    // Past the ten seconds a turn had before, the Builder still has it.
    m.runFor(7.0f, Frame);
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Builder);
    EXPECT_EQ(m.match().getHudText().getText(HudText::Time), "time 0.5 s");
    m.runFor(0.75f, Frame);
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Runner);

    // The Runner's turn is as long.
    m.runFor(14.5f, Frame); // a quarter second of it passed in the frames the last turn ended
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Runner);
    m.runFor(0.5f, Frame);
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Builder);

    // A frame stalled for three seconds (a window dragged, a busy machine) costs the turn a tenth of one.
    const int before = m.match().getMatch().turnMs;
    m.frame(3.0f);
    EXPECT_EQ(m.match().getMatch().turnMs, before + 100);
}

} // namespace orv_gd
