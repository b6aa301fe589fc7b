#include "resources/DebugDraw.h"

#include "core/InputManager.h"
#include "support/ErrCapture.h"
#include "support/PlainWorkDir.h"
#include "support/TempWorkDir.h"

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/ConvexShape.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Event.hpp>

#include <gtest/gtest.h>

#include <cmath>

namespace orv_gd
{
namespace
{
constexpr float Tolerance = 1e-4f;

void expectPoint(const sf::ConvexShape& shape, std::size_t index, sf::Vector2f expected)
{
    EXPECT_NEAR(shape.getPoint(index).x, expected.x, Tolerance) << "point " << index;
    EXPECT_NEAR(shape.getPoint(index).y, expected.y, Tolerance) << "point " << index;
}

const sf::ConvexShape& convexAt(const DebugDraw& debugDraw, std::size_t index)
{
    const auto* shape = dynamic_cast<const sf::ConvexShape*>(debugDraw.getShapes().at(index).get());
    EXPECT_NE(shape, nullptr);
    return *shape;
}

/// One frame of F1 going down or up, as the game delivers it: event, input update, overlay update.
void frameWithF1(bool down)
{
    sf::Event event{};
    event.type = down ? sf::Event::KeyPressed : sf::Event::KeyReleased;
    event.key.code = sf::Keyboard::F1;
    InputManager& input = InputManager::getInstance();
    input.process(event);
    input.update();
    DebugDraw::getInstance().update(0.016f);
}

/// What the window's back buffer holds.
sf::Image capture(const sf::RenderWindow& window)
{
    sf::Texture texture;
    texture.create(window.getSize().x, window.getSize().y);
    texture.update(window);
    return texture.copyToImage();
}

class DebugDrawTest : public ::testing::Test
{
protected:
    test::TempWorkDir workDir;
    DebugDraw& debugDraw = DebugDraw::getInstance();
};
} // namespace

TEST_F(DebugDrawTest, ArrowsSplitIntoShaftAndHead)
{
    // Length 20 along x: the head is 5 long, the shaft 15, the shaft 4 wide and the head 10.
    debugDraw.drawArrow({10.0f, 10.0f}, {20.0f, 0.0f}, sf::Color::Red, 4.0f);
    ASSERT_EQ(debugDraw.getShapes().size(), 2u);
    const sf::ConvexShape& shaft = convexAt(debugDraw, 0);
    ASSERT_EQ(shaft.getPointCount(), 4u);
    expectPoint(shaft, 0, {10.0f, 12.0f});
    expectPoint(shaft, 1, {10.0f, 8.0f});
    expectPoint(shaft, 2, {25.0f, 8.0f});
    expectPoint(shaft, 3, {25.0f, 12.0f});
    EXPECT_EQ(shaft.getFillColor(), sf::Color::Red);
    const sf::ConvexShape& head = convexAt(debugDraw, 1);
    ASSERT_EQ(head.getPointCount(), 3u);
    expectPoint(head, 0, {25.0f, 15.0f});
    expectPoint(head, 1, {25.0f, 5.0f});
    expectPoint(head, 2, {30.0f, 10.0f});
    EXPECT_EQ(head.getFillColor(), sf::Color::Red);

    // Length 8 straight down: arrows of 10 or less split half and half, 4 and 4.
    debugDraw.drawArrow({0.0f, 0.0f}, {0.0f, 8.0f}, sf::Color::Green, 2.0f);
    ASSERT_EQ(debugDraw.getShapes().size(), 4u);
    const sf::ConvexShape& shortShaft = convexAt(debugDraw, 2);
    expectPoint(shortShaft, 0, {-1.0f, 0.0f});
    expectPoint(shortShaft, 1, {1.0f, 0.0f});
    expectPoint(shortShaft, 2, {1.0f, 4.0f});
    expectPoint(shortShaft, 3, {-1.0f, 4.0f});
    const sf::ConvexShape& shortHead = convexAt(debugDraw, 3);
    expectPoint(shortHead, 0, {-5.0f, 4.0f});
    expectPoint(shortHead, 1, {5.0f, 4.0f});
    expectPoint(shortHead, 2, {0.0f, 8.0f});
}

TEST_F(DebugDrawTest, LinesAreQuadsOfTheirThickness)
{
    debugDraw.drawLine({0.0f, 0.0f}, {3.0f, 4.0f}, sf::Color::Blue, 10.0f);
    ASSERT_EQ(debugDraw.getShapes().size(), 1u);
    const sf::ConvexShape& line = convexAt(debugDraw, 0);
    ASSERT_EQ(line.getPointCount(), 4u);
    // Half the thickness across the line: (0.6, 0.8) * 5 turned by a quarter is (4, -3).
    expectPoint(line, 0, {-4.0f, 3.0f});
    expectPoint(line, 1, {4.0f, -3.0f});
    expectPoint(line, 2, {7.0f, 1.0f});
    expectPoint(line, 3, {-1.0f, 7.0f});
    EXPECT_EQ(line.getFillColor(), sf::Color::Blue);
}

TEST_F(DebugDrawTest, ArrowsAndLinesShorterThanOneQueueNothing)
{
    debugDraw.drawArrow({5.0f, 5.0f}, {0.6f, 0.6f}, sf::Color::Red, 2.0f);
    debugDraw.drawArrow({5.0f, 5.0f}, {0.0f, 0.0f}, sf::Color::Red, 2.0f);
    debugDraw.drawLine({5.0f, 5.0f}, {5.5f, 5.5f}, sf::Color::Red, 2.0f);
    debugDraw.drawLine({5.0f, 5.0f}, {5.0f, 5.0f}, sf::Color::Red, 2.0f);
    EXPECT_TRUE(debugDraw.getShapes().empty());
    debugDraw.drawLine({5.0f, 5.0f}, {6.0f, 5.0f}, sf::Color::Red, 2.0f);
    EXPECT_EQ(debugDraw.getShapes().size(), 1u);
}

TEST_F(DebugDrawTest, CirclesRectanglesAndTextsAreCentredOnTheirPosition)
{
    debugDraw.drawCircle({50.0f, 60.0f}, 8.0f, sf::Color::White, sf::Color::Red);
    debugDraw.drawRectangle({100.0f, 40.0f}, {30.0f, 10.0f}, sf::Color::Yellow, sf::Color::Blue);
    debugDraw.drawText("hello", {200.0f, 100.0f}, sf::Color::Green);
    ASSERT_EQ(debugDraw.getShapes().size(), 3u);

    const auto* circle = dynamic_cast<const sf::CircleShape*>(debugDraw.getShapes()[0].get());
    ASSERT_NE(circle, nullptr);
    EXPECT_EQ(circle->getRadius(), 8.0f);
    EXPECT_EQ(circle->getOutlineThickness(), 1.0f);
    EXPECT_EQ(circle->getOutlineColor(), sf::Color::White);
    EXPECT_EQ(circle->getFillColor(), sf::Color::Red);
    const sf::FloatRect circleBounds = circle->getGlobalBounds();
    EXPECT_NEAR(circleBounds.left + circleBounds.width / 2, 50.0f, Tolerance);
    EXPECT_NEAR(circleBounds.top + circleBounds.height / 2, 60.0f, Tolerance);

    const auto* rectangle = dynamic_cast<const sf::RectangleShape*>(debugDraw.getShapes()[1].get());
    ASSERT_NE(rectangle, nullptr);
    EXPECT_EQ(rectangle->getSize(), sf::Vector2f(30.0f, 10.0f));
    EXPECT_EQ(rectangle->getOutlineThickness(), 1.0f);
    EXPECT_EQ(rectangle->getFillColor(), sf::Color::Blue);
    // The outline grows the bounds by 1 on each side: (84, 34) to (116, 46).
    EXPECT_EQ(rectangle->getGlobalBounds(), sf::FloatRect(84.0f, 34.0f, 32.0f, 12.0f));

    const auto* text = dynamic_cast<const sf::Text*>(debugDraw.getShapes()[2].get());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->getString(), "hello");
    EXPECT_EQ(text->getCharacterSize(), 14u);
    EXPECT_EQ(text->getFillColor(), sf::Color::Green);
    const sf::FloatRect local = text->getLocalBounds();
    ASSERT_GT(local.width, 0.0f) << "the overlay's font is loaded";
    EXPECT_EQ(text->getPosition(), sf::Vector2f(200.0f, 100.0f));
    // Centred on the glyphs vertically; horizontally on the advance, so the first glyph's
    // left bearing shifts the ink by a pixel or two.
    EXPECT_EQ(text->getOrigin(), sf::Vector2f(local.width * 0.5f, local.height * 0.5f + local.top));
    const sf::FloatRect global = text->getGlobalBounds();
    EXPECT_NEAR(global.top + global.height / 2, 100.0f, 0.01f);
    EXPECT_NEAR(global.left + global.width / 2, 200.0f + local.left, 0.01f);
}

TEST_F(DebugDrawTest, DrawShowsTheQueueOnceAndF1ReleaseTogglesTheOverlay)
{
    sf::RenderWindow window(sf::VideoMode(200, 200), "debug draw test");
    InputManager::getInstance().bind("debugdraw", sf::Keyboard::F1, 0);
    const sf::Color background(0, 0, 0);
    const sf::Vector2u centre(100, 100);
    ASSERT_TRUE(debugDraw.isEnabled());

    window.clear(background);
    debugDraw.drawRectangle({100.0f, 100.0f}, {40.0f, 40.0f}, sf::Color::Red, sf::Color::Red);
    debugDraw.draw(window);
    EXPECT_EQ(capture(window).getPixel(centre.x, centre.y), sf::Color::Red);
    EXPECT_TRUE(debugDraw.getShapes().empty());

    // Shapes of one frame are not drawn again in the next.
    window.clear(background);
    debugDraw.draw(window);
    EXPECT_EQ(capture(window).getPixel(centre.x, centre.y), background);

    // F1 goes down: nothing yet. F1 goes up: off.
    frameWithF1(true);
    EXPECT_TRUE(debugDraw.isEnabled());
    frameWithF1(false);
    EXPECT_FALSE(debugDraw.isEnabled());

    // Off: shapes are refused, a text is queued but dropped by draw without being shown.
    debugDraw.drawRectangle({100.0f, 100.0f}, {40.0f, 40.0f}, sf::Color::Red, sf::Color::Red);
    debugDraw.drawArrow({0.0f, 0.0f}, {50.0f, 0.0f}, sf::Color::Red, 3.0f);
    debugDraw.drawText("####", {100.0f, 100.0f}, sf::Color::Red);
    EXPECT_EQ(debugDraw.getShapes().size(), 1u);
    window.clear(background);
    debugDraw.draw(window);
    EXPECT_TRUE(debugDraw.getShapes().empty());
    const sf::Image off = capture(window);
    for (unsigned x = 80; x < 120; x += 2)
    {
        ASSERT_EQ(off.getPixel(x, 100), background) << "x " << x;
    }

    // A second press and release switches it back on.
    frameWithF1(true);
    frameWithF1(false);
    EXPECT_TRUE(debugDraw.isEnabled());
    window.clear(background);
    debugDraw.drawCircle({100.0f, 100.0f}, 10.0f, sf::Color::Green, sf::Color::Green);
    debugDraw.draw(window);
    EXPECT_EQ(capture(window).getPixel(centre.x, centre.y), sf::Color::Green);
}

TEST(DebugDrawFontTest, AMissingFontIsReportedOnceAndTextsStillQueue)
{
    test::PlainWorkDir workDir;
    test::ErrCapture err;
    DebugDraw& debugDraw = DebugDraw::getInstance();
    EXPECT_NE(err.text().find("Could not load font\n"), std::string::npos) << err.text();
    err.clear();
    debugDraw.drawText("no font", {10.0f, 10.0f}, sf::Color::White);
    EXPECT_EQ(debugDraw.getShapes().size(), 1u);
    EXPECT_EQ(err.text(), "");
}
} // namespace orv_gd
