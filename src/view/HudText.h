#pragma once

#include "core/StrategyType.h"
#include "rules/Match.h"
#include "view/GhostProblem.h"
#include "view/ShapeBatch.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>

#include <array>
#include <string>
#include <vector>

namespace sf
{
class Font;
class RenderWindow;
} // namespace sf

namespace orv_gd
{
/// What the HUD reads off the match each frame: plain values, so the words can be checked
/// without a match.
struct HudReadings
{
    StrategyType role = StrategyType::Builder;
    float timeInTurn = 0.0f;
    /// Seconds the turn lasts in this match.
    float turnLimit = static_cast<float>(rules::MatchConfig{}.turnLimitMs) / 1000.0f;
    int steps = 0;
    int jumpForce = 0;
    int resetsLeft = 0;
    int turnsLeft = 0;
    int blocksLeft = 0;
    GhostProblem ghost = GhostProblem::None;
    rules::ResetCause lastResetCause = rules::ResetCause::Asked;
};

/// The words and numbers of the match HUD, drawn in screen space beside the bars: each bar's
/// value, whose turn it is, the hand-over banner, why the ghost is red, what a reset cost, and
/// the pause overlay. One text per line; a line's string is rebuilt only when its value changes.
class HudText
{
public:
    enum Line
    {
        Role,
        Blocks,
        Time,
        Steps,
        Jump,
        Resets,
        Turns,
        Banner,
        Reason,
        ResetNote,
        Paused,
        LineCount
    };

    /// Long enough to read two words, short enough not to linger into the turn.
    static constexpr float BannerSeconds = 1.2f;
    static constexpr float ResetNoteSeconds = 3.5f;

    explicit HudText(sf::RenderWindow& window);

    /// Lays the lines out for the window's size and forgets the last match. Without a font the
    /// lines keep their words but nothing is drawn.
    void init(const sf::Font* font);
    /// Lays the lines out again for the window's size now, keeping their words.
    void layout();
    /// One frame: `dt` is the playing time that passed (0 while paused), so banners and notes
    /// wait while the match does.
    void update(float dt, const HudReadings& readings);
    void setPaused(bool paused) { m_paused = paused; }
    /// Paused by a first Escape: the pause line asks for a second one to leave.
    void setLeaveArmed(bool armed) { m_leaveArmed = armed; }
    /// Where Escape goes from the pause, as the pause line names it: "the menu", or "the end
    /// screen" for a replay watched from there.
    void setEscapeTo(const std::string& place) { m_pausedText = "PAUSED: P to go on, Esc for " + place; }
    /// Draws in window pixels over whatever the camera shows, then puts the camera's view back.
    void draw();
    /// The HUD's own dark panels behind the role, each bar with its icon and its number, so that
    /// none of them sinks into a white platform behind; drawn before the bars and icons, all in one
    /// draw.
    void drawBackdrop();
    /// The panels in window pixels.
    const std::vector<sf::FloatRect>& getPanels() const { return m_panels; }
    /// Moves the lines over the map down by `pixels`, below a strip the match shows along the top.
    void setTopInset(float pixels) { m_topInset = pixels; }

    /// The words of a line as shown; empty while the line is hidden.
    const std::string& getText(Line line) const;
    bool isShown(Line line) const { return !getText(line).empty(); }
    /// Where a line lands on the window, in window pixels.
    sf::FloatRect getBounds(Line line) const { return m_slots[line].text.getGlobalBounds(); }

    /// Seconds left of a turn, one decimal, rounded up so "0.0" shows only when time is up.
    static std::string secondsLeft(float timeInTurn, float turnLimit);
    static std::string roleName(StrategyType role);
    static std::string bannerFor(StrategyType role);
    static std::string reasonFor(GhostProblem problem);
    static std::string resetNote(rules::ResetCause cause, int resetsUsed);
    /// The end screen's line on how the match ended; `runnerTurns` as the match counts them.
    static std::string endLine(StrategyType winner, int runnerTurns, int resetsLeft);
    static const std::string PausedText;
    static const std::string LeaveText;

private:
    struct Slot
    {
        sf::Text text;
        std::string words;
        long key = -1;
        bool centred = true;
    };

    /// Sets a line's words when its key changed since the last call; keeps the cached text otherwise.
    template <typename MakeWords>
    void show(Line line, long key, MakeWords&& makeWords);
    void hide(Line line);
    /// A new role starts the hand-over banner, a reset spent starts its note; both run down with
    /// the playing time.
    void countDown(float dt, const HudReadings& readings);
    /// The role and the numbers beside the bars.
    void showNumbers(const HudReadings& readings);
    /// The banner, why the ghost is red, what a reset cost, the pause.
    void showNotices(const HudReadings& readings);
    void place(Line line, float x, float y, unsigned size, sf::Color color);
    void recentre(Slot& slot);
    void drawBacked(const Slot& slot, sf::RectangleShape& box);

    sf::RenderWindow& m_window;
    const sf::Font* m_font = nullptr;
    std::array<Slot, LineCount> m_slots;
    sf::RectangleShape m_bannerBox;
    sf::RectangleShape m_reasonBox;
    sf::RectangleShape m_noteBox;
    sf::RectangleShape m_pausedBox;
    sf::RectangleShape m_dim;
    std::vector<sf::FloatRect> m_panels;
    ShapeBatch m_panelBatch;
    float m_topInset = 0.0f;

    bool m_paused = false;
    bool m_leaveArmed = false;
    std::string m_pausedText = PausedText;
    bool m_seenRole = false;
    StrategyType m_lastRole = StrategyType::Builder;
    float m_bannerLeft = 0.0f;
    int m_lastResetsLeft = rules::Match::StartResets;
    float m_noteLeft = 0.0f;
    rules::ResetCause m_noteCause = rules::ResetCause::Asked;
};
} // namespace orv_gd
