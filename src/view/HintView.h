#pragma once

#include "computer/CellRange.h"
#include "computer/HintPlanner.h"
#include "rules/Match.h"

#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <future>
#include <memory>
#include <optional>
#include <string>

namespace sf
{
class Font;
class RenderWindow;
} // namespace sf

namespace orv_gd
{
/// The hint a player asks for with F2: worked out by the normal level's planners on a thread of its
/// own, so the frame never waits, then drawn as outlines over the field (the Runner's path, the
/// Builder's block where it would drop) that never hide what is under them, with a line on the HUD
/// naming the key. A hint holds for the turn, or the block, it was asked for.
class HintView
{
public:
    static constexpr const char* KeyLine = "F2: hint";

    explicit HintView(sf::RenderWindow& window) : m_window(window) {}
    ~HintView();
    HintView(const HintView&) = delete;
    HintView& operator=(const HintView&) = delete;

    /// Starts working out the hint for the role whose turn it is; false, changing nothing, while
    /// the last one is still being worked out.
    bool request(const rules::Match& match, CellRange view);
    /// Takes a hint that is ready, and lets go of one whose turn or block is over.
    void update(const rules::Match& match);
    /// Forgets the hint and waits for one being worked out (a new match).
    void reset();

    bool isWorking() const { return m_working.valid(); }
    const std::optional<Hint>& getShown() const { return m_shown; }

    /// The outlines, in the world under the camera's view; `cellEdge` is a cell's side in pixels.
    void draw(float cellEdge);
    /// The HUD line naming the key and what the hint says, at the window's top right.
    void drawLine(const sf::Font* font);
    /// What the HUD line says now.
    std::string line() const;
    const sf::VertexArray& getOutlines() const { return m_outlines; }

private:
    sf::RenderWindow& m_window;
    std::future<Hint> m_working;
    std::optional<Hint> m_shown;
    /// The Builder's blocks left when the shown hint was asked: the hint is for that block.
    int m_blocksLeft = 0;
    sf::VertexArray m_outlines;
    sf::Text m_text;
};
} // namespace orv_gd
