#include "computer/FairStart.h"
#include "PlannerFields.h"
#include "computer/ComputerLevel.h"
#include "rules/Rules.h"
#include "rules/RunnerMoves.h"

#include <gtest/gtest.h>

namespace orv_gd
{
// A Runner that stands still, its first three turns ended at once, against the hard Builder that
// sees the whole level and whose blocks never fade: at the start of each of those turns the
// Runner still has a way out of its start pocket. From the fourth turn on the Builder may seal.
TEST(FairStartTest, TheHardBuilderNeverSealsTheRunnerInItsStartPocketBeforeItsFourthTurn)
{
    const BuilderPlanner planner(ComputerLevel::of(Difficulty::Hard).builder);
    RunnerPlanner::Options keep;
    keep.builderTurnMs = 0;
    const RunnerPlanner reach(keep);
    const auto shutIn = [&](const rules::Match& match)
    {
        return rules::RunnerMoves::isTrapped(match.field, match.runner.cell) ||
               reach.turnsToFinish(match.field, match.runner.cell, match.runner.jumpForce, 0,
                                   RunnerPlanner::Horizon) > RunnerPlanner::Horizon;
    };
    int sealedInTheFourth = 0;
    for (std::uint32_t seed = 1; seed <= 20; ++seed)
    {
        rules::Match match = rules::Rules::start(rules::Rng(seed));
        const CellRange whole{{0, 0}, {match.field.getWidth() - 1, match.field.getHeight() - 1}};
        for (int turn = 1; turn <= 4 && !match.over; ++turn)
        {
            while (match.turn == rules::Role::Builder && !match.over)
            {
                bool found = false;
                const BuilderPlanner::Drop drop = planner.chooseDrop(match, whole, found);
                if (!found || !test::keyDrop(match, drop.quarterTurns, drop.cursor))
                {
                    rules::Rules::advance(match, match.config.turnLimitMs);
                }
            }
            if (turn < 4)
            {
                EXPECT_FALSE(shutIn(match)) << "seed " << seed << ", Runner turn " << turn;
            }
            else
            {
                sealedInTheFourth += shutIn(match) ? 1 : 0;
            }
            rules::Rules::apply(match, rules::Action::endTurn());
        }
    }
    EXPECT_GT(sealedInTheFourth, 10) << "the grace is over";
}
} // namespace orv_gd
