#include "replay/ReplayFolder.h"

#include "resources/SafeFile.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifndef TUMBRELT_VERSION
#define TUMBRELT_VERSION "unknown"
#endif

namespace orv_gd
{
namespace
{
namespace fs = std::filesystem;

std::string localTime(std::time_t when, const char* format)
{
    std::tm parts{};
    localtime_r(&when, &parts);
    char text[64] = {};
    std::strftime(text, sizeof text, format, &parts);
    return text;
}

/// "2026-12-07_14-03-22_": the start of every name this game gives a replay.
bool isReplayName(const std::string& name)
{
    static const char pattern[] = "dddd-dd-dd_dd-dd-dd_";
    const std::string extension = ReplayFolder::Extension;
    if (name.size() < sizeof pattern - 1 + extension.size() ||
        name.compare(name.size() - extension.size(), extension.size(), extension) != 0)
    {
        return false;
    }
    for (std::size_t i = 0; i + 1 < sizeof pattern; ++i)
    {
        const bool digit = name[i] >= '0' && name[i] <= '9';
        if (pattern[i] == 'd' ? !digit : name[i] != pattern[i])
        {
            return false;
        }
    }
    return true;
}
} // namespace

const char* ReplayFolder::modeName(MatchMode mode)
{
    switch (mode)
    {
    case MatchMode::ComputerBuilder:
        return "computer-builder";
    case MatchMode::ComputerRunner:
        return "computer-runner";
    case MatchMode::ComputerBoth:
        return "computer-both";
    case MatchMode::NetworkHost:
        return "network-host";
    case MatchMode::NetworkJoin:
        return "network-join";
    case MatchMode::TwoPlayers:
        break;
    }
    return "two-players";
}

std::string ReplayFolder::fileName(std::time_t when, MatchMode mode, rules::ReplayFile::Result result)
{
    return localTime(when, "%Y-%m-%d_%H-%M-%S_") + modeName(mode) + "_" +
           rules::ReplayFile::resultName(result) + Extension;
}

bool ReplayFolder::save(const rules::MatchLog& log, const rules::Match& end, MatchMode mode, std::time_t when,
                        std::string& error, std::string* path) const
{
    const rules::ReplayFile::Info info{TUMBRELT_VERSION, modeName(mode),
                                       localTime(when, "%Y-%m-%dT%H:%M:%S%z")};
    std::string name = fileName(when, mode, rules::ReplayFile::resultOf(end));
    // Two matches within one second (the second left at once) get "_2", "_3" ... before the extension.
    const std::string stem = name.substr(0, name.size() - std::strlen(Extension));
    std::error_code code;
    for (int copy = 2; copy < 100 && fs::exists(fs::path(m_folder) / name, code); ++copy)
    {
        name = stem + "_" + std::to_string(copy) + Extension;
    }
    if (!write(name, rules::ReplayFile::write(log, end, info), error))
    {
        return false;
    }
    if (path)
    {
        *path = (fs::path(m_folder) / name).string();
    }
    prune();
    return true;
}

bool ReplayFolder::write(const std::string& name, const std::string& text, std::string& error) const
{
    std::string why;
    switch (SafeFile::write((fs::path(m_folder) / name).string(), text, why))
    {
    case SafeFile::Outcome::Written:
        return true;
    case SafeFile::Outcome::NoFolder:
        error = "could not keep the replay: cannot make the folder " + m_folder + ": " + why;
        return false;
    case SafeFile::Outcome::NotWritten:
        break;
    }
    error = "could not keep the replay in " + m_folder + ": " + why;
    return false;
}

std::vector<std::string> ReplayFolder::list() const
{
    std::vector<std::string> names;
    std::error_code code;
    fs::directory_iterator it(m_folder, code);
    // Bounded: a folder stuffed with other files is not read without end.
    for (std::size_t seen = 0; !code && it != fs::directory_iterator() && seen < 100000;
         it.increment(code), ++seen)
    {
        const std::string name = it->path().filename().string();
        if (isReplayName(name) && it->is_regular_file(code))
        {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReplayFolder::newest() const
{
    const std::vector<std::string> names = list();
    return names.empty() ? std::string() : (fs::path(m_folder) / names.back()).string();
}

void ReplayFolder::prune(std::size_t keep) const
{
    const std::vector<std::string> names = list();
    for (std::size_t i = 0; i + keep < names.size(); ++i)
    {
        std::error_code code;
        fs::remove(fs::path(m_folder) / names[i], code);
    }
}
} // namespace orv_gd
