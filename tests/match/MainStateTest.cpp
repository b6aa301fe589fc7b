#include "match/MainState.h"

#include "core/GameStateManager.h"
#include "match/BlockComponent.h"
#include "match/BuilderStrategy.h"
#include "match/GridManager.h"
#include "match/Palette.h"
#include "match/RunnerStrategy.h"
#include "objects/GameObject.h"
#include "objects/GameObjectManager.h"
#include "resources/TraceRecorder.h"
#include "support/ErrCapture.h"
#include "support/MatchFixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace orv_gd
{
namespace
{
using Key = sf::Keyboard::Key;

int countOf(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    {
        ++count;
    }
    return count;
}

int tableEntries(GridManager& grid)
{
    int entries = 0;
    for (const auto& column : grid.getCells())
    {
        for (const auto& block : column)
        {
            entries += block ? 1 : 0;
        }
    }
    return entries;
}

TEST(MainStateTest, EnteringBuildsTheSceneAndOpensWithTheBuildersTurn)
{
    testing::internal::CaptureStdout();
    test::MatchFixture m;
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(countOf(log, "BuilderStrategy::enter()\n"), 1);
    EXPECT_EQ(countOf(log, "RunnerStrategy::enter()"), 0) << "the Runner's role only received init()";

    EXPECT_FLOAT_EQ(m.grid().getCellSize().x, 600.0f / 11.0f);
    EXPECT_FLOAT_EQ(m.grid().getCellSize().y, 600.0f / 11.0f);
    EXPECT_EQ(m.grid().getMapSize(), sf::Vector2i(50, 15));
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Builder);
    EXPECT_EQ(m.grid().getCurrentPlayer(), StrategyType::Builder);
    EXPECT_EQ(m.match().getStrategies().size(), 2u);

    for (const char* id : {"Runner", "Camera", "runner_safezone", "finish_line", "map_0_0", "obstacleBlock_0",
                           "0_ProgressBar", "4_ProgressBar", "0_ProgressBarIcon", "4_ProgressBarIcon"})
    {
        EXPECT_TRUE(m.object(id)) << id;
    }
    EXPECT_EQ(m.runnerCell(), sf::Vector2i(0, 9));
    EXPECT_EQ(m.runnerBlock()->getColor(), PaletteBlue);
    EXPECT_EQ(m.grid().getBlockAt(0, 9), m.runnerBlock());
    EXPECT_EQ(m.object("runner_safezone")->getComponents<BlockComponent>().size(), 9u);
    EXPECT_EQ(m.match().getSpriteManager().getLayerMembers("Ui").size(), 10u);
    EXPECT_EQ(m.match().getSpriteManager().getLayerMembers("Background").size(), 9u);
}

TEST(MainStateTest, TheCameraEasesTowardsThreeCellsAheadOfTheRunner)
{
    test::MatchFixture m;
    const sf::Vector2f start = m.object("Camera")->getPosition();
    EXPECT_EQ(start, sf::Vector2f(400.0f, 300.0f));
    m.runFor(3.0f);
    const float edge = 600.0f / 11.0f;
    const sf::Vector2f camera = m.object("Camera")->getPosition();
    EXPECT_NEAR(camera.x, 3.5f * edge, 0.5f);
    EXPECT_NEAR(camera.y, 9.5f * edge, 0.5f);
}

TEST(MainStateTest, EscapeLeavesForTheMenuBeforeTheTurnRuns)
{
    test::MatchFixture m;
    m.runFor(1.0f);
    const float timeInTurn = m.builder().getTimeInTurn();
    m.press(Key::Escape);
    m.frame();
    EXPECT_EQ(m.states().getPendingState(), m.states().findState("MenuState"));
    EXPECT_FLOAT_EQ(m.builder().getTimeInTurn(), timeInTurn) << "no strategy update in that frame";
    EXPECT_EQ(m.states().getCurrentState(), &m.match());
}

TEST(MainStateTest, LeavingTearsTheWholeSceneDownAndTheNextMatchStartsAfresh)
{
    test::MatchFixture m;
    m.tap(Key::Return);
    m.runFor(0.5f);
    test::ErrCapture err;
    m.states().setState("MenuState");
    m.frame();
    EXPECT_EQ(countOf(err.text(), "Removed m_listener with given m_id. "), 3);
    EXPECT_TRUE(GameObjectManager::getInstance().getGameObjects().empty());
    EXPECT_TRUE(m.match().getStrategies().empty());
    EXPECT_TRUE(m.match().getProgressBars().empty());
    EXPECT_TRUE(m.match().getSpriteManager().getLayerMembers("Map").empty());
    EXPECT_EQ(tableEntries(m.grid()), 0);
    EXPECT_TRUE(m.grid().getTimedBlocks().empty());

    m.states().setState("MainState");
    m.frame();
    EXPECT_EQ(m.match().getStrategies().size(), 2u);
    EXPECT_EQ(m.runnerCell(), sf::Vector2i(0, 9));
    EXPECT_EQ(m.builder().getCurrentBlock()->getId(), "obstacleBlock_0");
    EXPECT_EQ(m.runner().getResetsLeft(), 2);
    EXPECT_EQ(m.runner().getTurnsLeft(), 50);
    EXPECT_EQ(m.match().getProgressBars().size(), 5u);
    EXPECT_EQ(m.match().getSpriteManager().getLayerMembers("Ui").size(), 10u);
    EXPECT_FALSE(m.match().isMatchOver());
}

TEST(MainStateTest, SetStrategyWithTheCurrentRoleRunsExitThenEnter)
{
    test::MatchFixture m;
    const std::shared_ptr<GameObject> firstGhost = m.builder().getCurrentBlock();
    testing::internal::CaptureStdout();
    m.match().setStrategy(StrategyType::Builder);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "BuilderStrategy::enter()\n");
    EXPECT_FALSE(firstGhost->isActive()) << "exit put the unplaced ghost away";
    EXPECT_EQ(m.builder().getCurrentBlock()->getId(), "obstacleBlock_1");
}

TEST(MainStateTest, TheEndOfAMatchIsRequestedOnce)
{
    test::MatchFixture m;
    EXPECT_TRUE(m.match().endMatch(StrategyType::Runner));
    EXPECT_FALSE(m.match().endMatch(StrategyType::Builder));
    EXPECT_EQ(m.states().getPendingState(), m.states().findState("EndState"));
    const float timeInTurn = m.builder().getTimeInTurn();
    m.match().update(0.5f);
    EXPECT_FLOAT_EQ(m.builder().getTimeInTurn(), timeInTurn) << "no role acts once the match is decided";
}

TEST(MainStateTest, InitDrawAndExitAreTraced)
{
    const std::string path = testing::TempDir() + "match_trace.json";
    TraceRecorder::get().beginSession("test", path);
    {
        test::MatchFixture m;
        m.render();
        m.states().setState("MenuState");
        m.frame();
    }
    TraceRecorder::get().endSession();
    std::ifstream file(path);
    const std::string trace((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(trace.find("\"name\":\"orv_gd::MainState::init\""), std::string::npos);
    EXPECT_NE(trace.find("\"name\":\"orv_gd::MainState::draw\""), std::string::npos);
    EXPECT_NE(trace.find("\"name\":\"orv_gd::MainState::exit\""), std::string::npos);
    std::remove(path.c_str());
}

TEST(MainStateTest, TheFieldIsDrawnThroughTheCamera)
{
    test::MatchFixture m;
    m.runFor(3.0f);
    const sf::Image image = m.render();
    // The first platform lies under the Runner's start cell, on row 10.
    const float edge = 600.0f / 11.0f;
    const sf::Vector2f camera = m.object("Camera")->getPosition();
    const sf::Vector2f platform(0.5f * edge - camera.x + 400.0f, 10.5f * edge - camera.y + 300.0f);
    EXPECT_EQ(image.getPixel(static_cast<unsigned>(platform.x), static_cast<unsigned>(platform.y)),
              PaletteWhite);
}
} // namespace
} // namespace orv_gd
