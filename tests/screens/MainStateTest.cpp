#include "screens/MainState.h"

#include "support/ErrCapture.h"
#include "support/MatchFixture.h"
#include "view/Palette.h"

#include <SFML/System/Sleep.hpp>

#include <algorithm>
#include <cmath>
#include <list>

namespace orv_gd
{
TEST(MainStateTest, AMatchOpensWithTheBuilderTwoEscapesTearItDownAndAFreshOneEndsOnce)
{
    std::unique_ptr<test::MatchFixture> match;
    const std::string log = test::stdoutOf([&] { match = std::make_unique<test::MatchFixture>(); });
    test::MatchFixture& m = *match;
    EXPECT_EQ(test::countOf(log, "BuilderStrategy::enter()\n"), 1);
    EXPECT_EQ(test::countOf(log, "RunnerStrategy::enter()"), 0) << "the Runner's role only received init()";
    EXPECT_EQ(m.grid().getBlockAt(0, 9), m.runnerBlock());
    m.tap({sf::Keyboard::Return});
    m.runFor(3.0f);
    EXPECT_NEAR(m.object("Camera")->getPosition().x, 3.5f * 600.0f / 11.0f, 0.5f) << "the camera eases ahead";
    EXPECT_NEAR(m.object("Camera")->getPosition().y, 9.5f * 600.0f / 11.0f, 0.5f); // 11 rows fill the window
    const float timeInTurn = m.builder().getTimeInTurn();
    m.tap({sf::Keyboard::Escape});
    m.key(sf::Keyboard::Escape);
    m.frame();
    EXPECT_EQ(m.states().getPendingState(), m.states().findState("MenuState")) << "the second Escape leaves";
    EXPECT_EQ(m.builder().getTimeInTurn(), timeInTurn) << "no role acts in the Escape frames";
    test::ErrCapture err; // the listeners' removal is logged
    m.frame();
    EXPECT_TRUE(m.match().getStrategies().empty() && m.match().getProgressBars().empty());
    for (const auto& column : m.grid().getCells())
    {
        EXPECT_TRUE(std::all_of(column.begin(), column.end(), [](const auto& cell) { return !cell; }));
    }
    m.states().setState("MainState");
    m.frame();
    EXPECT_EQ(m.builder().getCurrentBlock()->getId(), "obstacleBlock_0") << "a fresh match";
    EXPECT_EQ(m.runner().getTurnsLeft(), 50);
    EXPECT_EQ(test::stdoutOf([&] { m.runFor(10.1f); }), "RunnerStrategy::enter()\n");
    EXPECT_TRUE(m.match().endMatch(StrategyType::Runner));
    EXPECT_FALSE(m.match().endMatch(StrategyType::Builder)) << "the end is requested once";
    EXPECT_TRUE(m.endRequestedFor(StrategyType::Runner));
    const std::uint64_t decided = m.match().getMatch().digest();
    m.match().update(0.5f);
    EXPECT_EQ(m.match().getMatch().digest(), decided) << "nothing moves on once the match is decided";
}

TEST(MainStateTest, OnTheGreenLineTheRunnerAndItsLightShowOverTheFinishCellsUntilTheEndScreen)
{
    test::MatchFixture m(1366, 768);
    m.placeRunner({46, 4});
    m.giveTurnTo(StrategyType::Runner);
    m.tap({sf::Keyboard::D});
    ASSERT_EQ(m.runnerCell(), sf::Vector2i(47, 4)) << "the step onto the first green column";
    int checked = 0;
    for (float since = 2.0f * test::MatchFixture::Step;
         !m.endRequestedFor(StrategyType::Runner) && !::testing::Test::HasFailure();
         since += test::MatchFixture::Step)
    {
        const sf::Image shown = m.drawnFrame();
        m.frame();
        if (since < 0.25f)
        {
            continue; // still sliding in
        }
        SCOPED_TRACE(since);
        const sf::Color runner = m.pixel(shown, m.cellMiddle({47.0f, 4.0f}));
        EXPECT_EQ(runner, PaletteBlue) << "the Runner's cell shows the Runner";
        const sf::Color lit = m.pixel(shown, m.cellMiddle({48.0f, 4.0f}));
        EXPECT_GT(lit.b, PaletteGreen.b + 60) << "its light lies over the next green cell";
        ++checked;
    }
    EXPECT_GE(checked, 10) << "the last frames before the end screen";
}

TEST(MainStateTest, EveryPlacedCellStaysVisiblyABlockAtEveryStageOfItsFadeUnderOverlappingLights)
{
    test::MatchFixture m(1366, 768);
    m.drop({5, 6});
    m.drop({6, 6});
    m.giveTurnTo(StrategyType::Builder); // the gravity pass: both fall to row 7
    m.drop({6, 6});
    m.drop({8, 7});
    ASSERT_EQ(m.match().getCurrentStrategy(), StrategyType::Runner); // their lifetimes wait now
    m.runFor(1.5f);                                                  // the hand-over banner goes
    const std::list<std::shared_ptr<BlockComponent>> blocks = m.grid().getTimedBlocks();
    ASSERT_EQ(blocks.size(), 4u);

    // How far the block's edge stands out from the empty cell beside it: the largest channel
    // difference between a pixel of the edge and one a few pixels into the neighbour.
    const auto contrast = [&](const sf::Image& shown, sf::Vector2i cell, sf::Vector2i side)
    {
        const float edge = m.grid().getCellSize().x;
        const sf::Vector2f border = m.cellMiddle(sf::Vector2f(cell)) + sf::Vector2f(side) * (edge / 2.0f);
        const sf::Color outside = m.pixel(shown, border + sf::Vector2f(side) * std::round(edge / 8.0f));
        int most = 0;
        for (float depth = 0.5f; depth < edge / 10.0f; depth += 1.0f)
        {
            const sf::Color inside = m.pixel(shown, border - sf::Vector2f(side) * depth);
            most = std::max({most, std::abs(inside.r - outside.r), std::abs(inside.g - outside.g),
                             std::abs(inside.b - outside.b)});
        }
        return most;
    };
    const std::vector<std::vector<float>> scenes{{1.0f, 1.0f, 1.0f, 1.0f},  {0.5f, 0.5f, 0.5f, 0.5f},
                                                 {0.1f, 0.1f, 0.1f, 0.1f},  {0.02f, 0.02f, 0.02f, 0.02f},
                                                 {1.0f, 0.5f, 0.1f, 0.02f}, {0.02f, 0.1f, 0.5f, 1.0f}};
    for (const std::vector<float>& left : scenes)
    {
        auto level = left.begin();
        for (const std::shared_ptr<BlockComponent>& block : blocks)
        {
            // In the rules' field: the match shows each frame what the rules hold.
            const sf::Vector2i cell = block->getGridPosition();
            m.match().editMatch().field.drop({cell.x, cell.y}, rules::CellKind::Dynamic,
                                             static_cast<int>(*level++ * block->getLifetime() * 1000.0f));
        }
        m.frame(0.0f);
        ASSERT_NEAR(blocks.front()->getRemainingLifetime(), left.front() * blocks.front()->getLifetime(),
                    0.01f);
        const sf::Image shown = m.drawnFrame();
        test::keep(shown, "fading_" + std::to_string(&left - scenes.data()));
        for (const std::shared_ptr<BlockComponent>& block : blocks)
        {
            const sf::Vector2i cell = block->getGridPosition();
            for (const sf::Vector2i side : {sf::Vector2i(1, 0), {-1, 0}, {0, 1}, {0, -1}})
            {
                if (!m.grid().getBlockAt(cell.x + side.x, cell.y + side.y))
                {
                    SCOPED_TRACE(testing::Message()
                                 << block->getRemainingLifetime() << " s left at " << cell.x << "," << cell.y
                                 << " towards " << side.x << "," << side.y);
                    EXPECT_GE(contrast(shown, cell, side), 80);
                }
            }
        }
    }
}

TEST(MainStateTest, F2OutlinesThePlannersPathForThePersonsRoleOnlyAndHidesNothingOfTheField)
{
    test::MatchFixture m(1366, 768, MatchMode::ComputerBuilder);
    m.tap({sf::Keyboard::F2});
    EXPECT_FALSE(m.match().getHints().isWorking()) << "no hint in the computer's turn";
    m.giveTurnTo(StrategyType::Runner);
    m.runFor(1.0f); // the camera settles
    const sf::Image before = m.drawnFrame();
    m.tap({sf::Keyboard::F2});
    for (int i = 0; i < 2000 && m.match().getHints().isWorking(); ++i)
    {
        sf::sleep(sf::milliseconds(1));
        m.frame(0.0f);
    }
    ASSERT_TRUE(m.match().getHints().getShown() && m.match().getHints().getShown()->found);
    EXPECT_EQ(m.match().getLog().getHints().size(), 1u);
    const Hint hint = *m.match().getHints().getShown();
    const sf::Image after = m.drawnFrame();
    test::keep(after, "hint_runner");
    const float edge = m.grid().getCellSize().x;
    const sf::Vector2f last =
        m.cellMiddle({static_cast<float>(hint.reach().x), static_cast<float>(hint.reach().y)});
    const sf::Vector2f rim =
        last - sf::Vector2f(0.0f, edge / 2.0f - 3.0f - std::max(2.0f, std::round(edge / 24.0f)));
    const sf::Color outline = m.pixel(after, rim);
    EXPECT_GT(std::min({outline.r, outline.g, outline.b}), 200) << "a light outline where the turn ends";
    EXPECT_EQ(m.pixel(after, last), m.pixel(before, last)) << "the cell itself shows as before";
    // The HUD names the key and says what the hint is.
    const auto lit = [&](const sf::Image& shown)
    {
        int count = 0;
        for (unsigned y = 0; y < 60; ++y)
        {
            for (unsigned x = 700; x < 1366; ++x)
            {
                count += shown.getPixel(x, y).r > 200;
            }
        }
        return count;
    };
    EXPECT_GT(lit(before), 100) << HintView::KeyLine;
    EXPECT_GT(lit(after), lit(before) + 100) << m.match().getHints().line();
}
} // namespace orv_gd
