#include "support/TempWorkDir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace orv_gd::test
{
TempWorkDir::TempWorkDir() : m_previous(std::filesystem::current_path())
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tumbrelt_test_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
    {
        throw std::runtime_error("TempWorkDir: cannot create " + pattern);
    }
    m_path = pattern;
    std::filesystem::create_directory_symlink(std::filesystem::path(TUMBRELT_SOURCE_DIR) / "assets",
                                              m_path / "assets");
    std::filesystem::current_path(m_path);
}

TempWorkDir::~TempWorkDir()
{
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
    // remove_all removes the symlink, not the repository's assets behind it.
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempWorkDir::read(const std::string& fileName) const
{
    std::ifstream in(m_path / fileName);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}
} // namespace orv_gd::test
