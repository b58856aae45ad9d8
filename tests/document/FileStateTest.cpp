#include "FileState.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestFiles.h"

namespace lumark {
namespace {

// A rewrite with other bytes must be told apart from one with the same bytes, which only the
// hash can do once size and time agree.
TEST(FileStateTest, HashFollowsTheBytesAndIdentityTheFile) {
    test::TempDir dir;
    const std::string path = dir.File("visibility.txt");
    test::WriteBytes(path, "1.2\n3\n");
    const std::optional<FileState> first = ReadFileState(path);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Hash, HashBytes("1.2\n3\n"));
    EXPECT_EQ(first->Identity.Size, 6);
    EXPECT_EQ(IdentityOf(path), first->Identity);

    test::WriteBytes(path, "1.2\n4\n");  // same size
    const std::optional<FileState> second = ReadFileState(path);
    ASSERT_TRUE(second);
    EXPECT_NE(second->Hash, first->Hash);

    const std::string copy = dir.File("copy.txt");
    test::WriteBytes(copy, "1.2\n4\n");
    ASSERT_EQ(::rename(copy.c_str(), path.c_str()), 0);
    const std::optional<FileState> replaced = ReadFileState(path);
    ASSERT_TRUE(replaced);
    EXPECT_EQ(replaced->Hash, second->Hash);
    EXPECT_NE(replaced->Identity.Inode, second->Identity.Inode);
}

TEST(FileStateTest, NothingForWhatIsNoReadableFile) {
    test::TempDir dir;
    EXPECT_FALSE(ReadFileState(dir.File("missing")));
    EXPECT_FALSE(IdentityOf(dir.File("missing")));
    EXPECT_FALSE(ReadFileState(dir.path()));
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ReadFileState(fifo));  // and does not hang
}

}  // namespace
}  // namespace lumark
