#include "support/PlainWorkDir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace orv_gd::test
{
PlainWorkDir::PlainWorkDir() : m_previous(std::filesystem::current_path())
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tumbrelt_plain_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
    {
        throw std::runtime_error("PlainWorkDir: cannot create " + pattern);
    }
    m_path = std::filesystem::canonical(pattern);
    std::filesystem::current_path(m_path);
}

PlainWorkDir::~PlainWorkDir()
{
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

void PlainWorkDir::write(const std::string& fileName, const std::string& bytes) const
{
    const std::filesystem::path target = m_path / fileName;
    std::filesystem::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary);
    out << bytes;
}

void PlainWorkDir::copyAsset(const std::string& fileName, const std::string& folder,
                             std::size_t maxBytes) const
{
    std::ifstream in(std::filesystem::path(TUMBRELT_SOURCE_DIR) / "assets" / fileName, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty())
    {
        throw std::runtime_error("PlainWorkDir: cannot read asset " + fileName);
    }
    if (maxBytes > 0 && bytes.size() > maxBytes)
    {
        bytes.resize(maxBytes);
    }
    write(folder + "/" + fileName, bytes);
}
} // namespace orv_gd::test
