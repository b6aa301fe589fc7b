#pragma once

#include "rules/Cell.h"
#include "rules/RunnerMoves.h"
#include "view/ShapeBatch.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>

#include <string>
#include <vector>

namespace sf
{
class Font;
class RenderWindow;
} // namespace sf

namespace orv_gd::rules
{
struct Match;
}

namespace orv_gd
{
/// In the Runner's turn, where each step and the jump would land, as the rules' own move function
/// works it out: a ring on each cell a move reaches, and a red mark with a warning line over the
/// HUD for a move that would send the Runner back to the start.
class MovePreview
{
public:
    /// What one of the Runner's moves would come to now.
    struct Landing
    {
        rules::RunnerMoves::Move move = rules::RunnerMoves::Move::Right;
        rules::RunnerMoves::Outcome outcome = rules::RunnerMoves::Outcome::Refused;
        /// The cell the mark goes on: where the Runner ends up, or for a reset the cell it steps into.
        rules::Cell cell{};
        bool resets = false;
    };

    explicit MovePreview(sf::RenderWindow& window);

    void setFont(const sf::Font* font);
    /// Places the warning line for the window's size now.
    void layout();
    /// Works the moves out again when the Runner or the field changed; shows nothing outside the
    /// Runner's turn. `cellEdge`: a cell's edge in the camera's pixels.
    void update(const rules::Match& match, float cellEdge);
    /// The marks in the camera's view, the warning line in window pixels.
    void draw();

    const std::vector<Landing>& getLandings() const { return m_landings; }
    /// The warning line, empty when no move resets: "a step right falls to the bottom row: reset".
    const std::string& getWarning() const { return m_warningWords; }
    sf::FloatRect getWarningBounds() const { return m_warning.getGlobalBounds(); }

    /// "a step left", "a step right", "a jump".
    static std::string moveName(rules::RunnerMoves::Move move);
    /// What a resetting move does, as the warning says it.
    static std::string warningFor(rules::RunnerMoves::Move move, const rules::RunnerMoves::Result& result);

private:
    void rebuild(float cellEdge);

    sf::RenderWindow& m_window;
    const sf::Font* m_font = nullptr;
    std::vector<Landing> m_landings;
    ShapeBatch m_marks;
    sf::Text m_warning;
    sf::RectangleShape m_warningBox;
    std::string m_warningWords;
    bool m_built = false;
};
} // namespace orv_gd
