#include "screens/ReplayPlayback.h"

#include <gtest/gtest.h>

namespace orv_gd
{
// The banner's words, by precedence: why the log stopped, then where a left match stops, then the pause.
TEST(ReplayPlaybackTest, BannerNamesThePaceThenWhyItStoppedWhereTheMatchWasLeftOrThePause)
{
    EXPECT_EQ(ReplayPlayback::bannerLine(1, false, false, ""), "REPLAY 1\xc3\x97");
    EXPECT_EQ(ReplayPlayback::bannerLine(4, true, false, ""), "REPLAY 4\xc3\x97  paused");
    EXPECT_EQ(ReplayPlayback::bannerLine(2, true, true, ""),
              "REPLAY 2\xc3\x97  the match was left here (Escape)");
    EXPECT_EQ(ReplayPlayback::bannerLine(8, true, true, "an action the rules refused"),
              "REPLAY 8\xc3\x97  stopped: an action the rules refused");
}
} // namespace orv_gd
