#include "resources/DebugDraw.h"

#include <SFML/Graphics/ConvexShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <gtest/gtest.h>

#include <sstream>

namespace orv_gd
{
namespace
{
/// The queued shapes: the corners of each, then its colour.
std::string corners()
{
    std::ostringstream text;
    for (std::size_t i = 0; i < DebugDraw::getInstance().getShapes().size(); ++i)
    {
        const auto& shape = dynamic_cast<const sf::ConvexShape&>(*DebugDraw::getInstance().getShapes()[i]);
        for (std::size_t point = 0; point < shape.getPointCount(); ++point)
        {
            text << "(" << shape.getPoint(point).x + 0.0f << "," << shape.getPoint(point).y + 0.0f << ") ";
        }
        text << std::hex << shape.getFillColor().toInteger() << std::dec << "; ";
    }
    return text.str();
}
} // namespace

TEST(DebugDrawTest, ArrowsAndLinesHaveTheirGeometryAndAnOverlayThatIsOffRefusesShapes)
{
    DebugDraw& debugDraw = DebugDraw::getInstance();
    // Length 20: a shaft of 15 and a head of 5; length 8: half and half. Heads are 10 wide.
    debugDraw.drawArrow({10.0f, 10.0f}, {20.0f, 0.0f}, sf::Color::Red, 4.0f);
    debugDraw.drawArrow({0.0f, 0.0f}, {0.0f, 8.0f}, sf::Color::Red, 2.0f);
    // Half the thickness across the line: (0.6, 0.8) * 5 turned by a quarter is (4, -3).
    debugDraw.drawLine({0.0f, 0.0f}, {3.0f, 4.0f}, sf::Color::Blue, 10.0f);
    debugDraw.drawArrow({5.0f, 5.0f}, {0.6f, 0.6f}, sf::Color::Red, 2.0f); // shorter than 1: nothing
    debugDraw.drawArrow({5.0f, 5.0f}, {0.0f, 0.0f}, sf::Color::Red, 2.0f);
    debugDraw.drawLine({5.0f, 5.0f}, {5.5f, 5.5f}, sf::Color::Red, 2.0f);
    debugDraw.drawLine({5.0f, 5.0f}, {5.0f, 5.0f}, sf::Color::Red, 2.0f);
    EXPECT_EQ(corners(), "(10,12) (10,8) (25,8) (25,12) ff0000ff; (25,15) (25,5) (30,10) ff0000ff; "
                         "(-1,0) (1,0) (1,4) (-1,4) ff0000ff; (-5,4) (5,4) (0,8) ff0000ff; "
                         "(-4,3) (4,-3) (7,1) (-1,7) ffff; ");
    sf::RenderWindow window(sf::VideoMode(100, 100), "debug draw test", sf::Style::None);
    debugDraw.draw(window);

    debugDraw.setEnabled(false);
    // Off: shapes are refused, a text is still queued (the first drawing dropped the earlier queue).
    debugDraw.drawRectangle({50.0f, 50.0f}, {90.0f, 90.0f}, sf::Color::Green, sf::Color::Green);
    debugDraw.drawText("####", {50.0f, 50.0f}, sf::Color::Green);
    EXPECT_EQ(debugDraw.getShapes().size(), 1u);
    debugDraw.draw(window);
    EXPECT_TRUE(debugDraw.getShapes().empty()) << "an overlay that is off still empties its queue";
    debugDraw.setEnabled(true);
}
} // namespace orv_gd
