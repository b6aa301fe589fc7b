#include "screens/MatchHud.h"

#include "input/BuilderStrategy.h"
#include "input/RunnerStrategy.h"
#include "objects/CameraRenderComponent.h"
#include "objects/GameObject.h"
#include "objects/GameObjectManager.h"
#include "view/BlockComponent.h"
#include "view/BoardMarks.h"
#include "view/GridManager.h"
#include "view/LevelGenerator.h"

#include <SFML/Graphics/RenderWindow.hpp>

namespace orv_gd
{
namespace
{
std::shared_ptr<Strategy> roleOf(const MatchHud::Roles& roles, StrategyType type)
{
    const auto found = roles.find(type);
    return found != roles.end() ? found->second : nullptr;
}

/// Seconds a turn of the match lasts, as its rules were set up with.
float turnSeconds(const rules::Match& match)
{
    return static_cast<float>(match.config.turnLimitMs) / 1000.0f;
}
} // namespace

MatchHud::MatchHud(sf::RenderWindow& window, EventBus& events, GameObjectManager& objects, GridManager& grid)
    : m_window(window), m_objects(objects), m_grid(grid), m_bars(window, events), m_text(window),
      m_guides(window), m_overview(window), m_preview(window)
{
}

void MatchHud::make(const rules::Match& match, const sf::Font* font, const std::string& escapeTo,
                    const Frame& frame)
{
    m_bars.make(turnSeconds(match));
    m_laidOutFor = m_window.getSize();
    m_overview.setFont(font);
    m_preview.setFont(font);
    layoutOverview(match);
    m_text.init(font);
    m_text.setEscapeTo(escapeTo);
    refreshText(match, frame, 0.0f);
}

void MatchHud::update(const rules::Match& match, const Frame& frame, float playTime)
{
    followWindow(match);
    if (const std::shared_ptr<GameObject> camera = m_objects.getGameObject("Camera"))
    {
        HudReadings readings;
        read(match, frame, readings);
        m_bars.refresh(camera->getPosition(), readings);
    }
    refreshText(match, frame, playTime);
    m_overview.update(match);
    m_preview.update(match, m_grid.getCellSize().x);
}

bool MatchHud::read(const rules::Match& match, const Frame& frame, HudReadings& readings)
{
    const auto runner = std::dynamic_pointer_cast<RunnerStrategy>(roleOf(frame.roles, StrategyType::Runner));
    const auto builder =
        std::dynamic_pointer_cast<BuilderStrategy>(roleOf(frame.roles, StrategyType::Builder));
    const std::shared_ptr<Strategy> current = roleOf(frame.roles, frame.current);
    readings.role = frame.current;
    readings.timeInTurn = current ? current->getTimeInTurn() : 0.0f;
    readings.turnLimit = turnSeconds(match);
    if (runner)
    {
        readings.steps = runner->getXMovement();
        readings.jumpForce = runner->getJumpForce();
        readings.resetsLeft = runner->getResetsLeft();
        readings.turnsLeft = runner->getTurnsLeft();
        readings.lastResetCause = runner->getLastResetCause();
    }
    if (!runner || !builder || !current)
    {
        return false;
    }
    readings.blocksLeft = builder->getBlocksLeft();
    if (frame.current == StrategyType::Builder && !frame.matchOver)
    {
        readings.ghost = builder->getGhostProblem();
    }
    return true;
}

void MatchHud::refreshText(const rules::Match& match, const Frame& frame, float playTime)
{
    HudReadings readings;
    if (!read(match, frame, readings))
    {
        return;
    }
    if (frame.current == StrategyType::Builder && !frame.matchOver)
    {
        const auto runner =
            std::static_pointer_cast<RunnerStrategy>(roleOf(frame.roles, StrategyType::Runner));
        const std::shared_ptr<GameObject>& safeZone = runner->getSafeZone();
        m_guides.update(safeZone ? safeZone->getComponents<BlockComponent>()
                                 : std::vector<std::shared_ptr<BlockComponent>>{},
                        m_grid.getMapSize(), LevelGenerator::FinishColumns, m_grid.getCellSize().x);
    }
    m_text.setPaused(frame.paused);
    m_text.setLeaveArmed(frame.leaveArmed);
    m_text.update(playTime, readings);
}

void MatchHud::followWindow(const rules::Match& match)
{
    const sf::Vector2u size = m_window.getSize();
    if (size == m_laidOutFor)
    {
        return;
    }
    m_laidOutFor = size;
    if (const std::shared_ptr<GameObject> camera = m_objects.getGameObject("Camera"))
    {
        if (const auto view = camera->getComponent<CameraRenderComponent>())
        {
            view->setViewSize(sf::Vector2f(size));
            view->update(0.0f);
        }
    }
    m_bars.resize();
    layoutOverview(match);
    m_text.layout();
}

void MatchHud::layoutOverview(const rules::Match& match)
{
    m_overview.layout();
    m_overview.update(match);
    m_preview.layout();
    const sf::FloatRect strip = m_overview.getBounds();
    m_text.setTopInset(strip.top + strip.height);
}

void MatchHud::drawGuides(BoardMarks& marks)
{
    m_guides.draw();
    const sf::RectangleShape& zone = m_guides.getSafeZoneOutline();
    marks.drawDashes(m_window, {zone.getPosition(), zone.getSize()}, -zone.getOutlineThickness());
}

void MatchHud::draw()
{
    m_preview.draw();
    m_overview.draw();
    m_text.draw();
}
} // namespace orv_gd
