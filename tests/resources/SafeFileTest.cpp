#include "resources/SafeFile.h"

#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
/// The system calls of a save, seen by this binary while `watching`: named in order ("fsync folder"
/// for a folder's), one of them made to fail once with `failWith`, writes cut to one byte `short`.
struct Syscalls
{
    bool watching = false;
    std::vector<std::string> seen;
    std::string fail;
    int failWith = 0;
    int shortWrites = 0;

    /// False for the test's own output and when not watching; true when the call is to fail.
    bool fails(const std::string& call, int fd = -1)
    {
        struct stat about = {};
        if (!watching || (fd >= 0 && (fd <= 2 || ::fstat(fd, &about) != 0)))
        {
            return false;
        }
        seen.push_back(call + (S_ISDIR(about.st_mode) ? " folder" : ""));
        errno = call == fail ? failWith : 0;
        fail = call == fail ? "" : fail;
        return errno != 0;
    }
};
Syscalls calls;

template <typename Function>
Function next(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}
} // namespace

extern "C" ssize_t write(int fd, const void* data, size_t size)
{
    static const auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
    const bool watched = calls.watching && fd > 2;
    if (calls.fails("write", fd))
    {
        return -1;
    }
    const bool cut = watched && calls.shortWrites-- > 0;
    return real(fd, data, cut ? 1 : size);
}

extern "C" int fsync(int fd)
{
    static const auto real = next<int (*)(int)>("fsync");
    return calls.fails("fsync", fd) ? -1 : real(fd);
}

extern "C" int rename(const char* from, const char* to)
{
    static const auto real = next<int (*)(const char*, const char*)>("rename");
    return calls.fails("rename") ? -1 : real(from, to);
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

// The text reaches the disk before the name points at it, and the new name after: a power cut leaves
// the old file or the new one, never an empty one. Interrupted and short writes carry on.
TEST(SafeFileTest, TheTextIsFlushedBeforeTheRenameAndTheFolderAfterIt)
{
    orv_gd::test::TempWorkDir work(false);
    calls = {};
    calls.fail = "write";
    calls.failWith = EINTR;
    calls.shortWrites = 2;
    std::string why;
    ASSERT_EQ(save("twelve bytes", why), SafeFile::Outcome::Written) << why;
    EXPECT_EQ(calls.seen, (std::vector<std::string>{"write", "write", "write", "write", "fsync", "rename",
                                                    "fsync folder"}));
    EXPECT_EQ(work.read("kept/saved.txt"), "twelve bytes");
    EXPECT_EQ(std::filesystem::status("kept/saved.txt").permissions(), std::filesystem::perms(0644));
}

// A write, flush or rename the system refuses keeps the old file whole, leaves no temporary behind
// and says why in the system's words; nothing goes on after it.
TEST(SafeFileTest, AFailedWriteFlushOrRenameKeepsTheOldFileAndLeavesNoTemporary)
{
    orv_gd::test::TempWorkDir work(false);
    for (const auto& [call, error] :
         {std::pair{"write", EIO}, std::pair{"fsync", EIO}, std::pair{"rename", EXDEV}})
    {
        std::filesystem::create_directories("kept");
        std::ofstream("kept/saved.txt") << "the old text";
        calls = {};
        calls.fail = call;
        calls.failWith = error;
        std::string why;
        EXPECT_EQ(save("the new text", why), SafeFile::Outcome::NotWritten) << call;
        EXPECT_EQ(why, std::strerror(error)) << call;
        EXPECT_EQ(work.read("kept/saved.txt"), "the old text") << call;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator("kept"), {}), 1) << call;
        EXPECT_EQ(calls.seen.back(), call);
    }
}
} // namespace orv_gd
