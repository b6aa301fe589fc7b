#include "match/ProgressBarComponent.h"

#include "match/Palette.h"
#include "objects/SpriteRenderComponent.h"
#include "support/MatchFixture.h"

namespace orv_gd
{
TEST(ProgressBarTest, TheFilledPartShowsTheValueClampedBetweenEmptyAndFull)
{
    sf::RenderWindow window;
    std::shared_ptr<GameObject> owner = GameObject::create("0_ProgressBar");
    // The time bar: full at 0 seconds, empty at 10.
    auto bar =
        owner->addComponent<ProgressBarComponent>(*owner, window, sf::Vector2f(96, 15), 12.0f, 10.0f, 0.0f);
    ASSERT_TRUE(owner->init());
    EXPECT_FLOAT_EQ(bar->getForeground().getSize().x, -19.2f) << "init does not clamp";
    for (const auto& [value, width] : {std::pair{12.0f, 0.0f}, {5.0f, 48.0f}, {-3.0f, 96.0f}})
    {
        bar->setValue(value);
        owner->update(0.0f);
        EXPECT_FLOAT_EQ(bar->getForeground().getSize().x, width) << "value " << value;
    }
}

/// The HUD of a match at a window size in a role's turn: values, colours, layout and pixels.
struct Hud
{
    unsigned width, height;
    StrategyType role;
    float xMovement, jumpForce;
    sf::Color time, others, background;
    unsigned pixelRow;
    std::vector<std::pair<unsigned, sf::Color>> pixels;
};

class ProgressBarHudTest : public ::testing::TestWithParam<Hud>
{
};

TEST_P(ProgressBarHudTest, FollowsTheRoleAndTheWindowSize)
{
    const Hud& hud = GetParam();
    test::MatchFixture m(hud.width, hud.height);
    if (hud.role == StrategyType::Runner)
    {
        m.giveTurnTo(StrategyType::Runner);
        m.tap({sf::Keyboard::D});
    }
    m.runFor(2.0f);
    const sf::Vector2f scale(static_cast<float>(hud.width) / 100.0f, static_cast<float>(hud.height) / 100.0f);
    const sf::Vector2f camera = m.object("Camera")->getPosition();
    const float values[] = {m.role(hud.role).getTimeInTurn(), hud.xMovement, hud.jumpForce, 2.0f, 50.0f};
    ASSERT_EQ(m.match().getProgressBars().size(), 5u);
    for (std::size_t i = 0; i < 5; ++i)
    {
        SCOPED_TRACE("bar " + std::to_string(i));
        const auto& bar = m.match().getProgressBars()[i];
        const auto& icon = m.match().getProgressBarIcons().at(i);
        EXPECT_EQ(bar->getId(), std::to_string(i) + "_ProgressBar");
        EXPECT_EQ(icon->getId(), std::to_string(i) + "_ProgressBarIcon");
        EXPECT_NEAR(bar->getPosition().x, camera.x + scale.x * (15.0f * static_cast<float>(i) - 30.0f),
                    0.01f);
        EXPECT_NEAR(bar->getPosition().y, camera.y + 40.0f * scale.y, 0.01f);
        EXPECT_EQ(icon->getPosition(), bar->getPosition());
        const sf::FloatRect bounds =
            icon->getComponent<SpriteRenderComponent>()->getSprite().getGlobalBounds();
        EXPECT_NEAR(bounds.width, 4.0f * scale.x, 0.01f);
        EXPECT_NEAR(bounds.height, 4.0f * scale.x, 0.01f);
        const auto component = bar->getComponent<ProgressBarComponent>();
        EXPECT_EQ(component->getSize(), sf::Vector2f(12.0f * scale.x, 2.5f * scale.y));
        EXPECT_FLOAT_EQ(component->getValue(), values[i]);
        EXPECT_EQ(component->getBarColor(), i == 0 ? hud.time : hud.others);
        EXPECT_EQ(component->getBackgroundColor(), hud.background);
    }
    const sf::Image image = m.render();
    for (const auto& [x, colour] : hud.pixels)
    {
        EXPECT_EQ(image.getPixel(x, hud.pixelRow), colour) << "x " << x;
    }
}

// 800 x 600: 96 x 15 bars 240 px below the view's centre, 120 px apart; 80 % of the time left.
// 1024 x 768: bar 1 (x-movement, 3 of 4) is centred at 512 - 153.6, 384 + 307.2.
INSTANTIATE_TEST_SUITE_P(
    BothRoles, ProgressBarHudTest,
    ::testing::Values(Hud{800,
                          600,
                          StrategyType::Builder,
                          4,
                          0,
                          PaletteAmber,
                          PaletteGrey,
                          PaletteDark,
                          540,
                          {{125, PaletteAmber}, {200, PaletteDark}, {245, PaletteGrey}, {365, PaletteDark}}},
                      Hud{1024,
                          768,
                          StrategyType::Runner,
                          3,
                          1,
                          PaletteBlue,
                          PaletteBlue,
                          PaletteGrey,
                          691,
                          {{300, PaletteBlue}, {415, PaletteGrey}}}));
} // namespace orv_gd
