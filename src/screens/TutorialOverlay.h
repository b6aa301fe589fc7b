#pragma once

#include <SFML/Graphics/ConvexShape.hpp>
#include <SFML/Graphics/Text.hpp>

#include <string>
#include <vector>

namespace sf
{
class Font;
class RenderTarget;
class Sprite;
} // namespace sf

namespace orv_gd
{
struct Settings;

/// What a tutorial picture cannot know, drawn over it: the player's own keys (the keyboard panel
/// and the cards that name a key) and turn time, and in a network match the role played here.
/// Laid out in the picture's own pixels (1920 x 1080) and drawn wherever the picture was fitted.
class TutorialOverlay
{
public:
    /// Page 0 is the Runner's, page 1 the Builder's; `played`, the page of the role played here in
    /// a network match (-1: none), is named on both.
    void build(int page, const Settings& settings, int turnSeconds, int played, const sf::Font& font,
               const sf::Sprite& picture);
    void draw(sf::RenderTarget& target) const;
    /// The lines of text drawn, in the order drawn.
    const std::vector<sf::Text>& getTexts() const { return m_texts; }
    /// A key as its cap shows it: "PgUp", an arrow, "A".
    static std::string keyLabel(int key);

private:
    /// A rounded box from picture pixels `left`, `top` of the size given.
    void box(float left, float top, float width, float height, float radius, sf::Color fill,
             sf::Color outline, float outlineWidth);
    /// A line of text whose left end (or middle, `centred`) and vertical middle sit at the picture point.
    sf::Text& text(const std::string& line, float x, float y, float size, sf::Color color,
                   bool centred = false);
    /// Key caps for the keys from `x`, then the words; returns where the words end.
    float row(const std::vector<int>& keys, float x, float y, const std::string& words);
    /// One rule card's words (title and wrapped body) over the picture's, in its text column.
    void card(float left, float top, const std::string& title, const std::string& body, sf::Color accent);
    /// How wide the line is in picture pixels at `size`.
    float widthOf(const std::string& line, float size) const;

    std::vector<sf::ConvexShape> m_shapes;
    std::vector<sf::Text> m_texts;
    const sf::Font* m_font = nullptr;
    sf::Vector2f m_origin;
    float m_scale = 1.0f;
};
} // namespace orv_gd
