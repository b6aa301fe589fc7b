#pragma once

#include <filesystem>
#include <string>

namespace orv_gd::test
{
/// Runs a test in a fresh temporary working directory that sees the repository's "assets"
/// through a symlink, so the game finds its assets and its trace files land in the temp folder.
/// Restores the previous working directory and removes the folder when it goes.
class TempWorkDir
{
public:
    TempWorkDir();
    ~TempWorkDir();

    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    /// The file's whole content, or an empty string when it cannot be read.
    std::string read(const std::string& fileName) const;

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};
} // namespace orv_gd::test
