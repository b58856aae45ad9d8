// The Windows side of saving, reading, identity, locks and names.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "AtomicFile.h"
#include "FileState.h"
#include "FileSystem.h"
#include "LockedFile.h"
#include "LumarkError.h"
#include "TestFiles.h"
#include "VisibilityReader.h"

namespace lumark {
namespace {

std::wstring Wide(const std::string& utf8) {
    return std::filesystem::u8path(utf8).wstring();
}

// A handle another program would hold: no sharing at all.
class HeldFile {
  public:
    explicit HeldFile(const std::string& path)
        : handle_(CreateFileW(Wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr)) {}
    ~HeldFile() { Release(); }
    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Release() {
        if (held()) {
            CloseHandle(handle_);
            handle_ = INVALID_HANDLE_VALUE;
        }
    }

  private:
    HANDLE handle_;
};

std::string ErrorOf(const std::string& path, std::string_view bytes) {
    try {
        WriteFileAtomically(path, bytes);
    } catch (const LumarkError& error) {
        return error.what();
    }
    return {};
}

TEST(WindowsFiles, ReplacesAnExistingFileWithTheExactBytes) {
    test::TempDir dir;
    const std::string path = dir.File("visibility.txt");
    test::WriteBytes(path, "old bytes\r\n");
    const std::optional<FileIdentity> before = IdentityOf(path);
    // Lone LFs and CRs stay as they are: no text mode anywhere.
    const std::string bytes = "Version: 1.2\r\nBlocks: 1\n\r\x1a\n";
    WriteFileAtomically(path, bytes);
    EXPECT_EQ(test::ReadBytes(path), bytes);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"visibility.txt"});
    const std::optional<FileIdentity> after = IdentityOf(path);
    ASSERT_TRUE(before && after);
    EXPECT_NE(after->Inode, before->Inode);  // a new file took the name

    const std::string created = dir.File("new.txt");
    WriteFileAtomically(created, "1\n");
    EXPECT_EQ(test::ReadBytes(created), "1\n");
}

TEST(WindowsFiles, AReadOnlyTargetIsRefusedByNameAndLeftAlone) {
    test::TempDir dir;
    const std::string path = dir.File("visibility.txt");
    test::WriteBytes(path, "old");
    ASSERT_TRUE(SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ErrorOf(path, "new"), "cannot write " + path + ": the file is read-only");
    EXPECT_EQ(test::ReadBytes(path), "old");
    EXPECT_FALSE(platform::MayWrite(path));
    SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"visibility.txt"});
}

// Names are UTF-8 inside the program, whatever the ANSI code page holds.
TEST(WindowsFiles, NamesOutsideTheCodePageWorkThroughout) {
    test::TempDir dir;
    for (const std::string name :
         {"Sichtbarkeit \xc3\xa4\xc3\xb6", "\xd0\xba\xd0\xb0\xd1\x80\xd1\x82\xd0\xb0",
          "\xe5\x9c\xb0\xe5\x9b\xb3 map", "emoji \xf0\x9f\x97\xba"}) {
        SCOPED_TRACE(name);
        const std::string folder = dir.File(name);
        ASSERT_TRUE(platform::MakePrivateFolders(folder + "/inner"));
        const std::string path = folder + "/inner/" + name + ".txt";
        const std::string bytes = "Version: 1.2\r\nBlocks: 1\r\nBlock: 0\r\n0\r\n-1\r\n";
        WriteFileAtomically(path, bytes);
        EXPECT_TRUE(platform::IsRegularFile(path));
        std::vector<std::string> names;
        ASSERT_TRUE(platform::ListFolder(folder + "/inner", names));
        EXPECT_EQ(names, std::vector<std::string>{name + ".txt"});
        const std::optional<FileState> state = ReadFileState(path);
        ASSERT_TRUE(state);
        EXPECT_EQ(state->Hash, HashBytes(bytes));
        VisibilityDocument doc;
        ReadVisibilityFile(doc, path);
        EXPECT_EQ(doc.BlockCount, 1);
    }
}

TEST(WindowsFiles, AFileHeldWithoutSharingIsWaitedForThenReported) {
    test::TempDir dir;
    const std::string path = dir.File("visibility.txt");
    test::WriteBytes(path, "old");

    // Held for a moment, as a virus scanner does: the save waits and goes through.
    HeldFile briefly(path);
    ASSERT_TRUE(briefly.held());
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        briefly.Release();
    });
    const std::string error = ErrorOf(path, "new");
    release.join();
    EXPECT_EQ(error, "");
    EXPECT_EQ(test::ReadBytes(path), "new");

    // Held for good: reported by name and reason, nothing lost, nothing left behind.
    HeldFile held(path);
    ASSERT_TRUE(held.held());
    EXPECT_EQ(ErrorOf(path, "newer"), "cannot write " + path + ": used by another program");
    held.Release();
    EXPECT_EQ(test::ReadBytes(path), "new");
    // Wine's ReplaceFileW moves the file it replaces to an "rf*.tmp" of its own first, and
    // leaves that behind when it cannot; Windows's keeps no such file.
    std::vector<std::string> left = dir.Entries();
    left.erase(std::remove_if(left.begin(), left.end(),
                              [](const std::string& name) {
                                  return name.rfind("rf", 0) == 0 && name.size() > 4 &&
                                         name.compare(name.size() - 4, 4, ".tmp") == 0;
                              }),
               left.end());
    EXPECT_EQ(left, std::vector<std::string>{"visibility.txt"});
}

TEST(WindowsFiles, IdentityIsTheFileIndexAndTheFullTime) {
    test::TempDir dir;
    const std::string path = dir.File("a.txt");
    const std::string copy = dir.File("b.txt");
    test::WriteBytes(path, "same");
    test::WriteBytes(copy, "same");
    const std::optional<FileIdentity> a = IdentityOf(path);
    const std::optional<FileIdentity> b = IdentityOf(copy);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->Device, b->Device);
    EXPECT_NE(a->Inode, b->Inode);
    EXPECT_EQ(a->Size, 4);

    const std::string link = dir.File("link.txt");
    ASSERT_TRUE(CreateHardLinkW(Wide(link).c_str(), Wide(path).c_str(), nullptr));
    EXPECT_EQ(IdentityOf(link)->Inode, a->Inode);

    // 2024-01-02 03:04:05.1234567 UTC in 100 ns steps from 1601.
    constexpr long long Ticks = 133486382451234567LL;
    const FILETIME time{static_cast<DWORD>(Ticks & 0xffffffff), static_cast<DWORD>(Ticks >> 32)};
    const HANDLE handle = CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetFileTime(handle, nullptr, nullptr, &time));
    CloseHandle(handle);
    EXPECT_EQ(IdentityOf(path)->ModifiedNs, 1704164645123456700LL);
    EXPECT_EQ(ReadFileState(path)->Identity, *IdentityOf(path));
}

TEST(WindowsFiles, ALockedFileIsHeldAgainstOthersButStaysReadable) {
    test::TempDir dir;
    const std::string path = dir.File("record");
    platform::LockedFile owner = platform::LockedFile::Create(path);
    ASSERT_TRUE(owner.valid());
    ASSERT_TRUE(WriteAllTo(owner.fd(), "entry"));
    EXPECT_FALSE(platform::LockedFile::OpenExisting(path));
    EXPECT_EQ(test::ReadBytes(path), "entry");
    // Renamed and removed while open, as records are.
    ASSERT_TRUE(platform::RenameOver(path, dir.File("renamed")));
    owner.Close();
    const std::optional<platform::LockedFile> taken =
        platform::LockedFile::OpenExisting(dir.File("renamed"));
    ASSERT_TRUE(taken);
    EXPECT_TRUE(taken->Writable());
    EXPECT_TRUE(platform::RemoveFile(dir.File("renamed")));
}

TEST(WindowsFiles, NamePatterns) {
    struct Case {
        const char* Pattern;
        const char* Name;
        bool Matches;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"visibility.txt", "visibility.txt", true},
             {"visibility.txt", "Visibility.txt", false},
             {"*.txt", "a.txt", true},
             {"*.txt", "a.txt.bak", false},
             {"a*b*c", "aXXbYc", true},
             {"a*b*c", "aXbY", false},
             {"v?s", "vis", true},
             {"v?s", "vs", false},
             {"[a-c]x", "bx", true},
             {"[!a-c]x", "bx", false},
             {"[!a-c]x", "dx", true},
             {"[]]", "]", true},
             {"\\*", "*", true},
             {"\\*", "a", false},
             {"[", "[", true},
             {"*", "", true},
         }) {
        EXPECT_EQ(platform::NameMatches(c.Pattern, c.Name), c.Matches)
            << c.Pattern << " / " << c.Name;
    }
}

}  // namespace
}  // namespace lumark
