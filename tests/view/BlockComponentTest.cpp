#include "view/BlockComponent.h"

#include "FieldTestSupport.h"
#include "view/Palette.h"

#include <tuple>

namespace orv_gd::test
{
using BlockComponentTest = FieldTest;

TEST_F(BlockComponentTest, AlphaFollowsTheLifetimeAndOnlyGhostsPlatformsAndFinishCellsDrawThemselves)
{
    // Type, ghost, placed, remaining lifetime, alpha, drawn by draw(): past its end a block stays
    // invisible rather than wrapping round; the Runner and placed blocks are drawn by the grid.
    const std::tuple<BlockType, bool, bool, float, int, bool> rows[] = {
        {BlockType::Dynamic, false, false, 3.5f, 255, false},
        {BlockType::Dynamic, false, true, 3.5f, 127, false},
        {BlockType::Dynamic, false, true, 0.0f, 0, false},
        {BlockType::Dynamic, false, true, -0.5f, 0, false},
        {BlockType::Dynamic, true, true, 3.5f, 128, true},
        {BlockType::Static, false, false, 7.0f, 255, true},
        {BlockType::Finish, false, false, 7.0f, 255, true},
        {BlockType::SafeZone, true, false, 7.0f, 128, true}};
    for (const auto& [type, ghost, placed, remaining, alpha, drawn] : rows)
    {
        SCOPED_TRACE(testing::Message() << static_cast<int>(type) << ghost << placed << " " << remaining);
        auto b = block({0, 0}, type, ghost);
        b->setPlaced(placed);
        b->setRemainingLifetime(remaining);
        b->update(1.0f);
        EXPECT_EQ(b->getShape().getFillColor().a, alpha);
        EXPECT_EQ(b->emitsLight(), type == BlockType::Dynamic);
        m_window->clear(sf::Color::Black);
        b->draw();
        EXPECT_EQ(grab().getPixel(10, 10) != sf::Color::Black, drawn);
    }
}

TEST_F(BlockComponentTest, AGhostWearsASlowlyBreathingRimThatGoesWhenItDrops)
{
    auto ghost = block({0, 0}, BlockType::Dynamic, true);
    ghost->update(0.0f);
    const sf::Uint8 start = ghost->getShape().getOutlineColor().a;
    EXPECT_GT(start, 64);
    EXPECT_LT(ghost->getShape().getOutlineThickness(), -1.0f) << "inside the cell, over no neighbour";
    ghost->update(BlockComponent::GhostPulseSeconds / 4.0f);
    EXPECT_GT(ghost->getShape().getOutlineColor().a, start) << "it breathes";
    ghost->setGhost(false);
    ghost->setPlaced(true);
    ghost->update(0.1f);
    EXPECT_EQ(ghost->getShape().getOutlineColor(), PaletteDark) << "dropped, the white rim is gone";
    auto placed = block({1, 0});
    placed->setPlaced(true);
    placed->setRemainingLifetime(3.5f);
    placed->update(0.1f);
    EXPECT_EQ(placed->getShape().getOutlineColor(), PaletteDark) << "it wears any placed block's edge";
    EXPECT_EQ(ghost->getEdge().getOutlineColor(), placed->getEdge().getOutlineColor());
}

TEST_F(BlockComponentTest, TheSlideEasesAlongTheCubicCurveAndKeepsItsClockAcrossASecondMove)
{
    // A 0.2 s slide over four cells, read each 0.05 s: each frame closes the eased share of what is
    // left, the curve's 1/16, 1/2, 15/16 and 1 at a quarter, half, three quarters and the end.
    auto b = block({0, 0});
    b->update(1.0f); // a new block's clock runs out on its first frame
    b->setGridPosition({4, 0});
    for (const float x : {0.25f, 2.125f, 3.8828125f, 4.0f})
    {
        b->update(0.05f);
        EXPECT_NEAR(b->getDrawPosition().x, x, 1e-4f);
    }
    b->setGridPosition({5, 0});
    b->update(0.1f);
    EXPECT_TRUE(b->getDrawPosition().x > 4.0f && b->getDrawPosition().x < 5.0f);
    b->setGridPosition({6, 0});
    b->update(0.1f); // the first clock runs out: the block lands on the second target
    EXPECT_EQ(b->getShape().getPosition(), sf::Vector2f(6.0f * Edge, 0.0f));
    b->setGridPosition({6, 1}); // a move after the slide ended starts a fresh clock
    b->update(0.05f);
    EXPECT_TRUE(b->getDrawPosition().y > 0.0f && b->getDrawPosition().y < 1.0f);
    b->update(1.0f); // a hitch longer than the rest of the slide lands it exactly
    EXPECT_FLOAT_EQ(b->getDrawPosition().x, 6.0f);
    EXPECT_FLOAT_EQ(b->getDrawPosition().y, 1.0f);
}

} // namespace orv_gd::test
