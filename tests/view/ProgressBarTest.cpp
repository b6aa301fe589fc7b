#include "view/ProgressBarComponent.h"

#include "objects/SpriteRenderComponent.h"
#include "support/MatchFixture.h"
#include "view/HudText.h"
#include "view/Palette.h"

#include <SFML/Graphics/Texture.hpp>

namespace orv_gd
{
TEST(ProgressBarTest, TheHudFollowsTheRoleAndTheWindowSizeAndItsBarsClamp)
{
    // A match at a window size in a role's turn, 2 seconds in: the steps and jump bars' values and
    // fills (full at 4 moves and at 7 jump force), the time bar's, the others' and the backgrounds' colours.
    struct Hud
    {
        unsigned width, height;
        StrategyType role;
        float xMovement, jumpForce, xFill, jumpFill;
        sf::Color time, others, background;
    };
    for (const Hud& hud :
         {Hud{800, 600, StrategyType::Builder, 4, 0, 1.0f, 0.0f, PaletteAmber, PaletteGrey, PaletteDark},
          Hud{1024, 768, StrategyType::Runner, 3, 1, 0.75f, 1.0f / 7.0f, PaletteBlue, PaletteBlue,
              PaletteGrey}})
    {
        SCOPED_TRACE(hud.width);
        test::MatchFixture m(hud.width, hud.height);
        if (hud.role == StrategyType::Runner)
        {
            m.giveTurnTo(hud.role); // the Builder's first turn runs out
        }
        m.tap({sf::Keyboard::D}); // a step in the Runner's turn
        m.runFor(2.0f);
        const sf::Vector2f scale(static_cast<float>(hud.width) / 100.0f,
                                 static_cast<float>(hud.height) / 100.0f);
        const sf::Vector2f camera = m.object("Camera")->getPosition();
        const float values[] = {m.role(hud.role).getTimeInTurn(), hud.xMovement, hud.jumpForce, 2.0f, 50.0f};
        // Two resets left and 50 turns left are full bars (the time bar's limits are below).
        const float fills[] = {0.0f, hud.xFill, hud.jumpFill, 1.0f, 1.0f};
        ASSERT_EQ(m.match().getProgressBars().size(), 5u);
        for (std::size_t i = 0; i < 5; ++i)
        {
            SCOPED_TRACE("bar " + std::to_string(i));
            const auto& bar = m.match().getProgressBars()[i];
            const auto& icon = m.match().getProgressBarIcons().at(i);
            EXPECT_NEAR(bar->getPosition().x, camera.x + scale.x * (15.0f * static_cast<float>(i) - 30.0f),
                        0.01f);
            EXPECT_NEAR(bar->getPosition().y, camera.y + 40.0f * scale.y, 0.01f);
            EXPECT_EQ(icon->getPosition(), bar->getPosition());
            EXPECT_NEAR(icon->getComponent<SpriteRenderComponent>()->getSprite().getGlobalBounds().width,
                        4.0f * scale.x, 0.01f);
            const auto component = bar->getComponent<ProgressBarComponent>();
            EXPECT_EQ(component->getSize(), sf::Vector2f(12.0f * scale.x, 2.5f * scale.y));
            EXPECT_FLOAT_EQ(component->getValue(), values[i]);
            if (i > 0)
            {
                EXPECT_NEAR(component->getForeground().getSize().x, fills[i] * component->getSize().x, 0.01f);
            }
            EXPECT_EQ(component->getBarColor(), i == 0 ? hud.time : hud.others);
            EXPECT_EQ(component->getBackgroundColor(), hud.background);
        }
        // The time bar is full at 0 seconds and empty at 10; values beyond either end are clamped.
        const auto& timeBar = m.match().getProgressBars().front();
        const auto component = timeBar->getComponent<ProgressBarComponent>();
        for (const auto& [value, filled] : {std::pair{12.0f, 0.0f}, {5.0f, 0.5f}, {-3.0f, 1.0f}})
        {
            component->setValue(value);
            timeBar->update(0.0f);
            EXPECT_FLOAT_EQ(component->getForeground().getSize().x, filled * component->getSize().x) << value;
        }
    }
}

TEST(ProgressBarTest, TheLayersBatchDrawsTheFillOverTheTrackFromTheLeft)
{
    sf::RenderWindow window(sf::VideoMode(100, 40), "bar", sf::Style::None);
    window.setVisible(false);
    const std::shared_ptr<GameObject> object = GameObject::create("bar");
    object->setPosition(50.0f, 20.0f); // the bar is centred on its object
    const auto bar = object->addComponent<ProgressBarComponent>(*object, window, sf::Vector2f(80.0f, 20.0f),
                                                                1.0f, 0.0f, 4.0f);
    ASSERT_TRUE(bar->init());
    bar->update(0.0f);
    window.clear(sf::Color::Black);
    window.draw(*bar->getTriangles());
    sf::Texture texture;
    texture.create(100, 40);
    texture.update(window);
    const sf::Image image = texture.copyToImage();
    EXPECT_EQ(image.getPixel(15, 20), PaletteBlue) << "a quarter full";
    EXPECT_EQ(image.getPixel(60, 20), PaletteGrey);
}

TEST(JumpBarTest, TheBarIsFullAtTheWalkingCapOfSevenAsItsNumberSaysAndStaysFullPastIt)
{
    test::MatchFixture m(1024, 768);
    m.put(2, 0, 9); // a ledge, then a gap in front of a wall (above the level's platforms)
    for (int row = 0; row <= 7; ++row)
    {
        m.put(row, 12, 12);
    }
    m.placeRunner({5, 1});
    m.giveTurnTo(StrategyType::Runner);
    const auto bar = m.match().getProgressBars().at(2)->getComponent<ProgressBarComponent>();
    const auto drawnFill = [&]
    {
        m.frame(0.0f); // the bar takes the value of the frame before
        return bar->getForeground().getSize().x / bar->getSize().x;
    };
    m.tap({sf::Keyboard::D}, 4);
    m.giveTurnTo(StrategyType::Runner);
    m.tap({sf::Keyboard::D}, 2); // off the ledge, one row down per step
    ASSERT_EQ(m.runner().getJumpForce(), 6);
    EXPECT_NEAR(drawnFill(), 6.0f / 7.0f, 1e-4f) << "one short of the cap is not full";
    m.tap({sf::Keyboard::D}); // a bump into the wall
    ASSERT_EQ(m.runner().getJumpForce(), 7);
    EXPECT_NEAR(drawnFill(), 1.0f, 1e-4f);
    m.tap({sf::Keyboard::D});
    m.giveTurnTo(StrategyType::Runner);
    m.tap({sf::Keyboard::D});
    ASSERT_EQ(m.runner().getJumpForce(), 9) << "bumps in mid-air go past the cap";
    EXPECT_NEAR(drawnFill(), 1.0f, 1e-4f);
    EXPECT_EQ(m.match().getHudText().getText(HudText::Jump), "jump 9/7");
}
} // namespace orv_gd
