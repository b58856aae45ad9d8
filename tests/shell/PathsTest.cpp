#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "Lumark_Allgemein.h"
#include "PathText.h"
#include "SettingsFile.h"

namespace lumark {
namespace {

using Lumark_Allgemein::DirectoryHasFiles;
using Lumark_Allgemein::ExtractDirectory;
using Lumark_Allgemein::StripTrailingBackslash;

struct PathCase {
    const char* Input;
    const char* Expected;
};

TEST(ExtractDirectoryTest, WindowsPaths) {
    const PathCase cases[] = {
        {R"(C:\Data\Vis\visibility.txt)", R"(C:\Data\Vis)"},
        {R"(C:\visibility.txt)", "C:"},
        {R"(C:\Data\)", R"(C:\Data)"},
        {R"(C:\ab)", "C:"},
        {R"(C:\a)", ""},
        {R"(\visibility.txt)", ""},
        {"visibility.txt", ""},
        {"", ""},
        {"C:/Data/visibility.txt", ""},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(ExtractDirectory(c.Input, PathStyle::Windows), c.Expected) << c.Input;
    }
}

TEST(ExtractDirectoryTest, PosixPaths) {
    const PathCase cases[] = {
        {"/data/vis/visibility.txt", "/data/vis"},
        {"/visibility.txt", ""},
        {"/data/", "/data"},
        {"/a/b", ""},
        {"/a/bc", "/a"},
        {"visibility.txt", ""},
        {"data/visibility.txt", "data"},
        {R"(C:\Data\visibility.txt)", ""},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(ExtractDirectory(c.Input, PathStyle::Posix), c.Expected) << c.Input;
    }
}

TEST(StripTrailingBackslashTest, RemovesOneSeparatorOfTheStyle) {
    const PathCase windows[] = {
        {R"(C:\Data\)", R"(C:\Data)"}, {R"(C:\Data)", R"(C:\Data)"}, {"\\", ""}, {"", ""},
        {R"(C:\\)", R"(C:\)"},         {"/data/", "/data/"},
    };
    for (const PathCase& c : windows) {
        EXPECT_EQ(StripTrailingBackslash(c.Input, PathStyle::Windows), c.Expected) << c.Input;
    }
    const PathCase posix[] = {
        {"/data/", "/data"},
        {"/data", "/data"},
        {"/", ""},
        {"", ""},
        {R"(C:\Data\)", R"(C:\Data\)"},
    };
    for (const PathCase& c : posix) {
        EXPECT_EQ(StripTrailingBackslash(c.Input, PathStyle::Posix), c.Expected) << c.Input;
    }
}

class DirectoryHasFilesTest : public ::testing::Test {
  protected:
    std::string Folder(const QString& name) const {
        QDir().mkpath(root.filePath(name));
        return QDir::toNativeSeparators(root.filePath(name)).toStdString();
    }
    void CreateFile(const QString& relativePath) const {
        QFile file(root.filePath(relativePath));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QTemporaryDir root;
};

TEST_F(DirectoryHasFilesTest, CountsOnlyOrdinaryFiles) {
    ASSERT_TRUE(root.isValid());
    const std::string withFile = Folder("withFile");
    CreateFile("withFile/visibility.txt");
    const std::string onlyFolders = Folder("onlyFolders");
    Folder("onlyFolders/sub");
    CreateFile("onlyFolders/sub/visibility.txt");
    const std::string empty = Folder("empty");

    EXPECT_TRUE(DirectoryHasFiles(withFile));
    EXPECT_FALSE(DirectoryHasFiles(onlyFolders));
    EXPECT_FALSE(DirectoryHasFiles(empty));
    EXPECT_FALSE(DirectoryHasFiles(withFile + "/missing"));
    EXPECT_FALSE(DirectoryHasFiles(withFile + "/visibility.txt"));
}

#ifndef _WIN32
TEST_F(DirectoryHasFilesTest, HiddenFilesDoNotCount) {
    ASSERT_TRUE(root.isValid());
    const std::string hidden = Folder("hidden");
    CreateFile("hidden/.visibility.txt");
    EXPECT_FALSE(DirectoryHasFiles(hidden));
}
#endif

#ifndef _WIN32
// Names are bytes: a folder or a file whose name is not valid UTF-8 is found like any other.
TEST_F(DirectoryHasFilesTest, NamesThatAreNotUtf8) {
    ASSERT_TRUE(root.isValid());
    const std::string base = PathFromQString(root.path());
    const std::string folder = base +
                               "/bad\xff"
                               "folder";
    const std::string other = base +
                              "/bad\xfe"
                              "folder";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(other.c_str(), 0700), 0);
    const int fd = ::open((folder + "/vis\xff.txt").c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    ASSERT_EQ(::symlink("missing", (other + "/dangling\xff").c_str()), 0);

    EXPECT_TRUE(DirectoryHasFiles(folder));
    EXPECT_TRUE(DirectoryHasFiles(folder + "/"));
    EXPECT_FALSE(DirectoryHasFiles(other)) << "a dangling link is no file";
    EXPECT_FALSE(DirectoryHasFiles(base + "/bad\xfd"
                                          "folder"));
}
#endif

TEST_F(DirectoryHasFilesTest, TrailingSeparatorGivesTheSameAnswer) {
    ASSERT_TRUE(root.isValid());
    const std::string withFile = Folder("withFile");
    CreateFile("withFile/visibility.txt");
    const std::string separator = HostPathStyle == PathStyle::Windows ? "\\" : "/";
    EXPECT_TRUE(DirectoryHasFiles(withFile + separator));
    EXPECT_EQ(DirectoryHasFiles(""), DirectoryHasFiles(separator));
}

TEST(SettingsFileTest, JoinsWithoutNormalising) {
    if (HostPathStyle == PathStyle::Windows) {
        EXPECT_EQ(SettingsFilePathIn(R"(C:\Lumark)"), R"(C:\Lumark\Lumark.ini)");
        EXPECT_EQ(SettingsFilePathIn(R"(C:\)"), R"(C:\\Lumark.ini)");
    } else {
        EXPECT_EQ(SettingsFilePathIn("/opt/lumark"), "/opt/lumark/Lumark.ini");
        EXPECT_EQ(SettingsFilePathIn("/"), "//Lumark.ini");
    }
}

}  // namespace
}  // namespace lumark
