#include "match/ProgressBarComponent.h"

#include "match/MainState.h"
#include "match/Palette.h"
#include "objects/GameObject.h"
#include "objects/SpriteRenderComponent.h"
#include "support/MatchFixture.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <gtest/gtest.h>

#include <memory>

namespace orv_gd
{
namespace
{
using Key = sf::Keyboard::Key;

std::shared_ptr<ProgressBarComponent> barOf(const std::shared_ptr<GameObject>& object)
{
    return object->getComponent<ProgressBarComponent>();
}

TEST(ProgressBarTest, TheFilledPartShowsTheValueBetweenEmptyAndFull)
{
    sf::RenderWindow window;
    std::shared_ptr<GameObject> owner = GameObject::create("0_ProgressBar");
    owner->setPosition(100.0f, 50.0f);
    // The time bar: full at 0 seconds, empty at 10.
    std::shared_ptr<ProgressBarComponent> bar = owner->addComponent<ProgressBarComponent>(
        *owner, window, sf::Vector2f(96.0f, 15.0f), 12.0f, 10.0f, 0.0f);
    ASSERT_TRUE(owner->init());
    EXPECT_EQ(bar->getBackground().getFillColor(), PaletteGrey);
    EXPECT_EQ(bar->getForeground().getFillColor(), PaletteBlue);
    EXPECT_FLOAT_EQ(bar->getForeground().getSize().x, -19.2f) << "init does not clamp";

    owner->update(0.0f);
    EXPECT_FLOAT_EQ(bar->getForeground().getSize().x, 0.0f) << "never negative";
    bar->setValue(5.0f);
    owner->update(0.0f);
    EXPECT_FLOAT_EQ(bar->getForeground().getSize().x, 48.0f);
    bar->setValue(-3.0f);
    owner->update(0.0f);
    EXPECT_FLOAT_EQ(bar->getForeground().getSize().x, 96.0f) << "never longer than the bar";

    // Both shapes are centred on the owner, so the filled part keeps the bar's left edge.
    EXPECT_EQ(bar->getBackground().getPosition(), sf::Vector2f(100.0f, 50.0f));
    EXPECT_EQ(bar->getForeground().getOrigin(), sf::Vector2f(48.0f, 7.5f));
    bar->setBarColor(PaletteAmber);
    bar->setBackgroundColor(PaletteDark);
    owner->update(0.0f);
    EXPECT_EQ(bar->getForeground().getFillColor(), PaletteAmber);
    EXPECT_EQ(bar->getBackground().getFillColor(), PaletteDark);
}

/// Checks the five bars and icons of a running match against the layout for its window size.
void expectLayout(test::MatchFixture& m, float width, float height)
{
    const float sx = width / 100.0f;
    const float sy = height / 100.0f;
    const sf::Vector2f camera = m.object("Camera")->getPosition();
    const auto& bars = m.match().getProgressBars();
    const auto& icons = m.match().getProgressBarIcons();
    ASSERT_EQ(bars.size(), 5u);
    ASSERT_EQ(icons.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i)
    {
        EXPECT_EQ(bars[i]->getId(), std::to_string(i) + "_ProgressBar");
        EXPECT_EQ(icons[i]->getId(), std::to_string(i) + "_ProgressBarIcon");
        const sf::Vector2f centre(camera.x - 30.0f * sx + 15.0f * sx * static_cast<float>(i),
                                  camera.y + 40.0f * sy);
        EXPECT_NEAR(bars[i]->getPosition().x, centre.x, 0.01f);
        EXPECT_NEAR(bars[i]->getPosition().y, centre.y, 0.01f);
        EXPECT_EQ(icons[i]->getPosition(), bars[i]->getPosition());
        EXPECT_FLOAT_EQ(barOf(bars[i])->getSize().x, 12.0f * sx);
        EXPECT_FLOAT_EQ(barOf(bars[i])->getSize().y, 2.5f * sy);
        const sf::FloatRect icon =
            icons[i]->getComponent<SpriteRenderComponent>()->getSprite().getGlobalBounds();
        EXPECT_NEAR(icon.width, 4.0f * sx, 0.01f);
        EXPECT_NEAR(icon.height, 4.0f * sx, 0.01f);
    }
}

TEST(ProgressBarTest, TheBuildersTurnShowsAmberTimeOverGreyRunnerValues)
{
    test::MatchFixture m;
    m.runFor(2.0f);
    expectLayout(m, 800.0f, 600.0f);
    const auto& bars = m.match().getProgressBars();
    EXPECT_NEAR(barOf(bars[0])->getValue(), 2.0f, 0.02f);
    EXPECT_FLOAT_EQ(barOf(bars[1])->getValue(), 4.0f);
    EXPECT_FLOAT_EQ(barOf(bars[2])->getValue(), 0.0f);
    EXPECT_FLOAT_EQ(barOf(bars[3])->getValue(), 2.0f);
    EXPECT_FLOAT_EQ(barOf(bars[4])->getValue(), 50.0f);
    EXPECT_EQ(barOf(bars[0])->getBarColor(), PaletteAmber);
    for (std::size_t i = 0; i < 5; ++i)
    {
        EXPECT_EQ(barOf(bars[i])->getBackgroundColor(), PaletteDark);
        if (i > 0)
        {
            EXPECT_EQ(barOf(bars[i])->getBarColor(), PaletteGrey);
        }
    }

    // On screen: 96 x 15 bars centred 240 px below the view's centre, 120 px apart.
    const sf::Image image = m.render();
    const unsigned y = 540;
    EXPECT_EQ(image.getPixel(125, y), PaletteAmber) << "80 % of the time is left";
    EXPECT_EQ(image.getPixel(200, y), PaletteDark);
    EXPECT_EQ(image.getPixel(245, y), PaletteGrey) << "x-movement full";
    EXPECT_EQ(image.getPixel(365, y), PaletteDark) << "no jump force yet";
    EXPECT_EQ(image.getPixel(440, y), PaletteDark);
}

TEST(ProgressBarTest, TheRunnersTurnShowsEveryBarInBlue)
{
    test::MatchFixture m(1024, 768);
    m.giveTurnTo(StrategyType::Runner);
    m.tap(Key::D);
    m.runFor(0.5f);
    expectLayout(m, 1024.0f, 768.0f);
    const auto& bars = m.match().getProgressBars();
    EXPECT_FLOAT_EQ(barOf(bars[0])->getSize().x, 122.88f);
    EXPECT_FLOAT_EQ(barOf(bars[0])->getSize().y, 19.2f);
    EXPECT_FLOAT_EQ(barOf(bars[1])->getValue(), 3.0f);
    EXPECT_FLOAT_EQ(barOf(bars[2])->getValue(), 1.0f);
    for (const auto& bar : bars)
    {
        EXPECT_EQ(barOf(bar)->getBarColor(), PaletteBlue);
        EXPECT_EQ(barOf(bar)->getBackgroundColor(), PaletteGrey);
    }
    const sf::Image image = m.render();
    // Bar 1 (x-movement, 3 of 4) centred at 512 - 153.6, 384 + 307.2.
    EXPECT_EQ(image.getPixel(300, 691), PaletteBlue);
    EXPECT_EQ(image.getPixel(415, 691), PaletteGrey);
}
} // namespace
} // namespace orv_gd
