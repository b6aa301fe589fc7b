#pragma once

#include <chrono>
#include <cstdint>
#include <fstream>
#include <mutex>
#include <string>

namespace orv_gd
{
/// One complete event of the trace file.
struct TraceEvent
{
    std::string name;
    std::int64_t start = 0;
    std::int64_t end = 0;
    std::uint32_t threadId = 0;
};

/// Writes the timed scopes of one session as a Chrome trace event file.
class TraceRecorder
{
public:
    static TraceRecorder& get();

    void beginSession(const std::string& name, const std::string& filePath);
    void endSession();
    void writeEvent(const TraceEvent& event);

    ~TraceRecorder();

private:
    TraceRecorder() = default;

    std::ofstream m_outputStream;
    int m_profileCount = 0;
    std::mutex m_lock;
    bool m_activeSession = false;
};

/// Measures the enclosing block and hands one event to the recorder when it ends.
class ScopeTimer
{
public:
    explicit ScopeTimer(const char* name);
    explicit ScopeTimer(const std::string& name);
    ~ScopeTimer();

    ScopeTimer(const ScopeTimer&) = delete;
    ScopeTimer& operator=(const ScopeTimer&) = delete;

    void stop();

private:
    TraceEvent m_result;
    std::chrono::time_point<std::chrono::steady_clock> m_startTimepoint;
    bool m_stopped = false;
};
} // namespace orv_gd

#define ORV_TRACE_CONCAT_INNER(a, b) a##b
#define ORV_TRACE_CONCAT(a, b) ORV_TRACE_CONCAT_INNER(a, b)
/// Times the enclosing block under the given name.
#define TRACE_SCOPE(name) ::orv_gd::ScopeTimer ORV_TRACE_CONCAT(scopeTimer, __LINE__)(name)
