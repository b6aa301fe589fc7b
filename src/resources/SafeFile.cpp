#include "resources/SafeFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace orv_gd
{
SafeFile::Outcome SafeFile::write(const std::string& path, const std::string& text, std::string& why)
{
    const std::filesystem::path target(path);
    const std::filesystem::path folder = target.parent_path();
    std::error_code error;
    if (!folder.empty())
    {
        std::filesystem::create_directories(folder, error);
        if (error)
        {
            why = error.message();
            return Outcome::NoFolder;
        }
    }
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
    {
        why = std::strerror(errno);
        return Outcome::NotWritten;
    }
    bool written = true;
    for (std::size_t done = 0; written && done < text.size();)
    {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        written = n > 0 || (n < 0 && errno == EINTR);
        done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    int failure = written ? 0 : errno;
    if (written && ::fsync(fd) != 0)
    {
        written = false;
        failure = errno;
    }
    ::fchmod(fd, 0644);
    if (::close(fd) != 0 && written)
    {
        written = false;
        failure = errno;
    }
    if (written && std::rename(temporary.c_str(), path.c_str()) != 0)
    {
        written = false;
        failure = errno;
    }
    if (!written)
    {
        ::unlink(temporary.c_str());
        why = std::strerror(failure);
        return Outcome::NotWritten;
    }
    // The new name lives in the folder: until the folder reaches the disk too, a power cut may undo
    // the rename. The file is in place by now, so a folder the system will not flush (some file
    // systems refuse) does not make the save a failure.
    const int folderFd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (folderFd >= 0)
    {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return Outcome::Written;
}

void SafeFile::removeStale(const std::string& folder, const std::string& nameEnd)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_time_type now = fs::file_time_type::clock::now();
    for (fs::directory_iterator it(folder.empty() ? "." : folder, error), end; !error && it != end;
         it.increment(error))
    {
        // ".NAME.XXXXXX", NAME ending with nameEnd, XXXXXX what mkstemp made of it.
        const std::string name = it->path().filename().string();
        const std::size_t base = name.size() > 8 ? name.size() - 8 : 0;
        const bool pattern = base >= nameEnd.size() && name[0] == '.' && name[base + 1] == '.' &&
                             name.compare(base + 1 - nameEnd.size(), nameEnd.size(), nameEnd) == 0 &&
                             std::all_of(name.end() - 6, name.end(),
                                         [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
        std::error_code failed;
        const bool regular = pattern && fs::is_regular_file(it->symlink_status(failed)) && !failed;
        const fs::file_time_type written = regular ? fs::last_write_time(it->path(), failed) : now;
        if (regular && !failed && now - written > std::chrono::seconds(StaleSeconds))
        {
            fs::remove(it->path(), failed);
        }
    }
}
} // namespace orv_gd
