#include "rules/Rng.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace orv_gd::rules
{
TEST(RngTest, GivesTheCLibrarysNumbersForAnySeedAndResumesFromItsDrawCount)
{
    for (unsigned seed : {1U, 7U, 12345U, 0U})
    {
        std::srand(seed);
        Rng rng(seed);
        for (int i = 0; i < 100000; ++i)
        {
            ASSERT_EQ(rng.next(), std::rand()) << "seed " << seed << ", draw " << i;
        }
        EXPECT_EQ(rng, Rng::resumed(seed, 100000));
        EXPECT_EQ(Rng::resumed(seed, 100000).next(), std::rand());
    }
    std::srand(1);
}
} // namespace orv_gd::rules
