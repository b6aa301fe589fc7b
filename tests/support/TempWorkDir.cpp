#include "support/TempWorkDir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace orv_gd::test
{
TempWorkDir::TempWorkDir(bool linkAssets)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tumbrelt_test_XXXXXX").string();
    m_path = std::filesystem::canonical(::mkdtemp(pattern.data()));
    if (linkAssets)
    {
        std::filesystem::create_directory_symlink(TUMBRELT_SOURCE_DIR "/assets", m_path / "assets");
    }
    std::filesystem::current_path(m_path);
}

TempWorkDir::~TempWorkDir()
{
    std::filesystem::current_path(m_previous);
    std::filesystem::remove_all(m_path); // the symlink goes, not the assets behind it
}

std::string readFile(const std::filesystem::path& file)
{
    std::stringstream content;
    content << std::ifstream(file, std::ios::binary).rdbuf();
    return content.str();
}

std::string TempWorkDir::read(const std::filesystem::path& file) const
{
    return readFile(m_path / file);
}
} // namespace orv_gd::test
