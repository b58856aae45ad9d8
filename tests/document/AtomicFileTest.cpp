#include "AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <functional>
#include <string>
#include <vector>

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

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
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

// Runs `action` in a child process as the user nobody (uid 65534); true when it returns.
bool AsNobody(const std::function<void()>& action) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(3);
        }
        try {
            action();
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// Fault caught: Save failed with "Permission denied" on a writable file in a folder that cannot
// be written. It is written in place, the old bytes kept meanwhile in the state folder.
TEST_F(AtomicFile, AWritableFileInAFolderThatIsNotIsWrittenInPlace) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to set up a folder nobody may write; run the tests as root";
    }
    test::WriteBytes(path_, old_);
    ASSERT_EQ(::chown(path_.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(dir_.path().c_str(), 0755), 0);
    test::TempDir state;
    ASSERT_EQ(::chown(state.path().c_str(), 65534, 65534), 0);
    const std::string backups = state.File("Lumark");
    const ino_t inode = StatOf(path_).st_ino;
    EXPECT_TRUE(
        AsNobody([&] { WriteFileAtomically(path_, "new\r\n", SaveSystemCalls::Real(), backups); }));
    EXPECT_EQ(test::ReadBytes(path_), "new\r\n");
    EXPECT_EQ(StatOf(path_).st_ino, inode);
    EXPECT_EQ(dir_.Entries().size(), 1u);
    EXPECT_EQ(PermissionsOf(backups), 0700u);  // private: it briefly holds the user's bytes
}

TEST_F(AtomicFile, KeepsOwnerAndGroup) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root may give a file to another user; run the tests as root";
    }
    test::WriteBytes(path_, old_);
    ASSERT_EQ(::chown(path_.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(path_.c_str(), 0640), 0);
    WriteFileAtomically(path_, "new\r\n");
    const struct stat info = StatOf(path_);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(test::ReadBytes(path_), "new\r\n");
    EXPECT_EQ(dir_.Entries().size(), 1u);
}

// A user who may write another user's file, but not give a new file to that user, writes it
// in place: the owner stays.
TEST_F(AtomicFile, OwnerThatCannotBeGivenIsKeptByWritingInPlace) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to set up a file of another user; run the tests as root";
    }
    test::WriteBytes(path_, old_);
    ASSERT_EQ(::chmod(path_.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir_.path().c_str(), 0777), 0);
    const ino_t inode = StatOf(path_).st_ino;
    EXPECT_TRUE(AsNobody([&] { WriteFileAtomically(path_, "new\r\n"); }));
    const struct stat info = StatOf(path_);
    EXPECT_EQ(info.st_uid, 0u);
    EXPECT_EQ(info.st_gid, 0u);
    EXPECT_EQ(info.st_ino, inode);
    EXPECT_EQ(info.st_mode & 07777, 0666u);
    EXPECT_EQ(test::ReadBytes(path_), "new\r\n");
    EXPECT_EQ(dir_.Entries().size(), 1u) << "the backup is removed";
}

TEST_F(AtomicFile, HardLinksKeepSharingTheContents) {
    const std::string other = dir_.File("other-name.txt");
    test::WriteBytes(path_, std::string(100'000, 'o'));
    ASSERT_EQ(::link(path_.c_str(), other.c_str()), 0);
    const ino_t inode = StatOf(path_).st_ino;
    for (const std::string& bytes : {std::string(150'000, 'n'), std::string("short\r\n")}) {
        WriteFileAtomically(path_, bytes);
        EXPECT_EQ(test::ReadBytes(other), bytes);
        EXPECT_EQ(StatOf(path_).st_ino, inode);
        EXPECT_EQ(StatOf(path_).st_nlink, 2u);
    }
    EXPECT_EQ(dir_.Entries().size(), 2u) << "the backup is removed";
}

TEST_F(AtomicFile, DanglingSymbolicLinkCreatesTheFileItNames) {
    const std::string first = dir_.File("first-link");
    const std::string second = dir_.File("second-link");
    ASSERT_EQ(::symlink("second-link", first.c_str()), 0);
    ASSERT_EQ(::symlink(path_.c_str(), second.c_str()), 0);
    WriteFileAtomically(first, "new");
    EXPECT_TRUE(S_ISLNK(StatOf(first).st_mode));
    EXPECT_TRUE(S_ISLNK(StatOf(second).st_mode));
    EXPECT_TRUE(S_ISREG(StatOf(path_).st_mode));
    EXPECT_EQ(test::ReadBytes(path_), "new");
}

TEST_F(AtomicFile, SymbolicLinkLoopIsAnErrorAndWritesNothing) {
    const std::string a = dir_.File("a");
    const std::string b = dir_.File("b");
    const std::string self = dir_.File("self");
    ASSERT_EQ(::symlink("b", a.c_str()), 0);
    ASSERT_EQ(::symlink(a.c_str(), b.c_str()), 0);
    ASSERT_EQ(::symlink("self", self.c_str()), 0);
    for (const std::string& link : {a, self}) {
        EXPECT_EQ(MessageOf([&] { WriteFileAtomically(link, "x"); }),
                  "cannot write " + link + ": Too many levels of symbolic links");
    }
    for (const std::string& link : {a, b, self}) {
        EXPECT_TRUE(S_ISLNK(StatOf(link).st_mode)) << link;
    }
    EXPECT_EQ(dir_.Entries().size(), 3u);
}

// The system calls of a save, logged, with one of them failing on request.
struct LoggedCalls {
    std::vector<std::string> log;
    std::string failing;  // "write", "sync" or "rename"
    int from = 1;         // the first call of that kind that fails
    int error = EIO;

    SaveSystemCalls Calls() {
        SaveSystemCalls calls;
        calls.Write = [this](int fd, const void* data, std::size_t size) -> ssize_t {
            log.push_back("write");
            return Fails("write") ? -1 : ::write(fd, data, std::min<std::size_t>(size, 1000));
        };
        calls.Sync = [this](int fd) {
            log.push_back("sync");
            return Fails("sync") ? -1 : ::fsync(fd);
        };
        calls.Rename = [this](const char* from, const char* to) {
            log.push_back("rename");
            return Fails("rename") ? -1 : ::rename(from, to);
        };
        return calls;
    }
    bool Fails(const std::string& call) {
        if (call != failing || std::count(log.begin(), log.end(), call) < from) {
            return false;
        }
        errno = error;
        return true;
    }
    // The log with runs of writes shown once.
    std::string Steps() const {
        std::string steps;
        for (std::size_t i = 0; i < log.size(); ++i) {
            if (i == 0 || log[i] != log[i - 1]) {
                steps += steps.empty() ? log[i] : " " + log[i];
            }
        }
        return steps;
    }
};

TEST_F(AtomicFile, NewBytesAreOnDiskBeforeTheyReplaceTheOld) {
    const std::string bytes(5000, 'n');
    test::WriteBytes(path_, old_);
    LoggedCalls replaced;
    WriteFileAtomically(path_, bytes, replaced.Calls());
    EXPECT_EQ(replaced.Steps(), "write sync rename");

    // In place: the backup is on disk before the file is touched, the file after.
    const std::string other = dir_.File("other-name.txt");
    ASSERT_EQ(::link(path_.c_str(), other.c_str()), 0);
    LoggedCalls inPlace;
    WriteFileAtomically(path_, old_ + old_, inPlace.Calls());
    EXPECT_EQ(inPlace.Steps(), "write sync write sync");
    EXPECT_EQ(test::ReadBytes(other), old_ + old_);
}

struct FailingCall {
    const char* call;
    int from;
    int error;
    const char* reason;
    bool inPlace;  // only a save in place makes this call
};

TEST_F(AtomicFile, FailedFlushOrRenameLeavesTheOldFile) {
    const std::vector<FailingCall> cases = {
        {"write", 1, ENOSPC, "No space left on device", false},
        {"sync", 1, EIO, "Input/output error", false},
        {"rename", 1, EBUSY, "Device or resource busy", false},
        // In place, the first write and flush are the backup's; these are the file's own, and
        // the old bytes must be put back.
        {"write", 2, ENOSPC, "No space left on device", true},
        {"sync", 2, EIO, "Input/output error", true},
    };
    const std::string other = dir_.File("other-name.txt");
    for (const bool linked : {false, true}) {
        test::WriteBytes(path_, old_);
        if (linked) {
            ASSERT_EQ(::link(path_.c_str(), other.c_str()), 0);
        }
        for (const FailingCall& c : cases) {
            if (linked ? std::string(c.call) == "rename" : c.inPlace) {
                continue;
            }
            SCOPED_TRACE(std::string(c.call) + " " + std::to_string(c.from) +
                         (linked ? ", in place" : ""));
            test::WriteBytes(path_, old_);
            LoggedCalls calls;
            calls.failing = c.call;
            calls.from = c.from;
            calls.error = c.error;
            EXPECT_EQ(
                MessageOf([&] { WriteFileAtomically(path_, "new bytes\r\n", calls.Calls()); }),
                "cannot write " + path_ + ": " + c.reason);
            EXPECT_EQ(test::ReadBytes(path_), old_);
            EXPECT_EQ(dir_.Entries().size(), linked ? 2u : 1u) << "nothing is left behind";
        }
    }
}

// A save killed between any two of its system calls leaves the complete old bytes (in the file
// or, while the file is written in place, in its backup) or the complete new ones.
TEST_F(AtomicFile, KilledAtAnyStepLeavesOldOrNewBytesWhole) {
    std::string old;
    std::string bytes;
    for (int i = 0; i < 400; ++i) {
        old += "old " + std::to_string(i) + "\r\n";
        bytes += "new line " + std::to_string(i) + "\r\n";
    }
    const std::string other = dir_.File("other-name.txt");
    for (const bool linked : {false, true}) {
        bool finished = false;
        for (int killAt = 0; !finished; ++killAt) {
            SCOPED_TRACE((linked ? "in place, killed at call " : "killed at call ") +
                         std::to_string(killAt));
            ::unlink(other.c_str());
            for (const std::string& name : dir_.Entries()) {
                ::unlink(dir_.File(name).c_str());
            }
            test::WriteBytes(path_, old);
            if (linked) {
                ASSERT_EQ(::link(path_.c_str(), other.c_str()), 0);
            }
            const pid_t child = ::fork();
            ASSERT_NE(child, -1);
            if (child == 0) {
                int calls = 0;
                const auto step = [&] {
                    if (calls++ == killAt) {
                        ::raise(SIGKILL);
                    }
                };
                SaveSystemCalls seam = SaveSystemCalls::Real();
                seam.Write = [&](int fd, const void* data, std::size_t size) {
                    step();
                    return ::write(fd, data, std::min<std::size_t>(size, 1000));
                };
                seam.Sync = [&](int fd) {
                    step();
                    return ::fsync(fd);
                };
                seam.Rename = [&](const char* from, const char* to) {
                    step();
                    return ::rename(from, to);
                };
                WriteFileAtomically(path_, bytes, seam);
                ::_exit(0);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            finished = WIFEXITED(status);
            const std::string now = test::ReadBytes(path_);
            if (finished) {
                EXPECT_EQ(WEXITSTATUS(status), 0);
                EXPECT_EQ(now, bytes);
                EXPECT_EQ(dir_.Entries().size(), linked ? 2u : 1u);
            } else if (now != old && now != bytes) {
                bool backedUp = false;
                for (const std::string& name : dir_.Entries()) {
                    backedUp = backedUp || test::ReadBytes(dir_.File(name)) == old;
                }
                EXPECT_TRUE(backedUp) << "the file holds neither, and no backup holds the old";
            }
            if (linked) {
                EXPECT_EQ(test::ReadBytes(other), now) << "the links still share one file";
            }
            ASSERT_LT(killAt, 100);
        }
    }
}

}  // namespace
}  // namespace lumark
