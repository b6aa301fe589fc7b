#include "computer/RunnerPlanner.h"

#include "PlannerFields.h"
#include "computer/BuilderPlanner.h"
#include "rules/Rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace orv_gd
{
using rules::Cell;
using rules::CellKind;
using rules::RunnerState;
using Action = RunnerAction;
using Outcome = RunnerPlanner::Outcome;

namespace
{
/// The step after pressing the keys in order.
RunnerPlanner::Step pressAll(const rules::Match& match, std::vector<Action> keys)
{
    RunnerPlanner::Step step{match.runner, Outcome::Nothing};
    for (Action key : keys)
    {
        step = RunnerPlanner::press(match.field, step.state, key);
    }
    return step;
}

RunnerPlanner plannerWith(void (*change)(RunnerPlanner::Options&))
{
    RunnerPlanner::Options options;
    change(options);
    return RunnerPlanner(options);
}

int turnsFrom(const RunnerPlanner& planner, const rules::Match& match)
{
    return planner.turnsToFinish(match.field, match.runner.cell, match.runner.jumpForce, match.resetsLeft,
                                 RunnerPlanner::Horizon);
}

/// How a match played through the rules alone ended.
struct Played
{
    bool runnerWon = false;
    int runnerTurns = 0;
    /// Keys after which the Runner did not stand where the plan said.
    int surprises = 0;
};

/// The level drawn from `seed`, the Builder dropping each block at random where the rules allow,
/// the Runner playing the planner's turns, every action through the rules.
Played playLevel(const RunnerPlanner& planner, unsigned seed)
{
    rules::Match match = rules::Rules::start(rules::Rng(seed));
    const CellRange map{{0, 0}, {match.field.getWidth() - 1, match.field.getHeight() - 1}};
    std::mt19937 random(seed);
    Played played;
    for (int turn = 0; turn < 200 && !match.over; ++turn)
    {
        while (match.builderActs())
        {
            bool found = false;
            const BuilderPlanner::Drop drop = BuilderPlanner::chooseRandomDrop(match, map, random, found);
            if (!found || !test::keyDrop(match, drop.quarterTurns, drop.cursor, 250))
            {
                rules::Rules::advance(match, match.config.turnLimitMs - match.turnMs);
            }
        }
        played.runnerTurns += match.runnerActs() ? 1 : 0;
        while (match.runnerActs())
        {
            const RunnerPlanner::TurnPlan plan = planner.planTurn(match);
            for (std::size_t i = 0; i < plan.actions.size() && match.runnerActs(); ++i)
            {
                test::act(match, test::actionOf(plan.actions[i]), 250);
                if (match.runnerActs() && match.runner != plan.expected[i])
                {
                    ++played.surprises;
                    break;
                }
            }
        }
        rules::Rules::advance(match, rules::Match::FinishDelayMs);
    }
    played.runnerWon = match.over && match.winner == rules::Role::Runner;
    return played;
}
} // namespace

TEST(RunnerPlannerTest, PlaysByTheRulesAndWinsRealLevelsWithOrWithoutEachShortcut)
{
    const std::vector<std::pair<const char*, RunnerPlanner>> planners{
        {"the shortcuts", RunnerPlanner()},
        {"no force cap", plannerWith([](RunnerPlanner::Options& o) { o.forceCap = 0; })},
        {"no ageing", plannerWith([](RunnerPlanner::Options& o) { o.builderTurnMs = 0; })},
        {"own gravity pass per state",
         plannerWith([](RunnerPlanner::Options& o) { o.sharedTurnField = false; })},
    };
    for (const auto& [name, planner] : planners)
    {
        for (unsigned seed : {1U, 2U, 3U})
        {
            const Played played = playLevel(planner, seed);
            EXPECT_TRUE(played.runnerWon) << name << ", level " << seed;
            EXPECT_LE(played.runnerTurns, 30) << name << ", level " << seed;
            EXPECT_EQ(played.surprises, 0) << name << ", level " << seed;
        }
    }
}

TEST(RunnerPlannerTest, AKeyDoesWhatTheRulesMoveDoes)
{
    const rules::Match field =
        test::fieldOf({"........", "........", "R...#...", "###.#...", "###.....", "###....."});
    // A step over a gap falls one row only; into the wall in mid-air: one row down.
    RunnerPlanner::Step step = pressAll(field, {Action::Right, Action::Right, Action::Right, Action::Right});
    EXPECT_EQ(step.state, (RunnerState{{3, 4}, 4, 0}));
    EXPECT_EQ(step.outcome, Outcome::Moved);
    // No moves left: a step is refused; no force: so is a jump.
    EXPECT_EQ(RunnerPlanner::press(field.field, step.state, Action::Left).outcome, Outcome::Nothing);
    EXPECT_EQ(RunnerPlanner::press(field.field, field.runner, Action::Up).outcome, Outcome::Nothing);
    // A fall may end in the bottom row; a step from there, or into white there, is a reset.
    const rules::Match low = test::fieldOf({"....", "#R..", "##.."}, 0, 4);
    EXPECT_EQ(RunnerPlanner::press(low.field, low.runner, Action::Right).state.cell, (Cell{2, 2}));
    EXPECT_EQ(pressAll(low, {Action::Right, Action::Right}).outcome, Outcome::Reset);
    EXPECT_EQ(pressAll(low, {Action::Right, Action::Left}).outcome, Outcome::Reset) << "into white";
    // Standing on white and blocked: nothing; onto green: the finish.
    const rules::Match walled = test::fieldOf({"....", "R#F.", "####"}, 1, 4);
    EXPECT_EQ(RunnerPlanner::press(walled.field, walled.runner, Action::Right).outcome, Outcome::Nothing);
    const rules::Match green = test::fieldOf({"....", "RF..", "####"});
    EXPECT_EQ(RunnerPlanner::press(green.field, green.runner, Action::Right).outcome, Outcome::Finished);
}

TEST(RunnerPlannerTest, TheHandOverIsTheMatchsOwnCountingTheRunnerAsABlockAndAgingTheBuilderCells)
{
    rules::Match match = test::fieldOf({"a.a.", "..a.", "..R.", "###."}, 3, 0, 2000);
    match.field.drop({2, 0}, CellKind::Dynamic, 6000);
    match.config.turnLimitMs = 2500;
    rules::Field field = match.field;
    RunnerState start = match.runner;
    int resets = 2;
    rules::Rules::handOver(field, start, resets, 2500);
    EXPECT_EQ(start, (RunnerState{{2, 2}, 3, 4})) << "standing on white, with its moves";
    EXPECT_EQ(resets, 2);
    // The block resting on the Runner's head stays there, the one above it too.
    EXPECT_EQ(field.at({2, 1}), CellKind::Empty) << "its 2000 ms ran out in the Builder's turn";
    EXPECT_EQ(field.at({2, 0}), CellKind::Dynamic);
    EXPECT_EQ(field.lifeAt({2, 0}), 3500);
    EXPECT_EQ(field.at({0, 0}), CellKind::Empty) << "fell, then faded";
    // The match plays the same when the Runner ends its turn and the Builder lets its turn run out.
    rules::Rules::apply(match, rules::Action::endTurn());
    rules::Rules::advance(match, 2500);
    EXPECT_EQ(match.turn, rules::Role::Runner);
    EXPECT_EQ(match.runner, start);
    EXPECT_TRUE(match.field == field);
}

TEST(RunnerPlannerTest, AWalledInRunnerSpendsAResetAndItsTurnAndStaysPutWhenColumnZeroIsCovered)
{
    std::vector<std::string> pocket{"......F", "......F", "......F", "###...F",
                                    "#R#...F", "#######", "#######"};
    rules::Match match = test::fieldOf(pocket, 5);
    const RunnerPlanner planner;
    // The lost turn, then two turns from the start (a fall at the hand-over, a walk and a step).
    EXPECT_EQ(turnsFrom(planner, match), 3);
    match.resetsLeft = 0;
    EXPECT_GT(turnsFrom(planner, match), RunnerPlanner::Horizon) << "a third reset loses";
    // With column 0 covered a reset leaves the Runner where it is: walled in until it loses.
    for (int y = 0; y < 3; ++y)
    {
        pocket[static_cast<std::size_t>(y)][0] = '#';
    }
    EXPECT_GT(turnsFrom(planner, test::fieldOf(pocket, 5)), RunnerPlanner::Horizon);
}

TEST(RunnerPlannerTest, AmberAndGreenBuilderCellsFadeInTheModel)
{
    const RunnerPlanner planner;
    const RunnerPlanner keeping = plannerWith([](RunnerPlanner::Options& o) { o.builderTurnMs = 0; });
    // An amber cell closes the corridor until it fades in the Builder's next turn.
    const rules::Match amber = test::fieldOf({"#########", "R..a....F", "#########"}, 0, 4, 2000);
    EXPECT_EQ(turnsFrom(planner, amber), 3);
    EXPECT_GT(turnsFrom(keeping, amber), RunnerPlanner::Horizon);
    const RunnerPlanner::TurnPlan plan = planner.planTurn(amber);
    EXPECT_EQ(plan.turnsToFinish, 3);
    EXPECT_EQ(pressAll(amber, plan.actions).state.cell, (Cell{2, 1})) << "up to the amber cell, and wait";
    EXPECT_EQ(plan.actions.back(), Action::End);
    // A green Builder cell two turns away is gone before the Runner gets there.
    const rules::Match green = test::fieldOf({"##########", "R....g...F", "##########"}, 0, 4, 2000);
    EXPECT_EQ(turnsFrom(planner, green), 3);
    EXPECT_EQ(turnsFrom(keeping, green), 2);
}

TEST(RunnerPlannerTest, TheSearchCapsTheJumpForceOnlyAsANamedShortcut)
{
    // Ten jumps up the wall, one step onto it and one onto green.
    std::vector<std::string> rows(14, "..F");
    for (int y = 3; y <= 12; ++y)
    {
        rows[static_cast<std::size_t>(y)] = ".#F";
    }
    rows[12][0] = 'R';
    rows[13] = "###";
    const rules::Match match = test::fieldOf(rows, 10);
    const RunnerPlanner planner;
    EXPECT_EQ(planner.getOptions().forceCap, 9);
    EXPECT_EQ(planner.planTurn(match).turnsToFinish, 1) << "the planned turn has all its force";
    EXPECT_GT(turnsFrom(planner, match), RunnerPlanner::Horizon) << "the search counts 9";
    EXPECT_EQ(turnsFrom(plannerWith([](RunnerPlanner::Options& o) { o.forceCap = 0; }), match), 1);
}

TEST(RunnerPlannerTest, FindsTheWayDownAGapUpAWallOrOverTwoTurns)
{
    const RunnerPlanner planner;
    // Down into a gap when the way on lies below.
    const rules::Match gap = test::fieldOf({"R.....", "###...", "###...", "###..F", "###.##", "######"});
    RunnerPlanner::TurnPlan plan = planner.planTurn(gap);
    EXPECT_EQ(plan.turnsToFinish, 2);
    EXPECT_EQ(plan.actions.back(), Action::End);
    EXPECT_EQ(turnsFrom(planner, gap), 2);
    // Over a wall when the force suffices.
    const rules::Match wall = test::fieldOf({".....F", ".....F", ".R.#.F", "######"}, 1, 4);
    plan = planner.planTurn(wall);
    EXPECT_EQ(plan.turnsToFinish, 1);
    EXPECT_EQ(plan.actions,
              (std::vector<Action>{Action::Right, Action::Up, Action::Right, Action::Right, Action::Right}));
    EXPECT_EQ(pressAll(wall, plan.actions).state.cell, (Cell{5, 2}));
    // Three rows up to the ledge with no force: it earns the force this turn and climbs the next.
    const rules::Match ledge = test::fieldOf({"....F", "..##F", "..##F", "R.##F", "#####", "#####"});
    plan = planner.planTurn(ledge);
    EXPECT_EQ(plan.turnsToFinish, 2);
    EXPECT_EQ(std::count(plan.actions.begin(), plan.actions.end(), Action::Reset), 0);
    EXPECT_GE(pressAll(ledge, plan.actions).state.jumpForce, 1) << "the force carries over";
    // Down a shaft by bumps, a row more at the hand-over, and out into green at its foot.
    const rules::Match shaft =
        test::fieldOf({"R....", "##.##", "##.##", "##.##", "##.##", "##.##", "##.##", "##.F#", "#####"});
    EXPECT_EQ(planner.planTurn(shaft).turnsToFinish, 2);
    EXPECT_EQ(turnsFrom(planner, shaft), 2);
    EXPECT_EQ(turnsFrom(plannerWith([](RunnerPlanner::Options& o) { o.sharedTurnField = false; }), shaft), 2);
}

TEST(RunnerPlannerTest, ATrapWithNoWayOutCallsForAReset)
{
    // In a pit in the bottom row with no force: a step resets, a jump has nothing to pay with.
    rules::Match match =
        test::fieldOf({"......", ".....F", "######", "#.####", "#.####", "#.####", "#R####"});
    const RunnerPlanner planner;
    RunnerPlanner::TurnPlan plan = planner.planTurn(match);
    ASSERT_EQ(plan.actions, std::vector<Action>{Action::Reset});
    EXPECT_EQ(plan.expected.front(), (RunnerState{{0, 1}, 0, 0}));
    // Without a reset to spare it keeps the last one and waits.
    match.resetsLeft = 0;
    plan = planner.planTurn(match);
    EXPECT_NE(plan.actions.front(), Action::Reset);
}

TEST(RunnerPlannerTest, ALevelsShortSightAndDetoursLimitTheSearchAndTheChoiceOnly)
{
    // An open floor: the finish is three turns away (four steps a turn).
    const rules::Match match = test::fieldOf(
        {"...................F", "...................F", ".R.................F", "####################"});
    const RunnerPlanner full;
    RunnerPlanner::Options shortSight;
    shortSight.lookAhead = 1;
    const RunnerPlanner oneTurn(shortSight);
    const RunnerPlanner::TurnPlan best = full.planTurn(match);
    EXPECT_EQ(best.turnsToFinish, 5);
    const RunnerPlanner::TurnPlan near = oneTurn.planTurn(match);
    EXPECT_EQ(near.turnsToFinish, RunnerPlanner::Unreachable) << "the finish lies beyond one turn";
    EXPECT_EQ(pressAll(match, near.actions).state.cell, pressAll(match, best.actions).state.cell)
        << "it still goes as far right as it can";

    // Detours: with a generator and every turn a detour, another end than the best, never more than
    // one column back and never a reset; without a generator, none.
    RunnerPlanner::Options wandering;
    wandering.detourPercent = 100;
    const RunnerPlanner detours(wandering);
    std::mt19937 random(3);
    int elsewhere = 0;
    for (int turn = 0; turn < 20; ++turn)
    {
        const RunnerPlanner::TurnPlan plan = detours.planTurn(match, &random);
        const RunnerState end = pressAll(match, plan.actions).state;
        EXPECT_GE(end.cell.x, match.runner.cell.x - 1);
        EXPECT_EQ(std::count(plan.actions.begin(), plan.actions.end(), Action::Reset), 0);
        elsewhere += end.cell != pressAll(match, best.actions).state.cell ? 1 : 0;
    }
    EXPECT_EQ(elsewhere, 20);
    EXPECT_EQ(pressAll(match, detours.planTurn(match).actions).state.cell,
              pressAll(match, best.actions).state.cell);
}
} // namespace orv_gd
