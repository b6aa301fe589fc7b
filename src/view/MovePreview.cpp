#include "view/MovePreview.h"

#include "rules/Match.h"
#include "view/Palette.h"
#include "view/WindowSpace.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <cmath>

namespace orv_gd
{
namespace
{
using rules::RunnerMoves;

const sf::Color LandingColor{255, 255, 255, 200};
const sf::Color ResetFill{PaletteRed.r, PaletteRed.g, PaletteRed.b, 110};
} // namespace

MovePreview::MovePreview(sf::RenderWindow& window) : m_window(window) {}

void MovePreview::setFont(const sf::Font* font)
{
    m_font = font;
    if (m_font)
    {
        m_warning.setFont(*m_font);
    }
}

void MovePreview::layout()
{
    const sf::Vector2f size(m_window.getSize());
    const unsigned textSize =
        static_cast<unsigned>(std::max(12.0f, std::min(0.03f * size.y, 0.016f * size.x)));
    m_warning.setCharacterSize(textSize);
    m_warning.setFillColor(sf::Color(255, 120, 120));
    m_warningBox.setFillColor(PaletteDarkTranslucent);
    m_warningBox.setOutlineColor(PaletteRed);
    m_warningBox.setOutlineThickness(std::max(1.0f, std::round(textSize / 10.0f)));
    // Just over the HUD's panels, well below the Runner's rows.
    const sf::FloatRect bounds = m_warning.getLocalBounds();
    m_warning.setOrigin(std::round(bounds.left + bounds.width / 2.0f), std::round(0.62f * textSize));
    m_warning.setPosition(std::round(size.x / 2.0f), std::round(0.81f * size.y));
    const float pad = 0.45f * static_cast<float>(textSize);
    const sf::FloatRect shown = m_warning.getGlobalBounds();
    m_warningBox.setPosition(std::round(shown.left - pad), std::round(shown.top - 0.6f * pad));
    m_warningBox.setSize({std::round(shown.width + 2.0f * pad), std::round(shown.height + 1.2f * pad)});
}

std::string MovePreview::moveName(RunnerMoves::Move move)
{
    switch (move)
    {
    case RunnerMoves::Move::Left:
        return "a step left";
    case RunnerMoves::Move::Right:
        return "a step right";
    default:
        return "a jump";
    }
}

std::string MovePreview::warningFor(RunnerMoves::Move move, const RunnerMoves::Result& result)
{
    if (result.outcome == RunnerMoves::Outcome::Fell)
    {
        // A step falls into the bottom row; a jump bumps with nothing below the map.
        return moveName(move) + (move == RunnerMoves::Move::Up ? " falls off the map: reset"
                                                               : " falls to the bottom row: reset");
    }
    return moveName(move) + " walls the Runner in: reset";
}

void MovePreview::update(const rules::Match& match, float cellEdge)
{
    std::vector<Landing> landings;
    std::string warning;
    if (match.runnerActs())
    {
        for (const RunnerMoves::Move move :
             {RunnerMoves::Move::Left, RunnerMoves::Move::Right, RunnerMoves::Move::Up})
        {
            const RunnerMoves::Result result = RunnerMoves::move(match.field, match.runner, move);
            if (result.outcome == RunnerMoves::Outcome::Refused ||
                result.outcome == RunnerMoves::Outcome::Blocked)
            {
                continue;
            }
            Landing landing;
            landing.move = move;
            landing.outcome = result.outcome;
            landing.resets = result.outcome == RunnerMoves::Outcome::Fell || result.walledIn;
            landing.cell = landing.resets ? result.target : result.state.cell;
            if (landing.resets)
            {
                warning += (warning.empty() ? "" : "; ") + warningFor(move, result);
            }
            landings.push_back(landing);
        }
    }
    const bool same = landings.size() == m_landings.size() &&
                      std::equal(landings.begin(), landings.end(), m_landings.begin(),
                                 [](const Landing& a, const Landing& b)
                                 { return a.move == b.move && a.cell == b.cell && a.resets == b.resets; });
    if (same && m_built)
    {
        return;
    }
    m_landings = std::move(landings);
    if (warning != m_warningWords)
    {
        m_warningWords = warning;
        m_warning.setString(m_warningWords);
        layout();
    }
    rebuild(cellEdge);
}

void MovePreview::rebuild(float cellEdge)
{
    m_built = true;
    m_marks.clear();
    const float ring = std::max(2.0f, std::round(cellEdge / 14.0f));
    for (const Landing& landing : m_landings)
    {
        const sf::FloatRect cell(static_cast<float>(landing.cell.x) * cellEdge,
                                 static_cast<float>(landing.cell.y) * cellEdge, cellEdge, cellEdge);
        // Inside the cell, so a mark never covers a neighbour.
        if (landing.resets)
        {
            m_marks.addQuad(cell, ResetFill);
            m_marks.addRing(cell, -2.0f * ring, PaletteRed);
        }
        else
        {
            const sf::Color color =
                landing.outcome == RunnerMoves::Outcome::Finished ? PaletteGreen : LandingColor;
            m_marks.addRing(cell, -ring, color);
        }
    }
}

void MovePreview::draw()
{
    m_marks.draw(m_window);
    if (!m_font || m_warningWords.empty())
    {
        return;
    }
    const WindowSpace windowSpace(m_window);
    m_window.draw(m_warningBox);
    m_window.draw(m_warning);
}
} // namespace orv_gd
