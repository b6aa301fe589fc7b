#pragma once

#include <filesystem>
#include <string>

namespace orv_gd::test
{
/// The bytes of a file; "" when it cannot be read.
std::string readFile(const std::filesystem::path& file);

/// A fresh temporary working directory for a test, by default seeing the repository's "assets"
/// through a symlink; the previous one is restored and the folder removed at the end.
class TempWorkDir
{
public:
    explicit TempWorkDir(bool linkAssets = true);
    ~TempWorkDir();
    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string read(const std::filesystem::path& file) const;

private:
    std::filesystem::path m_previous = std::filesystem::current_path();
    std::filesystem::path m_path;
};
} // namespace orv_gd::test
