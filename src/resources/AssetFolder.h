#pragma once

#include <string>
#include <vector>

namespace orv_gd
{
/// Where the asset folder is: "assets" in the working folder, then one level above it (the game
/// started from the checkout's build folder), then the installed data folder beside the executable
/// ("<executable folder>/../share/games/tumbrelt/assets"). Folder texts are joined with forward
/// slashes exactly as the system gives them, so messages show the places as they were looked at.
class AssetFolder
{
public:
    /// The places looked at, in order.
    static std::vector<std::string> places(const std::string& workingFolder,
                                           const std::string& executableFolder);
    /// The first place that exists; when none does, the one above the working folder, which
    /// then fails to load with a message naming every place.
    static std::string find(const std::string& workingFolder, const std::string& executableFolder);
    /// The one line for a failed load: the loader's text, where it looked and why it failed, and
    /// for a file that is not there, what puts the assets of a checkout in place.
    static std::string describeFailure(const std::string& what, const std::string& fileName,
                                       const std::string& reason, const std::string& workingFolder,
                                       const std::string& executableFolder);

    /// The process's working folder; empty when it vanished.
    static std::string workingFolder();
    /// The folder of the running program (from /proc/self/exe); empty when unknown.
    static std::string executableFolder();
};
} // namespace orv_gd
