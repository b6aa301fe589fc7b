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
///
/// The frame loop is uncapped and writes several events per frame, so a session keeps at most
/// MaxEventsPerSession events (about 100 bytes each, so "runtime.json" stays near 100 MB at most);
/// later events of that session are dropped, with one line on standard output that says so, and
/// the file still closes as valid JSON.
/// Events written while no session is open are dropped as well.
class TraceRecorder
{
public:
    static constexpr int MaxEventsPerSession = 1'000'000;

    static TraceRecorder& get();

    void beginSession(const std::string& name, const std::string& filePath);
    void endSession();
    void writeEvent(const TraceEvent& event);

    bool isSessionActive() const { return m_activeSession; }
    /// Off, no session opens and no file is written (the installed game, unless asked to trace).
    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isEnabled() const { return m_enabled; }
    /// Events written in the current session.
    int getEventCount() const { return m_profileCount; }
    /// Lowers (or restores) the per-session cap; tests use it to reach the cap quickly.
    void setMaxEvents(int maxEvents) { m_maxEvents = maxEvents; }

    ~TraceRecorder();

private:
    TraceRecorder() = default;

    std::ofstream m_outputStream;
    int m_profileCount = 0;
    std::mutex m_lock;
    bool m_activeSession = false;
    bool m_enabled = true;
    int m_maxEvents = MaxEventsPerSession;
    std::string m_filePath;
    /// The session's first dropped event has been reported.
    bool m_dropReported = false;
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
