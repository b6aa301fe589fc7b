#include "resources/TraceRecorder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace orv_gd
{
namespace
{
const std::string Header = "{\"otherData\": {},\"traceEvents\":[";
const std::string Footer = "]}";

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

TraceEvent makeEvent(const std::string& name, std::int64_t start, std::int64_t end, std::uint32_t threadId)
{
    TraceEvent event;
    event.name = name;
    event.start = start;
    event.end = end;
    event.threadId = threadId;
    return event;
}

std::string eventText(const std::string& name, long long dur, unsigned tid, long long ts)
{
    return "{\"cat\":\"function\",\"dur\":" + std::to_string(dur) + ",\"name\":\"" + name +
           "\",\"ph\":\"X\",\"pid\":0,\"tid\":" + std::to_string(tid) + ",\"ts\":" + std::to_string(ts) + "}";
}

/// Hands out trace file paths in the temp folder and removes the files afterwards.
class TraceRecorderTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        for (const std::string& path : m_paths)
        {
            std::filesystem::remove(path);
        }
    }

    std::string tracePath(const std::string& name)
    {
        m_paths.push_back((std::filesystem::temp_directory_path() /
                           ("tumbrelt_trace_" + std::to_string(::getpid()) + "_" + name + ".json"))
                              .string());
        return m_paths.back();
    }

private:
    std::vector<std::string> m_paths;
};
} // namespace

TEST_F(TraceRecorderTest, SessionsAreWrittenByteForByte)
{
    TraceRecorder& recorder = TraceRecorder::get();
    const std::string empty = tracePath("empty");
    recorder.beginSession("empty", empty);
    recorder.endSession();
    EXPECT_EQ(readFile(empty), Header + Footer);

    const std::string two = tracePath("two");
    recorder.beginSession("two", two);
    recorder.writeEvent(makeEvent("Frame", 900, 1053, 42));
    recorder.writeEvent(makeEvent("say \"hi\"", -5, 10, 4000000000u));
    recorder.endSession();
    EXPECT_EQ(readFile(two), Header + eventText("Frame", 153, 42, 900) + "," +
                                 eventText("say 'hi'", 15, 4000000000u, -5) + Footer);
    EXPECT_FALSE(recorder.isSessionActive());
    EXPECT_EQ(recorder.getEventCount(), 0);
}

TEST_F(TraceRecorderTest, ANewSessionCompletesTheOldOneAndStartsWithoutAComma)
{
    TraceRecorder& recorder = TraceRecorder::get();
    recorder.writeEvent(makeEvent("lost", 1, 2, 3)); // no session yet: dropped, not counted
    const std::string first = tracePath("first");
    const std::string second = tracePath("second");
    recorder.beginSession("first", first);
    recorder.writeEvent(makeEvent("a", 1, 2, 3));
    recorder.beginSession("second", second);
    recorder.writeEvent(makeEvent("b", 4, 6, 3));
    recorder.endSession();
    EXPECT_EQ(readFile(first), Header + eventText("a", 1, 3, 1) + Footer);
    EXPECT_EQ(readFile(second), Header + eventText("b", 2, 3, 4) + Footer);
}

TEST_F(TraceRecorderTest, EventsBeyondTheCapAreDroppedAndTheFileStaysValid)
{
    EXPECT_GE(TraceRecorder::MaxEventsPerSession, 100000);
    EXPECT_LE(TraceRecorder::MaxEventsPerSession * 200LL, 256LL * 1024 * 1024);

    TraceRecorder& recorder = TraceRecorder::get();
    recorder.setMaxEvents(2);
    const std::string path = tracePath("capped");
    recorder.beginSession("capped", path);
    for (int i = 0; i < 5; ++i)
    {
        recorder.writeEvent(makeEvent("e" + std::to_string(i), i, i + 1, 7));
    }
    EXPECT_EQ(recorder.getEventCount(), 2);
    recorder.endSession();
    EXPECT_EQ(readFile(path), Header + eventText("e0", 1, 7, 0) + "," + eventText("e1", 1, 7, 1) + Footer);
}

TEST_F(TraceRecorderTest, TimersWriteOneEventAtTheirEndAndNestInsideOut)
{
    TraceRecorder& recorder = TraceRecorder::get();
    const std::string path = tracePath("timers");
    recorder.beginSession("timers", path);
    {
        TRACE_SCOPE("outer");
        {
            ScopeTimer inner("inner");
            inner.stop();
            EXPECT_EQ(recorder.getEventCount(), 1);
        } // a stopped timer writes nothing more when destroyed
        EXPECT_EQ(recorder.getEventCount(), 1);
    }
    EXPECT_EQ(recorder.getEventCount(), 2);
    recorder.endSession();

    const std::string text = readFile(path);
    const auto innerAt = text.find("\"name\":\"inner\"");
    const auto outerAt = text.find("\"name\":\"outer\"");
    ASSERT_NE(innerAt, std::string::npos);
    ASSERT_NE(outerAt, std::string::npos);
    EXPECT_LT(innerAt, outerAt);
    auto tsAfter = [&text](std::size_t from)
    {
        const auto at = text.find("\"ts\":", from) + 5;
        return std::stoll(text.substr(at));
    };
    EXPECT_LE(tsAfter(outerAt), tsAfter(innerAt));
    EXPECT_EQ(text.find('\n'), std::string::npos);
}

TEST_F(TraceRecorderTest, AnOpenSessionIsCompletedAtProcessExit)
{
    const std::string path = tracePath("atexit");
    EXPECT_EXIT(
        {
            TraceRecorder::get().beginSession("runtime", path);
            TraceRecorder::get().writeEvent(makeEvent("Frame", 10, 20, 1));
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(readFile(path), Header + eventText("Frame", 10, 1, 10) + Footer);
}
} // namespace orv_gd
