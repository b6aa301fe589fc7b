#include "computer/ComputerBuilder.h"

#include "computer/MatchSource.h"
#include "core/InputManager.h"

#include <cstdlib>

namespace orv_gd
{
namespace
{
constexpr int BuilderPlayer = 1;
/// Presses that leave the cursor where it was before the computer gives up steering.
constexpr int StuckLimit = 4;
/// The second drop comes at least this long before the turn's limit.
constexpr int TurnMarginMs = 1000;
constexpr int KeyMs = static_cast<int>(ActionPace::Interval * 1000.0f);

} // namespace

ComputerBuilder::ComputerBuilder(const MatchSource& match, InputManager& input, const ComputerLevel& level,
                                 unsigned seed)
    : m_match(match), m_input(input), m_level(level), m_planner(level.builder),
      m_style(level.builderAim == ComputerLevel::BuilderAim::NearCursor ? Style::NearCursor : Style::Planned),
      m_random(seed)
{
}

void ComputerBuilder::setStyle(Style style, unsigned seed)
{
    m_style = style;
    m_random.seed(seed);
}

void ComputerBuilder::update(float dt)
{
    const rules::Match& match = m_match.currentMatch();
    if (!match.builderActs())
    {
        m_plannedBlock = -1;
        m_pace.restart();
        m_turnPlanMs = -1;
        return;
    }
    if (m_turnPlanMs < 0)
    {
        m_turnPlanMs = m_level.builderTurnMs.draw(m_random, match.config.turnLimitMs - TurnMarginMs);
    }
    if (match.ghost.present && match.blocksLeft != m_plannedBlock)
    {
        plan(match);
    }
    if (match.turnMs < m_thinkUntilMs || !m_pace.due(dt))
    {
        return;
    }
    if (const char* action = nextAction(match))
    {
        m_input.pressAction(action, BuilderPlayer);
    }
}

void ComputerBuilder::plan(const rules::Match& match)
{
    const CellRange view = m_match.builderView();
    const BuilderPlanner::Drop drop =
        m_style == Style::Random       ? BuilderPlanner::chooseRandomDrop(match, view, m_random, m_found)
        : m_style == Style::NearCursor ? m_planner.chooseNearCursorDrop(match, view, m_random, m_found)
                                       : m_planner.chooseDrop(match, view, m_found);
    m_plannedBlock = match.blocksLeft;
    m_rotationsLeft = drop.quarterTurns;
    m_target = drop.cursor;
    m_lastCursor = {-1, -1};
    m_stuck = 0;
    m_placeTries = 0;
    // The keys this drop takes, the last one landing at this block's share of the turn: the
    // level's share for the first block, all of it for the last.
    const int rotations = drop.quarterTurns == 3 ? 1 : drop.quarterTurns;
    const int keys = rotations + std::abs(drop.cursor.x - match.ghost.cursor.x) +
                     std::abs(drop.cursor.y - match.ghost.cursor.y) + 1;
    const bool first = match.blocksLeft == rules::Match::BlocksPerTurn;
    const int share = first ? m_turnPlanMs * m_level.firstDropPercent / 100 : m_turnPlanMs;
    m_thinkUntilMs = share - keys * KeyMs;
}

const char* ComputerBuilder::nextAction(const rules::Match& match)
{
    if (!match.ghost.present)
    {
        return nullptr;
    }
    if (match.blocksLeft != m_plannedBlock)
    {
        plan(match);
    }
    if (!m_found)
    {
        // The block fits nowhere in sight: the turn runs out instead.
        return nullptr;
    }
    if (m_rotationsLeft > 0)
    {
        // Three turns to the right are one to the left.
        const bool left = m_rotationsLeft == 3;
        m_rotationsLeft = left ? 0 : m_rotationsLeft - 1;
        return left ? "BuilderRotateLeft" : "BuilderRotateRight";
    }

    const rules::Cell cursor = match.ghost.cursor;
    if (cursor != m_target && m_stuck < StuckLimit)
    {
        // A step the view refused on one axis is tried on the other next.
        m_stuck = cursor == m_lastCursor ? m_stuck + 1 : 0;
        const bool tryHorizontal =
            cursor.x != m_target.x && !(m_stuck > 0 && m_lastWasHorizontal && cursor.y != m_target.y);
        const bool horizontal = tryHorizontal || cursor.y == m_target.y;
        m_lastCursor = cursor;
        m_lastWasHorizontal = horizontal;
        if (horizontal)
        {
            return cursor.x < m_target.x ? "BuilderRight" : "BuilderLeft";
        }
        return cursor.y < m_target.y ? "BuilderDown" : "BuilderUp";
    }
    if (cursor != m_target || m_placeTries >= 2)
    {
        // Steered off course or refused: choose again from where the block is now.
        m_plannedBlock = -1;
        return nullptr;
    }
    ++m_placeTries;
    ++m_drops;
    return "BuilderPlace";
}
} // namespace orv_gd
