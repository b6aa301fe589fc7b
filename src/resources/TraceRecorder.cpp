#include "resources/TraceRecorder.h"

#include <functional>
#include <iostream>
#include <thread>

namespace orv_gd
{
namespace
{
std::int64_t toMicroseconds(std::chrono::time_point<std::chrono::steady_clock> timePoint)
{
    // Truncating division of the clock's nanoseconds, taken separately for each reading.
    const auto nanoseconds =
        std::chrono::duration_cast<std::chrono::nanoseconds>(timePoint.time_since_epoch()).count();
    return static_cast<std::int64_t>(nanoseconds / 1000);
}

std::uint32_t currentThreadId()
{
    return static_cast<std::uint32_t>(std::hash<std::thread::id>{}(std::this_thread::get_id()));
}
} // namespace

TraceRecorder& TraceRecorder::get()
{
    static TraceRecorder instance;
    return instance;
}

TraceRecorder::~TraceRecorder()
{
    // Completes the session still open at process exit ("runtime" in a normal run).
    endSession();
}

void TraceRecorder::beginSession(const std::string& name, const std::string& filePath)
{
    (void)name; // the session name is not part of the file
    if (m_activeSession)
    {
        endSession();
    }
    if (!m_enabled)
    {
        return;
    }
    m_activeSession = true;
    m_profileCount = 0;
    m_filePath = filePath;
    m_dropReported = false;
    m_outputStream.open(filePath, std::ios::out | std::ios::trunc);
    m_outputStream << "{\"otherData\": {},\"traceEvents\":[";
}

void TraceRecorder::endSession()
{
    if (!m_activeSession)
    {
        return;
    }
    m_activeSession = false;
    m_outputStream << "]}";
    m_outputStream.close();
    // A stream that failed to open stays failed; clear it so the next session can open its file.
    m_outputStream.clear();
    m_profileCount = 0;
}

void TraceRecorder::writeEvent(const TraceEvent& event)
{
    std::lock_guard<std::mutex> guard(m_lock);
    // Without an open session the event has nowhere to go; counting it would put a stray comma
    // before the first event of the next session.
    if (!m_activeSession)
    {
        return;
    }
    if (m_profileCount >= m_maxEvents)
    {
        if (!m_dropReported)
        {
            m_dropReported = true;
            std::cout << "trace file " << m_filePath << " is full (" << m_maxEvents
                      << " events): later events of that file are dropped" << std::endl;
        }
        return;
    }
    if (m_profileCount > 0)
    {
        m_outputStream << ',';
    }
    ++m_profileCount;

    std::string name = event.name;
    for (char& c : name)
    {
        if (c == '"')
        {
            c = '\'';
        }
    }

    m_outputStream << "{\"cat\":\"function\",\"dur\":" << (event.end - event.start) << ",\"name\":\"" << name
                   << "\",\"ph\":\"X\",\"pid\":0,\"tid\":" << event.threadId << ",\"ts\":" << event.start
                   << '}';
}

ScopeTimer::ScopeTimer(const char* name) : ScopeTimer(std::string(name)) {}

ScopeTimer::ScopeTimer(const std::string& name)
{
    m_result.name = name;
    m_stopped = false;
    m_startTimepoint = std::chrono::steady_clock::now();
}

ScopeTimer::~ScopeTimer()
{
    if (!m_stopped)
    {
        stop();
    }
}

void ScopeTimer::stop()
{
    const auto endTimepoint = std::chrono::steady_clock::now();
    m_result.start = toMicroseconds(m_startTimepoint);
    m_result.end = toMicroseconds(endTimepoint);
    m_result.threadId = currentThreadId();
    TraceRecorder::get().writeEvent(m_result);
    m_stopped = true;
}
} // namespace orv_gd
