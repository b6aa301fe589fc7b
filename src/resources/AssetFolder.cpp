#include "resources/AssetFolder.h"

#include <filesystem>
#include <system_error>

namespace orv_gd
{
namespace
{
bool exists(const std::string& path)
{
    std::error_code error; // a folder that cannot be read counts as absent, never as a crash
    return std::filesystem::exists(path, error);
}
} // namespace

std::vector<std::string> AssetFolder::places(const std::string& workingFolder,
                                             const std::string& executableFolder)
{
    std::vector<std::string> places = {workingFolder + "/assets", workingFolder + "/../assets"};
    if (!executableFolder.empty())
    {
        places.push_back(executableFolder + "/../share/games/tumbrelt/assets");
    }
    return places;
}

std::string AssetFolder::find(const std::string& workingFolder, const std::string& executableFolder)
{
    const std::vector<std::string> candidates = places(workingFolder, executableFolder);
    for (const std::string& place : candidates)
    {
        if (exists(place))
        {
            return place;
        }
    }
    return candidates[1];
}

std::string AssetFolder::describeFailure(const std::string& what, const std::string& fileName,
                                         const std::string& reason, const std::string& workingFolder,
                                         const std::string& executableFolder)
{
    const std::vector<std::string> candidates = places(workingFolder, executableFolder);
    const std::string folder = find(workingFolder, executableFolder);
    std::string line = what;
    if (exists(folder))
    {
        line += " (asset folder: " + folder + "/)";
    }
    else
    {
        line += " (no asset folder at ";
        for (std::size_t i = 0; i < candidates.size(); ++i)
        {
            line += (i == 0 ? "" : i + 1 < candidates.size() ? ", " : " or ") + candidates[i];
        }
        line += ")";
    }
    if (!reason.empty())
    {
        line += ": " + reason;
    }
    if (!exists(folder + "/" + fileName))
    {
        line += "; in a checkout, run tools/setup.sh";
    }
    return line;
}

std::string AssetFolder::workingFolder()
{
    std::error_code error; // a working folder that vanished must not end the game here
    return std::filesystem::current_path(error).string();
}

std::string AssetFolder::executableFolder()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}
} // namespace orv_gd
