#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>

#include <string>

namespace sf
{
class Font;
class RenderWindow;
} // namespace sf

namespace orv_gd
{
/// The one-line banner at the top centre of a watched or network match, on a dark box outlined in
/// the colour of its kind, clear of the HUD's lines at the left and the bars at the bottom.
class MatchBanner
{
public:
    explicit MatchBanner(sf::RenderWindow& window) : m_window(window) {}

    /// Sets the banner's words (UTF-8) in `font` and lays it out for the window's size now.
    void place(const sf::Font& font, const std::string& line, sf::Color outline);
    /// Draws in window pixels over whatever the camera shows, then puts the camera's view back.
    void draw();
    const sf::Text& getText() const { return m_text; }

private:
    sf::RenderWindow& m_window;
    sf::Text m_text;
    sf::RectangleShape m_box;
};
} // namespace orv_gd
