#include "AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <string>

#include "LumarkError.h"
#include "RingDocument.h"
#include "TestFiles.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

mode_t PermissionsOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const LumarkError& e) {
        return e.what();
    }
    return "no error";
}

class AtomicFile : public ::testing::Test {
  protected:
    test::TempDir dir_;
    const std::string path_ = dir_.File("visibility.txt");
    const std::string old_ = "old contents\r\n";
};

TEST_F(AtomicFile, ReplacesContentsAndKeepsPermissions) {
    for (const mode_t mode : {mode_t{0600}, mode_t{0640}, mode_t{0755}}) {
        test::WriteBytes(path_, old_);
        ASSERT_EQ(::chmod(path_.c_str(), mode), 0);
        WriteFileAtomically(path_, "new\r\n");
        EXPECT_EQ(test::ReadBytes(path_), "new\r\n");
        EXPECT_EQ(PermissionsOf(path_), mode);
    }
    EXPECT_EQ(dir_.Entries().size(), 1u) << "no temporary file is left";
}

// The folder may be writable while the file is not: the file must not be replaced. Root may
// write anything, so the check runs as an ordinary user in a child process.
TEST_F(AtomicFile, RefusesAFileTheUserMayNotWrite) {
    test::WriteBytes(path_, old_);
    ASSERT_EQ(::chmod(path_.c_str(), 0444), 0);
    const std::string folder = path_.substr(0, path_.rfind('/'));
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        if (::geteuid() == 0 && ::setuid(65534) != 0) {
            ::_exit(3);
        }
        const std::string message = MessageOf([&] { WriteFileAtomically(path_, "new\r\n"); });
        ::_exit(message.find("Permission denied") != std::string::npos ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(test::ReadBytes(path_), old_);
}

TEST_F(AtomicFile, NewFileGetsTheUsualPermissions) {
    const mode_t previous = ::umask(027);
    WriteFileAtomically(path_, "");
    ::umask(previous);
    EXPECT_EQ(test::ReadBytes(path_), "");
    EXPECT_EQ(PermissionsOf(path_), mode_t{0640});
}

TEST_F(AtomicFile, WritesThroughASymbolicLink) {
    const std::string link = dir_.File("link.txt");
    test::WriteBytes(path_, old_);
    ASSERT_EQ(::symlink(path_.c_str(), link.c_str()), 0);
    WriteFileAtomically(link, "new");
    struct stat info {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(test::ReadBytes(path_), "new");
}

TEST_F(AtomicFile, FailuresNameThePathAndTheReason) {
    const std::string missing = dir_.File("no/such/dir/visibility.txt");
    EXPECT_EQ(MessageOf([&] { WriteFileAtomically(missing, "x"); }),
              "cannot write " + missing + ": No such file or directory");
    EXPECT_EQ(MessageOf([] { WriteFileAtomically("", "x"); }),
              "cannot write : No such file or directory");

    const std::string directory = dir_.File("taken");
    ASSERT_EQ(::mkdir(directory.c_str(), 0755), 0);
    EXPECT_EQ(MessageOf([&] { WriteFileAtomically(directory, "x"); }),
              "cannot write " + directory + ": Is a directory");
    EXPECT_EQ(dir_.Entries().size(), 1u) << "the temporary file is removed";
}

TEST_F(AtomicFile, FailurePartWayLeavesTheOldFileIntact) {
    test::WriteBytes(path_, old_);
    const VisibilityDocument doc = MakeRingDocument(300, 150, "1.000000");
    const std::string bytes = FormatVisibilityFile(doc);
    std::size_t written = 0;
    // Takes the bytes in small pieces and runs out of room after the first 100 KB.
    const WriteSystemCall failingWrite = [&](int fd, const void* data,
                                             std::size_t size) -> ssize_t {
        if (written >= 100 * 1024) {
            errno = ENOSPC;
            return -1;
        }
        const ssize_t done = ::write(fd, data, std::min<std::size_t>(size, 4096));
        written += static_cast<std::size_t>(done);
        return done;
    };
    EXPECT_EQ(MessageOf([&] { WriteFileAtomically(path_, bytes, failingWrite); }),
              "cannot write " + path_ + ": No space left on device");
    EXPECT_EQ(test::ReadBytes(path_), old_);
    EXPECT_EQ(dir_.Entries().size(), 1u) << "the temporary file is removed";
}

TEST_F(AtomicFile, ShortWritesStillWriteEverything) {
    const std::string bytes = FormatVisibilityFile(MakeRingDocument(40, 3, "1.2"));
    const WriteSystemCall trickle = [](int fd, const void* data, std::size_t size) {
        return ::write(fd, data, std::min<std::size_t>(size, 7));
    };
    WriteFileAtomically(path_, bytes, trickle);
    EXPECT_EQ(test::ReadBytes(path_), bytes);
}

}  // namespace
}  // namespace lumark
