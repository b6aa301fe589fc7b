#include "view/HudText.h"

#include "view/Palette.h"
#include "view/WindowSpace.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <cmath>
#include <string>

namespace orv_gd
{
namespace
{
const sf::Color ReasonColor{255, 120, 120, 255};
const sf::Color NoteColor{255, 255, 255, 255};
/// Nearly opaque: a white platform behind a panel shows as a dark grey, far from the white icons
/// and numbers and from the bars' grey rims; a lit one shows its glow faintly.
const sf::Color PanelColor{0, 0, 0, 225};

sf::Color roleColor(StrategyType role)
{
    return role == StrategyType::Runner ? PaletteBlue : PaletteAmber;
}

std::string ofLimit(const char* label, int value, int limit)
{
    return std::string(label) + " " + std::to_string(value) + "/" + std::to_string(limit);
}
} // namespace

const std::string HudText::PausedText = "PAUSED: P to go on, Esc for the menu";
const std::string HudText::LeaveText = "Escape again to leave the match, P to go on";

HudText::HudText(sf::RenderWindow& window) : m_window(window) {}

void HudText::init(const sf::Font* font)
{
    m_font = font;
    m_paused = false;
    m_seenRole = false;
    m_bannerLeft = 0.0f;
    m_noteLeft = 0.0f;
    m_lastResetsLeft = rules::Match::StartResets;
    for (Slot& slot : m_slots)
    {
        slot.words.clear();
        slot.key = -1;
        slot.text.setString("");
        if (m_font)
        {
            slot.text.setFont(*m_font);
        }
    }
    layout();
}

void HudText::layout()
{
    // The bars sit at 20 %, 35 % ... 80 % of the width and 90 % of the height, their icons 4 % of
    // the width square: the numbers go just under the icons, the role in the free band left of
    // the first bar, the messages over the top of the map, away from the Runner in the middle.
    const sf::Vector2f size(m_window.getSize());
    const float sx = size.x / 100.0f;
    const float sy = size.y / 100.0f;
    const unsigned small = static_cast<unsigned>(std::max(10.0f, std::min(2.4f * sy, 1.3f * sx)));
    const unsigned large = static_cast<unsigned>(std::max(12.0f, std::min(3.4f * sy, 1.8f * sx)));
    const float barY = 90.0f * sy;
    const float numbersY = barY + 2.0f * sx + 0.4f * sy + 0.6f * static_cast<float>(small);
    for (int i = 0; i < 5; ++i)
    {
        place(static_cast<Line>(Time + i), 20.0f * sx + 15.0f * sx * static_cast<float>(i), numbersY, small,
              PaletteWhite);
    }
    place(Role, 7.0f * sx, barY, large, PaletteAmber);
    place(Blocks, 7.0f * sx, numbersY, small, PaletteWhite);
    // Below the strip along the top, when the match shows one.
    const float reasonY = std::max(7.0f * sy, m_topInset + 4.0f * sy);
    place(Reason, 50.0f * sx, reasonY, large, ReasonColor);
    place(ResetNote, 50.0f * sx, reasonY + 7.0f * sy, large, NoteColor);
    place(Banner, 50.0f * sx, std::max(25.0f * sy, reasonY + 15.0f * sy),
          static_cast<unsigned>(std::max(16.0f, 6.0f * sy)), PaletteAmber);
    // Below the Runner's neighbours and above the bars, clear of the banner.
    place(Paused, 50.0f * sx, 75.0f * sy,
          static_cast<unsigned>(std::max(14.0f, std::min(4.5f * sy, 2.4f * sx))), PaletteWhite);

    // One panel for the role and the blocks left, one for each bar with its icon and number.
    m_panels.clear();
    m_panelBatch.clear();
    const float pad = 0.5f * sx;
    const float top = barY - 2.0f * sx - pad;
    const float bottom = std::min(size.y, numbersY + static_cast<float>(small) + pad);
    const auto addPanel = [&](float left, float right)
    {
        const sf::FloatRect panel(std::round(left), std::round(top), std::round(right - left),
                                  std::round(bottom - top));
        m_panels.push_back(panel);
        m_panelBatch.addQuad(panel, PanelColor);
    };
    addPanel(1.0f * sx, 13.0f * sx);
    for (int i = 0; i < 5; ++i)
    {
        const float middle = 20.0f * sx + 15.0f * sx * static_cast<float>(i);
        addPanel(middle - 6.0f * sx - pad, middle + 6.0f * sx + pad);
    }

    for (sf::RectangleShape* box : {&m_bannerBox, &m_reasonBox, &m_noteBox, &m_pausedBox})
    {
        box->setFillColor(PaletteDarkTranslucent);
    }
    m_dim.setSize(size);
    m_dim.setPosition(0.0f, 0.0f);
    m_dim.setFillColor(sf::Color(0, 0, 0, 170));
    // The words shown keep their centre at the new size.
    for (Slot& slot : m_slots)
    {
        if (!slot.words.empty())
        {
            recentre(slot);
        }
    }
}

void HudText::place(Line line, float x, float y, unsigned size, sf::Color color)
{
    Slot& slot = m_slots[line];
    slot.text.setCharacterSize(size);
    slot.text.setFillColor(color);
    // A dark rim keeps white digits readable over white platforms.
    slot.text.setOutlineColor(PaletteDark);
    slot.text.setOutlineThickness(std::max(1.0f, static_cast<float>(size) / 12.0f));
    slot.text.setPosition(std::round(x), std::round(y));
}

template <typename MakeWords>
void HudText::show(Line line, long key, MakeWords&& makeWords)
{
    Slot& slot = m_slots[line];
    if (slot.key == key && !slot.words.empty())
    {
        return;
    }
    slot.key = key;
    slot.words = makeWords();
    slot.text.setString(slot.words);
    recentre(slot);
}

void HudText::hide(Line line)
{
    Slot& slot = m_slots[line];
    slot.words.clear();
    slot.key = -1;
}

void HudText::recentre(Slot& slot)
{
    if (!m_font)
    {
        return;
    }
    // Centred on the width of the words and on the height of the font's capitals, so a line
    // keeps its height whatever letters it holds.
    const sf::FloatRect bounds = slot.text.getLocalBounds();
    const float size = static_cast<float>(slot.text.getCharacterSize());
    slot.text.setOrigin(std::round(bounds.left + bounds.width / 2.0f), std::round(0.62f * size));
}

void HudText::update(float dt, const HudReadings& readings)
{
    countDown(dt, readings);
    showNumbers(readings);
    showNotices(readings);
}

void HudText::countDown(float dt, const HudReadings& readings)
{
    if (!m_seenRole || readings.role != m_lastRole)
    {
        m_seenRole = true;
        m_lastRole = readings.role;
        m_bannerLeft = BannerSeconds;
        m_slots[Role].text.setFillColor(roleColor(readings.role));
        m_slots[Banner].text.setFillColor(roleColor(readings.role));
        hide(Role);
        hide(Banner);
    }
    else
    {
        m_bannerLeft = std::max(0.0f, m_bannerLeft - dt);
    }
    if (readings.resetsLeft < m_lastResetsLeft && readings.resetsLeft >= 0)
    {
        m_noteLeft = ResetNoteSeconds;
        m_noteCause = readings.lastResetCause;
        hide(ResetNote);
    }
    else
    {
        m_noteLeft = std::max(0.0f, m_noteLeft - dt);
    }
    m_lastResetsLeft = readings.resetsLeft;
}

void HudText::showNumbers(const HudReadings& readings)
{
    const float limit = readings.turnLimit;
    const float left = std::max(0.0f, limit - readings.timeInTurn);
    show(Time, static_cast<long>(std::ceil(left * 10.0f - 1e-3f)),
         [&] { return "time " + secondsLeft(readings.timeInTurn, limit) + " s"; });
    show(Steps, readings.steps, [&] { return ofLimit("steps", readings.steps, rules::Match::MovesPerTurn); });
    show(Jump, readings.jumpForce,
         [&] { return ofLimit("jump", readings.jumpForce, rules::Match::MaxJumpForce); });
    show(Resets, readings.resetsLeft,
         [&] { return ofLimit("resets", std::max(0, readings.resetsLeft), rules::Match::StartResets); });
    show(Turns, readings.turnsLeft,
         [&] { return ofLimit("turns", std::max(0, readings.turnsLeft), rules::Match::StartTurns); });
    show(Role, static_cast<long>(readings.role), [&] { return roleName(readings.role); });
    if (readings.role == StrategyType::Builder)
    {
        show(Blocks, readings.blocksLeft,
             [&] { return ofLimit("blocks", readings.blocksLeft, rules::Match::BlocksPerTurn); });
    }
    else
    {
        hide(Blocks);
    }
}

void HudText::showNotices(const HudReadings& readings)
{
    if (m_bannerLeft > 0.0f)
    {
        show(Banner, static_cast<long>(readings.role), [&] { return bannerFor(readings.role); });
        // The last quarter of a second fades out rather than blinking away.
        const float fade = std::min(1.0f, m_bannerLeft / 0.25f);
        sf::Color color = roleColor(readings.role);
        color.a = static_cast<sf::Uint8>(255.0f * fade);
        m_slots[Banner].text.setFillColor(color);
        m_slots[Banner].text.setOutlineColor(sf::Color(20, 20, 20, color.a));
        m_bannerBox.setFillColor(sf::Color(20, 20, 20, static_cast<sf::Uint8>(192.0f * fade)));
    }
    else
    {
        hide(Banner);
    }

    if (readings.role == StrategyType::Builder && readings.ghost != GhostProblem::None)
    {
        show(Reason, static_cast<long>(readings.ghost), [&] { return reasonFor(readings.ghost); });
    }
    else
    {
        hide(Reason);
    }

    if (m_noteLeft > 0.0f)
    {
        const int used = rules::Match::StartResets - readings.resetsLeft;
        show(ResetNote, static_cast<long>(m_noteCause) * 100 + used,
             [&] { return resetNote(m_noteCause, used); });
    }
    else
    {
        hide(ResetNote);
    }

    if (m_paused)
    {
        show(Paused, m_leaveArmed ? 2 : 1, [this] { return m_leaveArmed ? LeaveText : m_pausedText; });
    }
    else
    {
        hide(Paused);
    }
}

void HudText::drawBacked(const Slot& slot, sf::RectangleShape& box)
{
    const sf::FloatRect bounds = slot.text.getGlobalBounds();
    const float pad = 0.45f * static_cast<float>(slot.text.getCharacterSize());
    box.setPosition(std::round(bounds.left - pad), std::round(bounds.top - pad * 0.6f));
    box.setSize({std::round(bounds.width + 2.0f * pad), std::round(bounds.height + 1.2f * pad)});
    m_window.draw(box);
    m_window.draw(slot.text);
}

void HudText::draw()
{
    if (!m_font)
    {
        return;
    }
    const WindowSpace windowSpace(m_window);
    for (Line line : {Role, Blocks, Time, Steps, Jump, Resets, Turns})
    {
        if (isShown(line))
        {
            m_window.draw(m_slots[line].text);
        }
    }
    if (isShown(Reason))
    {
        drawBacked(m_slots[Reason], m_reasonBox);
    }
    if (isShown(ResetNote))
    {
        drawBacked(m_slots[ResetNote], m_noteBox);
    }
    if (isShown(Banner))
    {
        drawBacked(m_slots[Banner], m_bannerBox);
    }
    if (isShown(Paused))
    {
        m_window.draw(m_dim);
        drawBacked(m_slots[Paused], m_pausedBox);
    }
}

void HudText::drawBackdrop()
{
    const WindowSpace windowSpace(m_window);
    m_panelBatch.draw(m_window);
}

const std::string& HudText::getText(Line line) const
{
    return m_slots[line].words;
}

std::string HudText::secondsLeft(float timeInTurn, float turnLimit)
{
    const float left = std::max(0.0f, turnLimit - timeInTurn);
    // In tenths, rounded up; a hair of float noise (10.0 - 0.1 = 9.9000001) is not a tenth.
    const long tenths = static_cast<long>(std::ceil(left * 10.0f - 1e-3f));
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::string HudText::roleName(StrategyType role)
{
    return role == StrategyType::Runner ? "RUNNER" : "BUILDER";
}

std::string HudText::bannerFor(StrategyType role)
{
    return role == StrategyType::Runner ? "RUNNER'S TURN" : "BUILDER'S TURN";
}

std::string HudText::reasonFor(GhostProblem problem)
{
    switch (problem)
    {
    case GhostProblem::OnSafeZone:
        return "not on the Runner's safe zone";
    case GhostProblem::InFinishColumns:
        return "not in the finish columns";
    default:
        return "";
    }
}

std::string HudText::resetNote(rules::ResetCause cause, int resetsUsed)
{
    const char* what = "reset";
    if (cause == rules::ResetCause::Fell)
    {
        // The bottom row is as far as a fall goes: the Runner's next move from there, with
        // nothing under it, is the reset, so the note names the row rather than a fall just now.
        what = "fell to the bottom row";
    }
    else if (cause == rules::ResetCause::WalledIn)
    {
        what = "walled in";
    }
    return std::string(what) + ": " + std::to_string(resetsUsed) + " of " +
           std::to_string(rules::Match::StartResets) + " resets used";
}

std::string HudText::endLine(StrategyType winner, int runnerTurns, int resetsLeft)
{
    if (winner == StrategyType::Runner)
    {
        return "reached the green line in " + std::to_string(runnerTurns) +
               (runnerTurns == 1 ? " Runner turn" : " Runner turns");
    }
    if (resetsLeft < 0)
    {
        return "used a third reset";
    }
    return "ran out of turns";
}
} // namespace orv_gd
