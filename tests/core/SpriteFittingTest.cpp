#include "core/SpriteFitting.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <gtest/gtest.h>

#include <cmath>

namespace orv_gd
{
TEST(SpriteFittingTest, PicturesOfAnyShapeAreShownWholeAndCentredOnTheView)
{
    sf::RenderWindow window(sf::VideoMode(600, 800), "fit test", sf::Style::None);
    sf::Texture wide;
    ASSERT_TRUE(wide.create(100, 50));
    sf::Sprite sprite(wide);
    fitSpriteToWindow(sprite, window);
    // Width decides on a tall window: bars above and below.
    EXPECT_EQ(sprite.getScale(), sf::Vector2f(6.0f, 6.0f));
    EXPECT_EQ(sprite.getGlobalBounds(), sf::FloatRect(0.0f, 250.0f, 600.0f, 300.0f));

    sf::Texture tall;
    ASSERT_TRUE(tall.create(30, 200));
    sprite.setTexture(tall, true);
    fitSpriteToWindow(sprite, window);
    // Height decides: bars on the two sides.
    EXPECT_EQ(sprite.getScale(), sf::Vector2f(4.0f, 4.0f));
    EXPECT_EQ(sprite.getGlobalBounds(), sf::FloatRect(240.0f, 0.0f, 120.0f, 800.0f));

    // Centred on the window's current view, wherever that looks.
    window.setView(sf::View(sf::Vector2f(1000.0f, -50.0f), sf::Vector2f(600.0f, 800.0f)));
    fitSpriteToWindow(sprite, window);
    EXPECT_EQ(sprite.getPosition(), sf::Vector2f(1000.0f, -50.0f));
    EXPECT_EQ(sprite.getOrigin(), sf::Vector2f(15.0f, 100.0f));
}

TEST(SpriteFittingTest, ASpriteWithoutPictureStaysFinite)
{
    sf::RenderWindow window(sf::VideoMode(300, 200), "fit test", sf::Style::None);
    sf::Sprite sprite;
    fitSpriteToWindow(sprite, window);
    EXPECT_TRUE(std::isfinite(sprite.getScale().x));
    EXPECT_EQ(sprite.getPosition(), sf::Vector2f(150.0f, 100.0f));
}
} // namespace orv_gd
