#pragma once

#include <filesystem>
#include <string>

namespace orv_gd::test
{
/// Runs a test in a fresh, empty temporary working directory (no "assets" in it), for tests of
/// how the game finds, or fails to find, its files. Files can be written into it.
/// Restores the previous working directory and removes the folder when it goes.
class PlainWorkDir
{
public:
    PlainWorkDir();
    ~PlainWorkDir();

    PlainWorkDir(const PlainWorkDir&) = delete;
    PlainWorkDir& operator=(const PlainWorkDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    /// Writes the bytes into the file (relative to the folder), creating its folders.
    void write(const std::string& fileName, const std::string& bytes) const;
    /// Copies a file of the repository's asset folder to the same place under the given folder
    /// of this directory, keeping at most maxBytes of it (all of it when maxBytes is 0).
    void copyAsset(const std::string& fileName, const std::string& folder, std::size_t maxBytes = 0) const;

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};
} // namespace orv_gd::test
