#pragma once

#include "core/StrategyType.h"
#include "rules/Match.h"
#include "view/BuilderGuides.h"
#include "view/HudText.h"
#include "view/MatchBars.h"
#include "view/MatchOverview.h"
#include "view/MovePreview.h"

#include <SFML/System/Vector2.hpp>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sf
{
class Font;
class RenderWindow;
} // namespace sf

namespace orv_gd
{
class BoardMarks;
class EventBus;
class GameObject;
class GameObjectManager;
class GridManager;
class Strategy;

/// The match's HUD: the bars with their words, the Builder's guide lines, the whole level along the
/// top and where the Runner's moves would land. It reads the roles each frame and lays itself out
/// again when the window changes size; the camera follows the window's size with it.
class MatchHud
{
public:
    using Roles = std::map<StrategyType, std::shared_ptr<Strategy>>;

    /// What a frame of the match screen shows: the roles, whose turn it is, the pause.
    struct Frame
    {
        const Roles& roles;
        StrategyType current;
        bool matchOver;
        bool paused;
        bool leaveArmed;
    };

    MatchHud(sf::RenderWindow& window, EventBus& events, GameObjectManager& objects, GridManager& grid);

    /// Makes the bars for the match's turns and lays everything out for the window; `escapeTo` is
    /// where Escape leads from the pause ("the menu", "the end screen").
    void make(const rules::Match& match, const sf::Font* font, const std::string& escapeTo,
              const Frame& frame);
    /// One frame: follows the window's size, then shows the frame's values; `playTime` is 0 while
    /// paused.
    void update(const rules::Match& match, const Frame& frame, float playTime);
    /// Nothing of a match outlives it; the next match makes its bars afresh.
    void clear() { m_bars.clear(); }

    /// The dark panels behind the words, drawn before the bars.
    void drawBackdrop() { m_text.drawBackdrop(); }
    /// The Builder's guides and the safe zone's dashes, on the Builder's turn.
    void drawGuides(BoardMarks& marks);
    /// The preview, the overview and the words, over everything else of the match.
    void draw();

    const MatchBars& getBars() const { return m_bars; }
    const HudText& getText() const { return m_text; }
    const BuilderGuides& getGuides() const { return m_guides; }
    const MatchOverview& getOverview() const { return m_overview; }
    const MovePreview& getPreview() const { return m_preview; }

private:
    /// What the HUD shows this frame, read off the roles; false when a role is missing, and then
    /// only the bars' values are read.
    static bool read(const rules::Match& match, const Frame& frame, HudReadings& readings);
    /// The words, the pause line and, on the Builder's turn, its guide lines.
    void refreshText(const rules::Match& match, const Frame& frame, float playTime);
    /// After a resize the camera shows the window's new size and the HUD is laid out for it; the
    /// cells keep the size the match started with.
    void followWindow(const rules::Match& match);
    /// Fits the overview to the window and moves the HUD's top lines below it.
    void layoutOverview(const rules::Match& match);

    sf::RenderWindow& m_window;
    GameObjectManager& m_objects;
    GridManager& m_grid;
    MatchBars m_bars;
    HudText m_text;
    BuilderGuides m_guides;
    MatchOverview m_overview;
    MovePreview m_preview;
    sf::Vector2u m_laidOutFor;
};
} // namespace orv_gd
