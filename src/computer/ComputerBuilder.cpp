#include "computer/ComputerBuilder.h"

#include "core/InputManager.h"
#include "match/BlockComponent.h"
#include "match/BuilderStrategy.h"
#include "match/MainState.h"
#include "match/MatchReader.h"
#include "objects/GameObject.h"

namespace orv_gd
{
namespace
{
constexpr int BuilderPlayer = 1;
/// Presses that leave the cursor where it was before the computer gives up steering.
constexpr int StuckLimit = 4;

} // namespace

ComputerBuilder::ComputerBuilder(MainState& match, InputManager& input) : m_match(match), m_input(input) {}

void ComputerBuilder::setStyle(Style style, unsigned seed)
{
    m_style = style;
    m_random.seed(seed);
}

void ComputerBuilder::update(float dt)
{
    if (m_match.isMatchOver() || m_match.getCurrentStrategy() != StrategyType::Builder)
    {
        m_block.reset();
        m_pace.restart();
        return;
    }
    if (!m_pace.due(dt))
    {
        return;
    }
    if (const char* action = nextAction())
    {
        m_input.pressAction(action, BuilderPlayer);
    }
}

void ComputerBuilder::plan()
{
    auto& builder = static_cast<BuilderStrategy&>(*m_match.getStrategies()[StrategyType::Builder]);
    BuilderPlanner::Shape shape;
    BlockType type = BlockType::Dynamic;
    for (const std::shared_ptr<BlockComponent>& cell : m_block->getComponents<BlockComponent>())
    {
        shape.push_back(cell->getGridPosition() - builder.getCursor());
        type = cell->getType();
    }
    const FieldSnapshot field = MatchReader::read(m_match);
    const BuilderPlanner::Drop drop =
        m_style == Style::Random ? BuilderPlanner::chooseRandomDrop(field, shape, m_random, m_found)
                                 : m_planner.chooseDrop(field, shape, MatchReader::kindOf(type), m_found);
    m_rotationsLeft = drop.quarterTurns;
    m_target = drop.cursor;
    m_lastCursor = {-1, -1};
    m_stuck = 0;
    m_placeTries = 0;
}

const char* ComputerBuilder::nextAction()
{
    auto& builder = static_cast<BuilderStrategy&>(*m_match.getStrategies()[StrategyType::Builder]);
    const std::shared_ptr<GameObject>& block = builder.getCurrentBlock();
    if (!block)
    {
        return nullptr;
    }
    if (block != m_block)
    {
        m_block = block;
        plan();
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

    const sf::Vector2i cursor = builder.getCursor();
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
        m_block.reset();
        return nullptr;
    }
    ++m_placeTries;
    ++m_drops;
    return "BuilderPlace";
}
} // namespace orv_gd
