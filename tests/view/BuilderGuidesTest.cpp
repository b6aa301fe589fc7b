#include "view/BuilderGuides.h"

#include "FieldTestSupport.h"

namespace orv_gd::test
{
using BuilderGuidesTest = FieldTest;

TEST_F(BuilderGuidesTest, TheSafeZoneAndTheFinishShowAsFaintOutlinesAroundAnUntouchedInside)
{
    BuilderGuides guides(*m_window);
    const std::vector<std::shared_ptr<BlockComponent>> zone{block({1, 1}, BlockType::SafeZone),
                                                            block({2, 2}, BlockType::SafeZone)};
    guides.update(zone, {10, 5}, 2, Edge);
    m_window->clear(sf::Color::Black);
    guides.draw();
    const sf::Image shown = grab();
    const auto at = [&shown](float x, float y)
    {
        return shown.getPixel(static_cast<unsigned>(x * Edge), static_cast<unsigned>(y * Edge));
    };
    EXPECT_NE(at(8.02f, 2.0f), sf::Color::Black) << "the finish's left edge";
    EXPECT_EQ(at(9.0f, 2.0f), sf::Color::Black) << "inside the finish";
    EXPECT_NE(at(1.02f, 2.0f), sf::Color::Black) << "the safe zone's left edge";
    EXPECT_NE(at(2.0f, 2.98f), sf::Color::Black) << "the safe zone's bottom edge";
    EXPECT_EQ(at(2.0f, 2.0f), sf::Color::Black) << "inside the safe zone";
}
} // namespace orv_gd::test
