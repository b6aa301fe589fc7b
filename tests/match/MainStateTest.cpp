#include "match/MainState.h"

#include "match/Palette.h"
#include "support/ErrCapture.h"
#include "support/MatchFixture.h"

#include <algorithm>

namespace orv_gd
{
static int countOf(const std::string& text, const std::string& part)
{
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    {
        ++count;
    }
    return count;
}

TEST(MainStateTest, EnteringBuildsTheSceneOpensWithTheBuilderAndTheCameraEasesAhead)
{
    std::unique_ptr<test::MatchFixture> match;
    const std::string log = test::stdoutOf([&] { match = std::make_unique<test::MatchFixture>(); });
    test::MatchFixture& m = *match;
    EXPECT_EQ(countOf(log, "BuilderStrategy::enter()\n"), 1);
    EXPECT_EQ(countOf(log, "RunnerStrategy::enter()"), 0) << "the Runner's role only received init()";
    const float edge = 600.0f / 11.0f;
    EXPECT_EQ(m.grid().getCellSize(), sf::Vector2f(edge, edge));
    EXPECT_EQ(m.grid().getMapSize(), sf::Vector2i(50, 15));
    EXPECT_EQ(m.grid().getCurrentPlayer(), StrategyType::Builder);
    EXPECT_EQ(m.match().getCurrentStrategy(), StrategyType::Builder);
    EXPECT_EQ(m.grid().getBlockAt(0, 9), m.runnerBlock());
    EXPECT_EQ(m.runnerBlock()->getColor(), PaletteBlue);
    EXPECT_EQ(m.safeZone().size(), 9u);
    EXPECT_TRUE(m.object("finish_line") && m.object("map_0_0"));
    EXPECT_EQ(m.match().getSpriteManager().getLayerMembers("Ui").size(), 10u);
    EXPECT_EQ(m.match().getSpriteManager().getLayerMembers("Background").size(), 9u);
    EXPECT_EQ(m.object("Camera")->getPosition(), sf::Vector2f(400.0f, 300.0f));
    m.runFor(3.0f);
    EXPECT_NEAR(m.object("Camera")->getPosition().x, 3.5f * edge, 0.5f);
    EXPECT_NEAR(m.object("Camera")->getPosition().y, 9.5f * edge, 0.5f);
}

TEST(MainStateTest, ARepeatedRoleReentersAndEscapeTearsTheSceneDownForAFreshMatch)
{
    test::MatchFixture m;
    const std::shared_ptr<GameObject> firstGhost = m.builder().getCurrentBlock();
    EXPECT_EQ(test::stdoutOf([&] { m.match().setStrategy(StrategyType::Builder); }),
              "BuilderStrategy::enter()\n");
    EXPECT_FALSE(firstGhost->isActive()) << "exit put the unplaced ghost away";
    EXPECT_EQ(m.builder().getCurrentBlock()->getId(), "obstacleBlock_1");
    m.tap({sf::Keyboard::Return});
    m.runFor(1.0f);
    const float timeInTurn = m.builder().getTimeInTurn();
    m.key(sf::Keyboard::Escape);
    m.frame();
    EXPECT_EQ(m.states().getPendingState(), m.states().findState("MenuState"));
    EXPECT_EQ(m.builder().getTimeInTurn(), timeInTurn) << "no strategy update in the Escape frame";
    test::ErrCapture err;
    m.frame();
    EXPECT_EQ(countOf(err.text(), "Removed m_listener with given m_id. "), 3);
    EXPECT_TRUE(GameObjectManager::getInstance().getGameObjects().empty());
    EXPECT_TRUE(m.match().getStrategies().empty() && m.match().getProgressBars().empty());
    EXPECT_TRUE(m.match().getSpriteManager().getLayerMembers("Map").empty());
    EXPECT_TRUE(m.grid().getTimedBlocks().empty());
    for (const auto& column : m.grid().getCells())
    {
        EXPECT_TRUE(std::all_of(column.begin(), column.end(), [](const auto& cell) { return !cell; }));
    }
    m.states().setState("MainState");
    m.frame();
    EXPECT_EQ(m.runnerCell(), sf::Vector2i(0, 9));
    EXPECT_EQ(m.builder().getCurrentBlock()->getId(), "obstacleBlock_0");
    EXPECT_EQ(m.runner().getResetsLeft(), 2);
    EXPECT_EQ(m.runner().getTurnsLeft(), 50);
    EXPECT_EQ(m.match().getSpriteManager().getLayerMembers("Ui").size(), 10u);
    EXPECT_FALSE(m.match().isMatchOver());
}

TEST(MainStateTest, TheEndIsRequestedOnceAndNoRoleActsAfterIt)
{
    test::MatchFixture m;
    m.runFor(1.0f);
    EXPECT_TRUE(m.match().endMatch(StrategyType::Runner));
    EXPECT_FALSE(m.match().endMatch(StrategyType::Builder)) << "the end is requested once";
    EXPECT_TRUE(m.endRequestedFor(StrategyType::Runner));
    const float timeInTurn = m.builder().getTimeInTurn();
    m.match().update(0.5f);
    EXPECT_EQ(m.builder().getTimeInTurn(), timeInTurn);
}
} // namespace orv_gd
