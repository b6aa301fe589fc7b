#include "core/Installation.h"

#include <filesystem>
#include <system_error>

namespace orv_gd
{
namespace
{
bool isAbsolute(const char* path)
{
    return path != nullptr && path[0] == '/';
}
} // namespace

bool Installation::isInstalled(const std::string& executableFolder)
{
    const std::filesystem::path folder(executableFolder);
    std::error_code error;
    return folder.filename() == "games" &&
           std::filesystem::is_directory(folder / ".." / "share" / "games" / "tumbrelt", error);
}

std::string Installation::stateFolder(const char* xdgStateHome, const char* home)
{
    if (isAbsolute(xdgStateHome))
    {
        return std::string(xdgStateHome) + "/tumbrelt";
    }
    if (isAbsolute(home))
    {
        return std::string(home) + "/.local/state/tumbrelt";
    }
    return {};
}

std::string Installation::enter(const std::string& folder)
{
    if (folder.empty())
    {
        return "no state folder: neither XDG_STATE_HOME nor HOME names an absolute folder";
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error)
    {
        std::filesystem::current_path(folder, error);
    }
    return error ? "cannot use the state folder " + folder + ": " + error.message() : std::string();
}

bool Installation::writesTrace(bool installed, bool traceOption, const char* traceVariable)
{
    return !installed || traceOption || (traceVariable && std::string(traceVariable) == "1");
}
} // namespace orv_gd
