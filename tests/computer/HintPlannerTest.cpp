#include "computer/HintPlanner.h"
#include "PlannerFields.h"

#include "rules/Rules.h"

#include <gtest/gtest.h>

namespace orv_gd
{
TEST(HintPlannerTest, OverFortySeedsEveryHintOfEitherRoleIsPlayableAndTheRunnersReachesWhereItSaid)
{
    int runnerHints = 0;
    int builderHints = 0;
    for (std::uint32_t seed = 1; seed <= 40; ++seed)
    {
        SCOPED_TRACE(seed);
        rules::Match match = rules::Rules::start(rules::Rng(seed));
        const CellRange view{{0, 0}, {match.field.getWidth() - 1, match.field.getHeight() - 1}};
        for (int turn = 0; turn < 6 && !match.over && !match.reachedFinish; ++turn)
        {
            const Hint hint = HintPlanner::plan(match, view);
            ASSERT_EQ(hint.role, match.turn);
            ASSERT_EQ(hint.turnNumber, match.turnNumber);
            if (!hint.found) // nothing to advise: the time runs out
            {
                rules::Rules::advance(match, match.config.turnLimitMs);
                continue;
            }
            if (hint.role == rules::Role::Runner)
            {
                ++runnerHints;
                ASSERT_EQ(hint.path.front(), match.runner.cell);
                for (std::size_t i = 0; i < hint.keys.size(); ++i)
                {
                    if (i + 1 == hint.keys.size() && hint.keys[i] == RunnerAction::End)
                    {
                        EXPECT_EQ(match.runner.cell, hint.reach()) << "as far as the hint said";
                    }
                    ASSERT_TRUE(test::act(match, test::actionOf(hint.keys[i]))) << "key " << i;
                }
                continue;
            }
            ++builderHints;
            ASSERT_TRUE(test::act(match, rules::Action::rotate(hint.quarterTurns)));
            std::vector<rules::Cell> cells;
            for (const rules::Cell& offset : match.ghost.shape)
            {
                cells.push_back(hint.cursor + offset);
            }
            EXPECT_EQ(cells, hint.cells) << "the block as turned, where it drops";
            ASSERT_TRUE(test::keyDrop(match, 0, hint.cursor));
        }
    }
    EXPECT_GE(runnerHints, 40);
    EXPECT_GE(builderHints, 80);
}
} // namespace orv_gd
