#include "screens/TutorialOverlay.h"

#include "core/Settings.h"
#include "rules/Match.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <algorithm>
#include <cmath>

namespace orv_gd
{
namespace
{
// The pictures' colours and measures (tools/generate_assets.py draws them).
const sf::Color Panel(30, 30, 32);
const sf::Color Cap(52, 52, 56);
const sf::Color Dim(150, 150, 150);
const sf::Color Blue(14, 165, 233);
const sf::Color Amber(245, 158, 11);
constexpr float KeySize = 30.0f;
constexpr float CapHeight = KeySize * 1.75f;
constexpr float RowTop = 240.0f;
constexpr float RowStep = 56.0f;
/// The rule cards: two columns of three, the words right of each card's diagram.
constexpr float CardWidth = 890.0f;
constexpr float CardHeight = 160.0f;
constexpr float CardWords = 300.0f;

int keyOf(const Settings& settings, const char* action)
{
    const auto& actions = Settings::actions();
    for (std::size_t i = 0; i < actions.size(); ++i)
    {
        if (std::string(actions[i].name) == action)
        {
            return settings.keys[i];
        }
    }
    return sf::Keyboard::Unknown;
}
} // namespace

std::string TutorialOverlay::keyLabel(int key)
{
    switch (key)
    {
    case sf::Keyboard::Left:
        return "\xe2\x86\x90";
    case sf::Keyboard::Up:
        return "\xe2\x86\x91";
    case sf::Keyboard::Right:
        return "\xe2\x86\x92";
    case sf::Keyboard::Down:
        return "\xe2\x86\x93";
    case sf::Keyboard::PageUp:
        return "PgUp";
    case sf::Keyboard::PageDown:
        return "PgDn";
    default:
    {
        const std::string name = Settings::keyName(key);
        return name.empty() ? "-" : name;
    }
    }
}

void TutorialOverlay::build(int page, const Settings& settings, int turnSeconds, int played,
                            const sf::Font& font, const sf::Sprite& picture)
{
    m_shapes.clear();
    m_texts.clear();
    m_font = &font;
    m_origin = picture.getTransform().transformPoint(0.0f, 0.0f);
    m_scale = picture.getScale().x;
    const bool runner = page == 0;
    const auto key = [&](const char* action)
    {
        return keyOf(settings, action);
    };

    // The keyboard panel, its title and rows anew.
    box(63.0f, 183.0f, 884.0f, 284.0f, 15.0f, Panel, Panel, 0.0f); // inside the picture's frame
    text("Keyboard", 90.0f, 220.0f, 34.0f, sf::Color::White);
    const std::string end = keyLabel(key("RunnerEnd"));
    const std::string reset = keyLabel(key("RunnerReset"));
    if (runner)
    {
        row({key("RunnerLeft"), key("RunnerRight")}, 100.0f, RowTop, "step left / right");
        row({key("RunnerUp")}, 100.0f, RowTop + RowStep, "jump one cell up");
        row({key("RunnerEnd")}, 100.0f, RowTop + 2 * RowStep, "end the turn");
        row({key("RunnerReset")}, 100.0f, RowTop + 3 * RowStep, "reset to the start");
        card(60.0f, 490.0f,
             std::to_string(rules::Match::MovesPerTurn) + " steps, " + std::to_string(turnSeconds) +
                 " seconds",
             "A turn ends when time or moves run out, or on " + end + ".", Blue);
        // The reset card: its key cap and the words.
        box(985.0f, 672.0f, 270.0f, 70.0f, 0.0f, Panel, Panel, 0.0f);
        const float right = row({key("RunnerReset")}, 1000.0f, 686.0f, "");
        if (right + 16.0f + 60.0f + 14.0f + widthOf("start", 30.0f) <= 1240.0f)
        {
            text("\xe2\x86\x92 start", right + 16.0f, 686.0f + CapHeight / 2.0f, 30.0f, sf::Color::White);
        }
        card(970.0f, 662.0f, "Two resets allowed",
             reset + ": back to the start, turn over. A third reset loses.", Blue);
    }
    else
    {
        row({key("BuilderLeft"), key("BuilderUp"), key("BuilderDown"), key("BuilderRight")}, 100.0f, RowTop,
            "move (hold)");
        row({key("BuilderRotateLeft"), key("BuilderRotateRight")}, 100.0f, RowTop + RowStep, "rotate");
        row({key("BuilderPlace")}, 100.0f, RowTop + 2 * RowStep, "drop the block");
        text("The block hangs as a ghost until dropped.", 100.0f, RowTop + 3 * RowStep + 26.0f, 28.0f, Dim);
        card(60.0f, 490.0f, "Two blocks a turn",
             "and at most " + std::to_string(turnSeconds) + " seconds, then the Runner moves.", Amber);
    }
    if (played >= 0)
    {
        text(played == 0 ? "you play the Runner" : "you play the Builder", 1060.0f, 82.0f, 40.0f,
             played == 0 ? Blue : Amber, true);
    }
}

void TutorialOverlay::draw(sf::RenderTarget& target) const
{
    for (const sf::ConvexShape& shape : m_shapes)
    {
        target.draw(shape);
    }
    for (const sf::Text& line : m_texts)
    {
        target.draw(line);
    }
}

void TutorialOverlay::box(float left, float top, float width, float height, float radius, sf::Color fill,
                          sf::Color outline, float outlineWidth)
{
    // Eight points a corner; the outline drawn inside, as the pictures draw theirs.
    constexpr int Points = 8;
    const float r = radius * m_scale;
    const float inset = outlineWidth * m_scale;
    const sf::Vector2f corner = m_origin + sf::Vector2f(left, top) * m_scale + sf::Vector2f(inset, inset);
    const sf::Vector2f size = sf::Vector2f(width, height) * m_scale - sf::Vector2f(2 * inset, 2 * inset);
    sf::ConvexShape shape(4 * Points);
    const sf::Vector2f centres[4] = {{size.x - r, r}, {size.x - r, size.y - r}, {r, size.y - r}, {r, r}};
    for (int c = 0; c < 4; ++c)
    {
        for (int i = 0; i < Points; ++i)
        {
            const float angle =
                3.14159265f / 2.0f *
                (static_cast<float>(c) - 1.0f + static_cast<float>(i) / static_cast<float>(Points - 1));
            shape.setPoint(static_cast<std::size_t>(c * Points + i),
                           centres[c] +
                               sf::Vector2f(std::cos(angle), std::sin(angle)) * std::max(0.0f, r - inset));
        }
    }
    shape.setPosition(corner);
    shape.setFillColor(fill);
    shape.setOutlineColor(outline);
    shape.setOutlineThickness(inset);
    m_shapes.push_back(shape);
}

sf::Text& TutorialOverlay::text(const std::string& line, float x, float y, float size, sf::Color color,
                                bool centred)
{
    sf::Text shown(sf::String::fromUtf8(line.begin(), line.end()), *m_font,
                   static_cast<unsigned>(std::max(6.0f, std::round(size * m_scale))));
    shown.setFillColor(color);
    // The middle of the letters' height, as the pictures place their "lm" lines.
    const float middle = static_cast<float>(shown.getCharacterSize()) * 0.62f;
    const sf::FloatRect bounds = shown.getLocalBounds();
    shown.setOrigin(std::round(centred ? bounds.left + bounds.width / 2.0f : 0.0f), std::round(middle));
    const sf::Vector2f at = m_origin + sf::Vector2f(x, y) * m_scale;
    shown.setPosition(std::round(at.x), std::round(at.y));
    m_texts.push_back(shown);
    return m_texts.back();
}

float TutorialOverlay::widthOf(const std::string& line, float size) const
{
    const sf::String wide = sf::String::fromUtf8(line.begin(), line.end());
    return static_cast<float>(wide.getSize()) *
           m_font->getGlyph('M', static_cast<unsigned>(size), true).advance;
}

float TutorialOverlay::row(const std::vector<int>& keys, float x, float y, const std::string& words)
{
    // Caps as the pictures draw them: a shadow 5 below, the face, the label in the middle.
    for (const int key : keys)
    {
        const std::string label = keyLabel(key);
        const float width = std::max(CapHeight, widthOf(label, KeySize) + 2.0f * KeySize * 0.55f);
        box(x, y + 5.0f, width, CapHeight, KeySize * 0.3f, sf::Color(10, 10, 10), sf::Color(10, 10, 10),
            0.0f);
        box(x, y, width, CapHeight, KeySize * 0.3f, Cap, sf::Color::White, 3.0f);
        text(label, x + width / 2.0f, y + CapHeight / 2.0f, KeySize, sf::Color::White, true);
        x += width + 10.0f;
    }
    if (words.empty())
    {
        return x - 10.0f;
    }
    const float left = std::max(x + 4.0f, 390.0f);
    text(words, left, y + CapHeight / 2.0f, KeySize, sf::Color::White);
    return left + widthOf(words, KeySize);
}

void TutorialOverlay::card(float left, float top, const std::string& title, const std::string& body,
                           sf::Color accent)
{
    const float x = left + CardWords;
    const float width = CardWidth - CardWords - 20.0f;
    box(x - 6.0f, top + 6.0f, width + 12.0f, CardHeight - 12.0f, 0.0f, Panel, Panel, 0.0f);
    text(title, x, top + 18.0f + 20.0f, 34.0f, accent);
    // The body wrapped at spaces to the card's width.
    const std::size_t perLine = static_cast<std::size_t>(width / widthOf("M", 30.0f));
    float y = top + 18.0f + 48.0f + 17.0f;
    std::size_t from = 0;
    while (from < body.size())
    {
        std::size_t end = std::min(body.size(), from + perLine);
        if (end < body.size())
        {
            const std::size_t space = body.rfind(' ', end);
            end = space != std::string::npos && space > from ? space : end;
        }
        text(body.substr(from, end - from), x, y, 30.0f, sf::Color::White);
        y += 38.0f;
        from = end < body.size() && body[end] == ' ' ? end + 1 : end;
    }
}
} // namespace orv_gd
