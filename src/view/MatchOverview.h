#pragma once

#include "rules/Cell.h"
#include "rules/Field.h"
#include "view/ShapeBatch.h"

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/System/Vector2.hpp>

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
/// The whole level in a strip along the top of the match screen, whatever the window's size: the
/// platforms, the Builder's blocks as they stand, the Runner with its safe zone, the finish, and
/// how many columns are left to it. Read from the rules' match; its picture is one vertex array,
/// rebuilt only when the field or the Runner changed.
class MatchOverview
{
public:
    explicit MatchOverview(sf::RenderWindow& window);

    /// Without a font the strip is drawn without its words.
    void setFont(const sf::Font* font);
    /// Fits the strip to the window's size now.
    void layout();
    /// Follows the match; rebuilds the picture only when something on it changed.
    void update(const rules::Match& match);
    /// Draws in window pixels, then puts the camera's view back.
    void draw();

    /// The strip's panel on the window, in window pixels; nothing of the field lies above its bottom.
    sf::FloatRect getBounds() const { return m_bounds; }
    /// Where a cell of the level shows on the strip, in window pixels.
    sf::FloatRect cellRect(rules::Cell cell) const;
    /// The words beside the strip: "12 columns to the finish".
    const std::string& getDistanceText() const { return m_distanceWords; }
    /// Times the picture was built: a frame where nothing changed builds nothing.
    int getBuilds() const { return m_builds; }

    /// Columns the Runner has left to the first green column.
    static int columnsToFinish(const rules::Match& match);
    static std::string distanceText(int columns);

private:
    void rebuild(const rules::Match& match);

    sf::RenderWindow& m_window;
    const sf::Font* m_font = nullptr;
    ShapeBatch m_picture;
    sf::Text m_distance;
    std::string m_distanceWords;
    sf::FloatRect m_bounds;
    sf::Vector2f m_origin;
    float m_cell = 1.0f;
    float m_pad = 4.0f;

    // What the picture shows, to see when it must be built again: each cell's kind, column by column.
    std::vector<rules::CellKind> m_kinds;
    sf::Vector2i m_mapSize{0, 0};
    rules::Cell m_runner{-1, -1};
    bool m_dirty = true;
    int m_builds = 0;
};
} // namespace orv_gd
