#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>

namespace orv_gd::test
{
/// Debian's MQTT broker on a free port of 127.0.0.1, its config and log in a temporary folder that
/// goes with it. `extra`: more config lines (TLS, passwords).
class MosquittoBroker
{
public:
    explicit MosquittoBroker(const std::string& extra = "allow_anonymous true\n");
    ~MosquittoBroker();
    MosquittoBroker(const MosquittoBroker&) = delete;
    MosquittoBroker& operator=(const MosquittoBroker&) = delete;

    /// Starts it (again, on the same port); true once it takes connections, within 5 s.
    bool start();
    /// SIGKILL when `kill`, else SIGTERM; waits for it to end.
    void stop(bool kill = false);

    unsigned short port() const { return m_port; }
    /// "127.0.0.1:PORT"
    std::string address() const { return "127.0.0.1:" + std::to_string(m_port); }
    const std::filesystem::path& folder() const { return m_folder; }

private:
    std::filesystem::path m_folder;
    unsigned short m_port = 0;
    pid_t m_pid = -1;
};
} // namespace orv_gd::test
