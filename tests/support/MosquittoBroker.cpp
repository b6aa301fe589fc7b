#include "support/MosquittoBroker.h"

#include <SFML/Network/TcpListener.hpp>
#include <SFML/Network/TcpSocket.hpp>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace orv_gd::test
{
namespace
{
/// A port of 127.0.0.1 nobody holds now: the system's pick for a listener on port 0.
unsigned short freePort()
{
    sf::TcpListener listener;
    listener.listen(sf::Socket::AnyPort, sf::IpAddress::LocalHost);
    return listener.getLocalPort();
}
} // namespace

MosquittoBroker::MosquittoBroker(const std::string& extra) : m_port(freePort())
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tumbrelt_broker_XXXXXX").string();
    m_folder = ::mkdtemp(pattern.data());
    std::ofstream(m_folder / "mosquitto.conf") << "listener " << m_port << " 127.0.0.1\n"
                                               << "persistence false\nlog_dest none\nset_tcp_nodelay true\n"
                                               << extra;
    // Readable by the user the broker turns into when started as root.
    std::filesystem::permissions(m_folder, std::filesystem::perms(0755));
}

MosquittoBroker::~MosquittoBroker()
{
    stop();
    std::filesystem::remove_all(m_folder);
}

bool MosquittoBroker::start()
{
    m_pid = ::fork();
    if (m_pid == 0)
    {
        // A test killed on its timeout takes its broker with it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        const std::string config = (m_folder / "mosquitto.conf").string();
        ::execl("/usr/sbin/mosquitto", "mosquitto", "-c", config.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    for (int i = 0; i < 250; ++i)
    {
        sf::TcpSocket probe;
        if (probe.connect(sf::IpAddress::LocalHost, m_port, sf::seconds(1)) == sf::Socket::Done)
        {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void MosquittoBroker::stop(bool kill)
{
    if (m_pid > 0)
    {
        ::kill(m_pid, kill ? SIGKILL : SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}
} // namespace orv_gd::test
