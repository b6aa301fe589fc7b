#include "rules/Rules.h"

#include "rules/MatchParts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <type_traits>

namespace orv_gd::rules
{
namespace
{
/// The events' kinds, a Runner's move with its motion, as "RunnerMoved:Fall".
std::string kinds(const Events& events)
{
    static const char* const names[] = {
        "Refused",        "StepBegan",   "CantMove",  "RunnerMoved", "StepEnded",  "EndAsked",    "Reset",
        "GravityStarted", "CellFell",    "TurnEnded", "TurnBegan",   "BlockDealt", "CursorMoved", "Rotated",
        "CellPlaced",     "CellSkipped", "Dropped",   "CellExpired", "MatchWon"};
    static const char* const motions[] = {"Step", "Fall", "Bump", "Reset", "Gravity", "Finish"};
    std::string text;
    for (const Event& e : events)
    {
        text += (text.empty() ? "" : " ") + std::string(names[static_cast<int>(e.kind)]);
        if (e.kind == Event::Kind::RunnerMoved)
        {
            text += std::string(":") + motions[static_cast<int>(e.motion)];
        }
    }
    return text;
}
} // namespace

/// A fresh match on the first level of a fresh process: the Runner at (0, 9) on the first
/// platform (columns 0 to 4 of row 10), the Builder's first turn begun.
class RulesTest : public ::testing::Test
{
protected:
    /// Lets the turn's time run out until it is `role`'s turn.
    void turnTo(Role role)
    {
        while (m.turn != role && !m.over)
        {
            Rules::advance(m, m.config.turnLimitMs - m.turnMs);
        }
    }
    /// The Builder's block, set to be dropped where the test wants it.
    void hold(const ObstacleShapes::Shape& shape, CellKind kind, Cell cursor)
    {
        m.ghost = {true, shape, kind, cursor};
    }
    Events drop() { return Rules::apply(m, Action::drop(m.ghost.cursor)); }

    Events started;
    Match m = Rules::start(Rng(1), {}, nullptr, &started);
};

TEST_F(RulesTest, TheBuilderPlaysFirstWithItsCursorBesideTheRunner)
{
    EXPECT_EQ(kinds(started), "TurnBegan BlockDealt");
    EXPECT_EQ(started.front().role, Role::Builder);
    EXPECT_TRUE(m.turn == Role::Builder && m.turnNumber == 1 && m.ghost.present);
    EXPECT_EQ(m.runner, (RunnerState{{0, 9}, 0, 4}));
    EXPECT_EQ(m.ghost.cursor, (Cell{4, 9}));
    // Within ten columns of the right edge the cursor starts behind the Runner.
    for (const auto& [column, cursor] : {std::pair{40, 44}, {41, 38}})
    {
        turnTo(Role::Runner);
        m.runner.cell = {column, 5};
        m.field.set({column, 6}, CellKind::Static);
        Rules::apply(m, Action::endTurn());
        EXPECT_EQ(m.ghost.cursor, (Cell{cursor, 5})) << "Runner in column " << column;
    }
}

TEST_F(RulesTest, ABlockIsAShapeTurnedThenGreenForASingleCellOnAnEvenDrawElseWhiteOneInEight)
{
    // The C library's numbers after srand(7), as the game has always drawn them.
    std::srand(7);
    Rng rng(7);
    for (int block = 0; block < 400; ++block)
    {
        const int shape = std::rand() % 8;
        const int turns = std::rand() % 4;
        const CellKind kind = shape == 0 && std::rand() % 2 == 0 ? CellKind::Finish
                              : std::rand() % 8 == 0             ? CellKind::Static
                                                                 : CellKind::Dynamic;
        Match one = m;
        one.rng = rng;
        ASSERT_EQ(kinds(Rules::apply(one, Action::drop(one.ghost.cursor))).substr(0, 3), "Cel");
        rng = one.rng;
        ASSERT_EQ(one.ghost.shape, ObstacleShapes::rotateShape(ObstacleShapes::catalogue()[shape], turns))
            << "block " << block;
        ASSERT_EQ(one.ghost.kind, kind) << "block " << block;
    }
    std::srand(1);
}

TEST_F(RulesTest, ADropOnTheSafeZoneOrInTheFinishColumnsIsRefusedTheSafeZoneNamedFirst)
{
    m.runner.cell = {20, 5};
    for (int dx = -2; dx <= 2; ++dx)
    {
        for (int dy = -2; dy <= 2; ++dy)
        {
            const bool safe = dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1;
            EXPECT_EQ(Rules::dropProblem(m, {{0, 0}}, {20 + dx, 5 + dy}),
                      safe ? Refusal::OnSafeZone : Refusal::None)
                << dx << ", " << dy;
        }
    }
    EXPECT_EQ(Rules::dropProblem(m, {{0, 0}, {1, 0}}, {45, 0}), Refusal::None);
    EXPECT_EQ(Rules::dropProblem(m, {{0, 0}, {2, 0}}, {45, 0}), Refusal::InFinishColumns);
    m.runner.cell = {45, 5};
    EXPECT_EQ(Rules::dropProblem(m, {{2, 0}, {0, 0}}, {45, 4}), Refusal::OnSafeZone);
    EXPECT_EQ(Rules::dropProblem(m, {{0, 0}, {2, 0}}, {45, 4}), Refusal::OnSafeZone);

    hold({{0, 0}}, CellKind::Dynamic, {47, 0});
    const std::uint64_t before = m.digest();
    for (const auto& [at, why] :
         {std::pair{Cell{47, 0}, Refusal::InFinishColumns}, {Cell{46, 0}, Refusal::NotAtCursor}})
    {
        const Events events = Rules::apply(m, Action::drop(at));
        ASSERT_EQ(kinds(events), "Refused");
        EXPECT_EQ(events.front().why, why);
        EXPECT_EQ(m.digest(), before);
    }
}

TEST_F(RulesTest, ACellWithoutRoomIsSkippedAndTheDropCountsAllTheSameTwoEndTheTurn)
{
    m.field.set({21, 0}, CellKind::Static);
    hold({{0, -1}, {0, 0}, {1, 0}}, CellKind::Dynamic, {20, 0});
    Events events = drop();
    EXPECT_EQ(kinds(events), "CellSkipped CellPlaced CellSkipped Dropped BlockDealt");
    EXPECT_EQ(events[1].to, (Cell{20, 0}));
    EXPECT_EQ(events[3].blocks, 1);
    EXPECT_EQ(m.field.at({20, 0}), CellKind::Dynamic);
    EXPECT_EQ(m.field.at({21, 0}), CellKind::Static);
    EXPECT_TRUE(m.ghost.present) << "the second block is dealt after the first drop";

    hold({{0, 0}, {0, -1}}, CellKind::Finish, {21, 0}); // green takes a white cell, not one outside
    events = drop();
    EXPECT_EQ(kinds(events), "CellPlaced CellSkipped Dropped TurnEnded TurnBegan");
    EXPECT_EQ(m.field.coveredAt({21, 0}), CellKind::Static);
    EXPECT_EQ(events[3].role, Role::Builder);
    EXPECT_EQ(events[4].role, Role::Runner);
    EXPECT_EQ(events[4].digest, m.digest());
    EXPECT_TRUE(m.turn == Role::Runner && m.turnNumber == 2 && m.runner.moves == 4 && !m.ghost.present);
}

TEST_F(RulesTest, AmberAndGreenCellsFadeAfterSevenSecondsOfBuilderTimeWhiteOnesStay)
{
    hold({{0, 0}}, CellKind::Dynamic, {3, 9});
    drop();
    Rules::advance(m, 3000);
    hold({{0, 0}}, CellKind::Finish, {2, 7});
    drop();
    Rules::advance(m, 10000); // the Runner's whole turn
    ASSERT_TRUE(m.turn == Role::Builder && m.turnMs == 0);
    EXPECT_EQ(m.field.lifeAt({3, 9}), 4000);
    EXPECT_EQ(m.field.lifeAt({2, 7}), 7000);
    EXPECT_EQ(kinds(Rules::advance(m, 3999)), "");
    const Events events = Rules::advance(m, 1);
    ASSERT_EQ(kinds(events), "CellExpired");
    EXPECT_EQ(events.front().to, (Cell{3, 9}));
    EXPECT_EQ(kinds(Rules::advance(m, 3000)), "CellExpired");
    hold({{0, 0}}, CellKind::Static, {3, 9});
    EXPECT_EQ(kinds(drop()), "CellPlaced Dropped BlockDealt") << "two drops again";
    EXPECT_EQ(m.field.lifeAt({3, 9}), 0);
    EXPECT_EQ(m.field.at({3, 9}), CellKind::Static);
}

TEST_F(RulesTest, ATurnEndsAtItsLimitAndTheRestOfTheTimeGoesOnInTheNext)
{
    EXPECT_EQ(kinds(Rules::advance(m, 25000)),
              "TurnEnded TurnBegan TurnEnded GravityStarted TurnBegan BlockDealt");
    EXPECT_TRUE(m.turn == Role::Builder && m.turnNumber == 3 && m.turnMs == 5000 && m.turnsLeft == 49);

    Match quick = Rules::start(Rng(1), {50, 15, 3000});
    Rules::advance(quick, 2999);
    EXPECT_EQ(quick.turnNumber, 1);
    Rules::advance(quick, 4001);
    EXPECT_TRUE(quick.turnNumber == 3 && quick.turnMs == 1000);
}

TEST_F(RulesTest, TheRunnersTurnEndsWhenNoMoveAndNoForceAreLeftWithOneGravityPass)
{
    turnTo(Role::Runner);
    for (int step = 0; step < 4; ++step)
    {
        Rules::apply(m, Action::stepRight());
    }
    EXPECT_EQ(m.runner, (RunnerState{{4, 9}, 4, 0}));
    for (int jump = 0; jump < 3; ++jump)
    {
        Rules::apply(m, Action::jump());
    }
    m.field.drop({10, 3}, CellKind::Dynamic, 7000);
    ASSERT_EQ(m.turn, Role::Runner);
    const Events events = Rules::apply(m, Action::jump());
    EXPECT_EQ(kinds(events),
              "StepBegan RunnerMoved:Step StepEnded TurnEnded GravityStarted RunnerMoved:Gravity "
              "CellFell TurnBegan BlockDealt");
    EXPECT_EQ(events.front().force, 1);
    EXPECT_EQ(events[2].force, 0);
    EXPECT_EQ(m.runner.cell, (Cell{4, 6}));
    EXPECT_EQ(m.field.at({10, 4}), CellKind::Dynamic);
    EXPECT_EQ(m.turnsLeft, 49);

    turnTo(Role::Runner);
    EXPECT_EQ(kinds(Rules::apply(m, Action::stepRight())),
              "StepBegan RunnerMoved:Step RunnerMoved:Fall StepEnded");
    EXPECT_EQ(m.runner.cell, (Cell{5, 7}));
    m.field.drop({10, 3}, CellKind::Dynamic, 7000);
    EXPECT_EQ(kinds(Rules::apply(m, Action::endTurn())),
              "EndAsked TurnEnded GravityStarted RunnerMoved:Gravity CellFell TurnBegan BlockDealt");
}

TEST_F(RulesTest, TheEndOfTheFiftyFirstRunnerTurnHandsTheWinToTheBuilder)
{
    for (int turn = 1; turn <= 50; ++turn)
    {
        turnTo(Role::Runner);
        Rules::apply(m, Action::endTurn());
    }
    ASSERT_FALSE(m.over);
    turnTo(Role::Runner);
    m.field.drop({10, 3}, CellKind::Dynamic, 7000);
    EXPECT_EQ(kinds(Rules::apply(m, Action::endTurn())),
              "EndAsked TurnEnded GravityStarted CellFell MatchWon");
    EXPECT_TRUE(m.over && m.winner == Role::Builder && m.how == WinReason::OutOfTurns);

    // After the end nothing changes.
    const std::uint64_t over = m.digest();
    EXPECT_EQ(kinds(Rules::advance(m, 100000)), "");
    for (const Action& action : {Action::stepRight(), Action::reset(), Action::drop(m.ghost.cursor)})
    {
        const Events events = Rules::apply(m, action);
        ASSERT_EQ(kinds(events), "Refused");
        EXPECT_EQ(events.front().why, Refusal::NotYourTurn);
    }
    EXPECT_EQ(m.digest(), over);
}

TEST_F(RulesTest, AResetCostsOneOfTwoAndEndsTheTurnTheThirdLoses)
{
    turnTo(Role::Runner);
    Rules::apply(m, Action::stepRight());
    m.field.set({0, 9}, CellKind::Static); // the start cell covered: the cell above it
    EXPECT_EQ(kinds(Rules::apply(m, Action::reset())),
              "RunnerMoved:Reset Reset TurnEnded GravityStarted TurnBegan BlockDealt");
    EXPECT_EQ(m.runner, (RunnerState{{0, 8}, 0, 0}));
    EXPECT_TRUE(m.resetsLeft == 1 && m.lastReset == ResetCause::Asked);

    turnTo(Role::Runner);
    m.runner.cell = {10, 14};
    const Events events = Rules::apply(m, Action::stepRight()); // into the bottom row
    EXPECT_EQ(kinds(events).substr(0, 34), "StepBegan RunnerMoved:Reset Reset ");
    EXPECT_EQ(events[2].resets, 0);
    EXPECT_TRUE(m.resetsLeft == 0 && m.lastReset == ResetCause::Fell && m.turn == Role::Builder);

    turnTo(Role::Runner);
    EXPECT_EQ(kinds(Rules::apply(m, Action::reset())), "Reset MatchWon");
    EXPECT_TRUE(m.over && m.winner == Role::Builder && m.how == WinReason::ThirdReset);
}

TEST_F(RulesTest, AWalledInRunnerIsResetWhenItsTurnBeginsOrAfterAStep)
{
    m.field.set({1, 9}, CellKind::Static);
    m.field.set({0, 8}, CellKind::Static);
    EXPECT_EQ(kinds(Rules::advance(m, 10000)),
              "TurnEnded TurnBegan Reset TurnEnded GravityStarted TurnBegan BlockDealt");
    EXPECT_TRUE(m.resetsLeft == 1 && m.lastReset == ResetCause::WalledIn);

    m.field.set({1, 9}, CellKind::Empty);
    turnTo(Role::Runner);
    m.runner.cell = {20, 5};
    for (const Cell wall : {Cell{19, 5}, Cell{21, 5}, Cell{20, 4}, Cell{20, 6}})
    {
        m.field.set(wall, CellKind::Static);
    }
    EXPECT_EQ(kinds(Rules::apply(m, Action::stepRight())),
              "StepBegan CantMove RunnerMoved:Reset Reset TurnEnded GravityStarted TurnBegan BlockDealt");
    EXPECT_TRUE(m.resetsLeft == 0 && m.lastReset == ResetCause::WalledIn && m.runner.cell == (Cell{0, 9}));
}

TEST_F(RulesTest, TheRunnerWinsHalfASecondAfterSteppingOnGreenAndNothingHandsOverMeanwhile)
{
    turnTo(Role::Runner);
    Rules::advance(m, 9900);
    m.runner = {{10, 5}, 1, 0}; // its last jump, onto a green cell
    m.field.set({10, 4}, CellKind::Finish);
    m.field.set({10, 6}, CellKind::Static);
    EXPECT_EQ(kinds(Rules::apply(m, Action::jump())), "StepBegan RunnerMoved:Finish StepEnded");
    const std::uint64_t waiting = m.digest();
    for (const Action& action : {Action::reset(), Action::endTurn(), Action::rotate(1)})
    {
        EXPECT_EQ(Rules::apply(m, action).front().why, Refusal::NotYourTurn);
    }
    EXPECT_EQ(m.digest(), waiting);
    EXPECT_EQ(kinds(Rules::advance(m, 499)), "");
    EXPECT_TRUE(m.turn == Role::Runner && m.turnNumber == 2 && m.turnMs == 9900 && !m.over);
    EXPECT_EQ(kinds(Rules::advance(m, 1)), "MatchWon");
    EXPECT_TRUE(m.over && m.winner == Role::Runner && m.how == WinReason::ReachedFinish);
}

TEST_F(RulesTest, TheCursorStepsOneCellWithinTheMapAndTheBlockTurns)
{
    hold({{0, -1}, {0, 1}, {0, 0}}, CellKind::Dynamic, {4, 1});
    Events events = Rules::apply(m, Action::moveCursor({1, 1}));
    ASSERT_EQ(kinds(events), "CursorMoved");
    EXPECT_TRUE(events.front().from == (Cell{4, 1}) && events.front().to == (Cell{5, 2}));
    for (const Cell by : {Cell{2, 0}, Cell{0, 0}})
    {
        EXPECT_EQ(Rules::apply(m, Action::moveCursor(by)).front().why, Refusal::BadAction);
    }
    m.ghost.cursor = {4, 1};
    EXPECT_EQ(Rules::apply(m, Action::moveCursor({0, -1})).front().why, Refusal::OutOfMap) << "its top cell";
    events = Rules::apply(m, Action::rotate(3));
    EXPECT_EQ(events.front().quarterTurns, 3);
    EXPECT_EQ(m.ghost.shape, (ObstacleShapes::Shape{{-1, 0}, {1, 0}, {0, 0}}));
    m.ghost.cursor = {0, 0}; // a cell left outside by the turn comes along
    EXPECT_EQ(kinds(Rules::apply(m, Action::moveCursor({0, 1}))), "CursorMoved");
    EXPECT_EQ(Rules::apply(m, Action::moveCursor({-1, -1})).front().why, Refusal::OutOfMap);
}

/// Changes the `target`-th part of a match in the `way`-th of the ways its type allows.
struct ChangePart
{
    int target;
    int way;
    int seen = 0;
    bool changed = false;

    template <class T>
    void operator()(T& part)
    {
        if (seen++ == target)
        {
            changed = change(part);
        }
    }
    template <class T>
    bool change(T& part)
    {
        if constexpr (std::is_enum_v<T>)
        {
            part = static_cast<T>(static_cast<int>(part) + 1);
        }
        else
        {
            part = std::is_same_v<T, bool> ? !part : part + 1;
        }
        return way == 0;
    }
    bool change(Cell& part)
    {
        part.y += 1;
        return way == 0;
    }
    bool change(ObstacleShapes::Shape& part)
    {
        part.push_back({2, 2});
        return way == 0;
    }
    bool change(Rng& part)
    {
        way == 0 ? void(part.next()) : void(part = Rng::resumed(part.getSeed() + 1, part.getDraws()));
        return way < 2;
    }
    /// A cell's kind, what a green cell covers, and a cell's life, each alone.
    bool change(Field& part)
    {
        way == 0   ? part.set({20, 5}, CellKind::Static)
        : way == 1 ? (part.set({0, 10}, CellKind::Finish), part.drop({0, 10}, CellKind::Finish, 7000))
                   : part.drop({20, 3}, CellKind::Dynamic, 6999);
        return way < 3;
    }
};

TEST_F(RulesTest, TheDigestChangesWithEveryPartOfTheMatch)
{
    m.field.drop({20, 3}, CellKind::Dynamic, 7000);
    m.field.drop({0, 10}, CellKind::Finish, 7000); // green over white
    int parts = 0;
    MatchParts::forEach(m, [&](const auto&) { ++parts; });
    for (int target = 0; target < parts; ++target)
    {
        for (int way = 0;; ++way)
        {
            Match changed = m;
            ChangePart change{target, way};
            MatchParts::forEach(changed, change);
            if (!change.changed)
            {
                EXPECT_GT(way, 0) << "part " << target;
                break;
            }
            EXPECT_NE(changed.digest(), m.digest()) << "part " << target << ", change " << way;
        }
    }
    EXPECT_EQ(Match(m).digest(), m.digest());
}
} // namespace orv_gd::rules
