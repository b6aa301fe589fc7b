#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace orv_gd
{
/// A failed asset load: what() names the loader and the file; fileName() is the file as the
/// caller named it; reason() is the loader's own explanation ("Unable to open file",
/// "Corrupt PNG", ...), or empty.
class AssetLoadError : public std::runtime_error
{
public:
    AssetLoadError(const std::string& what, std::string fileName, std::string reason)
        : std::runtime_error(what), m_fileName(std::move(fileName)), m_reason(std::move(reason))
    {
    }

    const std::string& fileName() const { return m_fileName; }
    const std::string& reason() const { return m_reason; }

private:
    std::string m_fileName;
    std::string m_reason;
};
} // namespace orv_gd
