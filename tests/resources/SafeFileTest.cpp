#include "resources/SafeFile.h"

#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
/// The system calls a save makes, as this binary sees them while `watching`: each is named in
/// order, and one may be made to fail once with an error number, or a write to put down one byte.
struct Syscalls
{
    bool watching = false;
    std::vector<std::string> seen;
    std::map<std::string, int> failOnce;
    int oneByteWrites = 0;

    /// "fsync temporary" or "fsync folder": a save's own files only, never the test's output.
    bool note(const std::string& call, int fd)
    {
        struct stat about
        {
        };
        if (!watching || fd <= 2 || ::fstat(fd, &about) != 0)
        {
            return false;
        }
        seen.push_back(call + (S_ISDIR(about.st_mode) ? " folder" : " temporary"));
        return true;
    }
    bool fails(const std::string& call)
    {
        const auto it = failOnce.find(call);
        if (!watching || it == failOnce.end())
        {
            return false;
        }
        errno = it->second;
        failOnce.erase(it);
        return true;
    }
};
Syscalls calls;

template <typename Function>
Function real(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}
} // namespace

extern "C" ssize_t write(int fd, const void* data, size_t size)
{
    static const auto next = real<ssize_t (*)(int, const void*, size_t)>("write");
    if (calls.note("write", fd) && calls.fails("write"))
    {
        return -1;
    }
    const bool oneByte = calls.watching && fd > 2 && calls.oneByteWrites > 0 && size > 1;
    calls.oneByteWrites -= oneByte ? 1 : 0;
    return next(fd, data, oneByte ? 1 : size);
}

extern "C" int fsync(int fd)
{
    static const auto next = real<int (*)(int)>("fsync");
    return calls.note("fsync", fd) && calls.fails("fsync") ? -1 : next(fd);
}

extern "C" int rename(const char* from, const char* to)
{
    static const auto next = real<int (*)(const char*, const char*)>("rename");
    if (calls.watching)
    {
        const std::string name = std::filesystem::path(from).filename().string();
        calls.seen.push_back("rename " + std::string(name.rfind(".saved.txt.", 0) == 0 ? "temporary" : name) +
                             " to " + std::filesystem::path(to).filename().string());
    }
    return calls.fails("rename") ? -1 : next(from, to);
}

namespace orv_gd
{
namespace
{
/// Saves `text` as "kept/saved.txt" with the calls watched; the outcome, and `why` on failure.
SafeFile::Outcome save(const std::string& text, std::string& why)
{
    calls.watching = true;
    const SafeFile::Outcome outcome = SafeFile::write("kept/saved.txt", text, why);
    calls.watching = false;
    return outcome;
}
} // namespace

// The text reaches the disk before the name points at it, and the rename reaches it after: a power
// cut then leaves the old file or the new one, never an empty one. Writes cut short or interrupted
// are carried on to the last byte.
TEST(SafeFileTest, TheTextIsFlushedBeforeTheRenameAndTheFolderAfterIt)
{
    orv_gd::test::TempWorkDir work(false);
    calls = {};
    calls.failOnce["write"] = EINTR;
    calls.oneByteWrites = 2;
    std::string why;
    ASSERT_EQ(save("twelve bytes", why), SafeFile::Outcome::Written) << why;
    EXPECT_EQ(calls.seen, (std::vector<std::string>{"write temporary", "write temporary", "write temporary",
                                                    "write temporary", "fsync temporary",
                                                    "rename temporary to saved.txt", "fsync folder"}));
    EXPECT_EQ(work.read("kept/saved.txt"), "twelve bytes");
    EXPECT_EQ(std::filesystem::status("kept/saved.txt").permissions(),
              std::filesystem::perms(0644)); // readable by others, as a plain file is
}

// A write, flush or rename the system refuses keeps the old file whole, leaves no temporary behind
// and says why in the system's words.
TEST(SafeFileTest, AFailedWriteFlushOrRenameKeepsTheOldFileAndLeavesNoTemporary)
{
    orv_gd::test::TempWorkDir work(false);
    for (const auto& [call, error] :
         {std::pair{"write", EIO}, std::pair{"fsync", EIO}, std::pair{"rename", EXDEV}})
    {
        std::filesystem::create_directories("kept");
        std::ofstream("kept/saved.txt") << "the old text";
        calls = {};
        calls.failOnce[call] = error;
        std::string why;
        EXPECT_EQ(save("the new text", why), SafeFile::Outcome::NotWritten) << call;
        EXPECT_EQ(why, std::strerror(error)) << call;
        EXPECT_EQ(work.read("kept/saved.txt"), "the old text") << call;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator("kept"), {}), 1) << call;
        EXPECT_EQ(calls.seen.back(),
                  call +
                      std::string(call == std::string("rename") ? " temporary to saved.txt" : " temporary"))
            << "nothing goes on after the failure";
    }
}
} // namespace orv_gd
