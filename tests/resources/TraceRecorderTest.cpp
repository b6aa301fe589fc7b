#include "resources/TraceRecorder.h"

#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

namespace orv_gd
{
namespace
{
std::string event(const std::string& name, long long dur, unsigned tid, long long ts)
{
    return "{\"cat\":\"function\",\"dur\":" + std::to_string(dur) + ",\"name\":\"" + name +
           "\",\"ph\":\"X\",\"pid\":0,\"tid\":" + std::to_string(tid) + ",\"ts\":" + std::to_string(ts) + "}";
}
} // namespace

TEST(TraceRecorderTest, SessionsAreWrittenByteForByteUpToTheCap)
{
    const std::string header = "{\"otherData\": {},\"traceEvents\":[";
    test::TempWorkDir workDir(false);
    TraceRecorder& recorder = TraceRecorder::get();
    recorder.writeEvent({"lost", 1, 2, 3}); // no session yet: dropped, no stray comma later
    recorder.beginSession("empty", "empty.json");
    recorder.endSession();
    recorder.beginSession("first", "first.json");
    recorder.writeEvent({"Frame", 900, 1053, 42});
    recorder.writeEvent({"say \"hi\"", -5, 10, 4000000000u});
    recorder.beginSession("capped", "capped.json"); // completes the first session
    recorder.setMaxEvents(2);
    for (int i = 0; i < 4; ++i)
    {
        recorder.writeEvent({"e" + std::to_string(i), i, i + 1, 7});
    }
    recorder.endSession();
    recorder.setMaxEvents(TraceRecorder::MaxEventsPerSession);
    EXPECT_EQ(workDir.read("empty.json"), header + "]}");
    EXPECT_EQ(workDir.read("first.json"),
              header + event("Frame", 153, 42, 900) + "," + event("say 'hi'", 15, 4000000000u, -5) + "]}");
    EXPECT_EQ(workDir.read("capped.json"), header + event("e0", 1, 7, 0) + "," + event("e1", 1, 7, 1) + "]}");
}

TEST(TraceRecorderTest, AFullFileSaysOnceThatItsLaterEventsAreDropped)
{
    test::TempWorkDir workDir(false);
    TraceRecorder& recorder = TraceRecorder::get();
    recorder.setMaxEvents(2);
    ::testing::internal::CaptureStdout();
    for (const char* file : {"full.json", "next.json"})
    {
        recorder.beginSession("full", file);
        for (int i = 0; i < 4; ++i)
        {
            recorder.writeEvent({"e", 0, 1, 1});
        }
    }
    recorder.endSession();
    recorder.setMaxEvents(TraceRecorder::MaxEventsPerSession);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "trace file full.json is full (2 events): later events of that file are dropped\n"
              "trace file next.json is full (2 events): later events of that file are dropped\n");
}
} // namespace orv_gd
