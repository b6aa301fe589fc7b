#include "view/MatchOverview.h"
#include "view/MovePreview.h"

#include "support/MatchFixture.h"
#include "view/Palette.h"

namespace orv_gd
{
const std::vector<sf::Vector2u> ScreenSizes{{1920, 1080}, {1366, 768}};

static std::string sizeName(sf::Vector2u size)
{
    return std::to_string(size.x) + "x" + std::to_string(size.y);
}

static sf::Vector2f middleOf(const sf::FloatRect& rect)
{
    return {rect.left + rect.width / 2.0f, rect.top + rect.height / 2.0f};
}

TEST(OverviewTest, TheMovePreviewMarksAndNamesAStepThatResetsAndTheStripShowsTheRulesFieldAtBothSizes)
{
    for (const sf::Vector2u size : ScreenSizes)
    {
        SCOPED_TRACE(sizeName(size));
        test::MatchFixture m(size.x, size.y);
        const sf::FloatRect screen(0.0f, 0.0f, static_cast<float>(size.x), static_cast<float>(size.y));
        const MatchOverview& overview = m.match().getOverview();
        EXPECT_EQ(overview.getDistanceText(), "47 columns to the finish");
        const MovePreview& preview = m.match().getMovePreview();
        EXPECT_TRUE(preview.getLandings().empty()) << "nothing in the Builder's turn";
        m.giveTurnTo(StrategyType::Runner);
        m.frame();
        EXPECT_EQ(preview.getWarning(), "") << "at the start no move resets";
        ASSERT_FALSE(preview.getLandings().empty());
        EXPECT_EQ(preview.getLandings().front().cell, (rules::Cell{1, 9}))
            << "a step right onto the platform";

        // In the bottom row a step either way falls out of the map.
        const rules::Field& field = m.match().getMatch().field;
        const int bottom = field.getHeight() - 1;
        m.match().editMatch().field.set({9, bottom}, rules::CellKind::Empty);
        m.match().editMatch().field.set({11, bottom}, rules::CellKind::Empty);
        m.placeRunner({10, bottom});
        m.runFor(1.0f);
        EXPECT_EQ(preview.getWarning(),
                  "a step left falls to the bottom row: reset; a step right falls to the bottom row: reset");
        sf::Image shown = m.drawnFrame();
        test::keep(shown, sizeName(size) + "_preview_reset");
        const float edge = m.grid().getCellSize().x;
        const sf::Vector2f ring =
            m.cellMiddle({11.0f, static_cast<float>(bottom)}) + sf::Vector2f(edge * 0.45f, 0.0f);
        EXPECT_EQ(m.pixel(shown, ring), PaletteRed) << "the cell the step would reset from";
        const sf::FloatRect line = preview.getWarningBounds();
        EXPECT_GT(line.height, 10.0f);
        EXPECT_TRUE(screen.contains(line.left + line.width, line.top + line.height));
        const int resets = m.runner().getResetsLeft();
        m.tap({sf::Keyboard::D});
        EXPECT_EQ(m.runner().getResetsLeft(), resets - 1) << "the move does what the preview said";

        // The strip: the Runner, the finish and the blocks where the rules hold them.
        m.giveTurnTo(StrategyType::Builder);
        const rules::Cell finish{field.getWidth() - 1, field.getHeight() / 2};
        ASSERT_EQ(field.at(finish), rules::CellKind::Finish);
        m.drop({12, 3});
        m.placeRunner({20, 4});
        m.frame();
        shown = m.drawnFrame();
        test::keep(shown, sizeName(size) + "_overview");
        EXPECT_EQ(m.pixel(shown, middleOf(overview.cellRect({20, 4}))), PaletteBlue) << "the Runner";
        EXPECT_EQ(m.pixel(shown, middleOf(overview.cellRect(finish))), PaletteGreen) << "the finish";
        EXPECT_EQ(m.pixel(shown, middleOf(overview.cellRect({12, 3}))), PaletteAmber) << "the block dropped";
        EXPECT_EQ(overview.getDistanceText(), "27 columns to the finish");
        EXPECT_GE(overview.cellRect({0, 0}).width, 6.0f) << "a cell a player can see";
        const sf::FloatRect last = overview.cellRect({field.getWidth() - 1, field.getHeight() - 1});
        EXPECT_TRUE(screen.contains(last.left + last.width, last.top + last.height)) << "the whole level";
        // The blocks age every frame of the Builder's turn; the strip is built again only for a change.
        const int builds = overview.getBuilds();
        m.runFor(0.5f);
        EXPECT_EQ(overview.getBuilds(), builds);
    }
}

TEST(OverviewTest, NoPanelCoversAPlatformCellInTheRunnersRowsAtBothSizes)
{
    for (const sf::Vector2u size : ScreenSizes)
    {
        test::MatchFixture m(size.x, size.y);
        const rules::Field& field = m.match().getMatch().field;
        // Low, in the middle and high on the map, with platforms across the rows round the Runner.
        for (const int row : {field.getHeight() - 2, 8, 1})
        {
            SCOPED_TRACE(testing::Message() << sizeName(size) << " row " << row);
            m.paint(row - 1, 14, 26);
            m.paint(row + 1, 14, 26);
            m.placeRunner({20, row});
            m.runFor(1.5f); // the camera settles
            const sf::Image shown = m.drawnFrame();
            test::keep(shown, sizeName(size) + "_rows_" + std::to_string(row));
            std::vector<sf::FloatRect> panels = m.match().getHudText().getPanels();
            panels.push_back(m.match().getOverview().getBounds());
            const float edge = m.grid().getCellSize().x;
            int checked = 0;
            for (int i = 0; i < 2 * 13; ++i) // columns 14 to 26 of the rows above and below
            {
                const int x = 14 + i % 13;
                const int y = row - 1 + 2 * (i / 13);
                const sf::Vector2f middle = m.cellMiddle({static_cast<float>(x), static_cast<float>(y)});
                const sf::FloatRect cell(middle.x - edge / 2.0f, middle.y - edge / 2.0f, edge, edge);
                if (middle.x < 0.0f || middle.x >= static_cast<float>(size.x))
                {
                    continue;
                }
                for (const sf::FloatRect& panel : panels)
                {
                    EXPECT_FALSE(panel.intersects(cell)) << x << "," << y;
                }
                EXPECT_EQ(m.pixel(shown, middle), PaletteWhite) << x << "," << y;
                ++checked;
            }
            EXPECT_GE(checked, 20);
        }
    }
}

} // namespace orv_gd
