#include <gtest/gtest.h>

#include "Befehlszeile.h"

namespace lumark {
namespace {

using Befehlszeile::ExtractCommandLinePath;
using Befehlszeile::JoinCommandLine;

struct CommandLineCase {
    const char* CommandLine;
    const char* Expected;
};

TEST(ExtractCommandLinePathTest, WindowsStyle) {
    const CommandLineCase cases[] = {
        {"", ""},
        {R"(C:\Data\visibility.txt)", R"(C:\Data\visibility.txt)"},
        {R"("C:\My Data\visibility.txt")", R"(C:\My Data\visibility.txt)"},
        {R"("C:\My Data\visibility.txt" -x)", R"(C:\My Data\visibility.txt)"},
        {R"(C:\Data\visibility.txt -x)", R"(C:\Data\visibility.txt -x)"},
        {R"("C:\Data\visibility.txt)", R"(C:\Data\visibility.txt)"},
        {R"(-open D:\vis.txt)", R"(D:\vis.txt)"},
        {"visibility.txt", ""},
        {R"(\\server\share\visibility.txt)", R"(\\server\share\visibility.txt)"},
        {R"(-x "\\server\my share\v.txt" -y)", R"(\\server\my share\v.txt)"},
        {R"(a\\b)", ""},
        {R"(:\x)", ""},
        {R"(-x "a" D:\vis.txt)", R"(D:\vis.txt)"},
        {R"(C:\a.txt D:\b.txt)", R"(C:\a.txt D:\b.txt)"},
        {"/data/visibility.txt", ""},
    };
    for (const CommandLineCase& c : cases) {
        EXPECT_EQ(ExtractCommandLinePath(c.CommandLine, PathStyle::Windows), c.Expected)
            << c.CommandLine;
    }
}

TEST(ExtractCommandLinePathTest, PosixStyle) {
    const CommandLineCase cases[] = {
        {"", ""},
        {"/data/vis/visibility.txt", "/data/vis/visibility.txt"},
        {R"("/my data/visibility.txt")", "/my data/visibility.txt"},
        {R"("/my data/visibility.txt" -x)", "/my data/visibility.txt"},
        {"/data/visibility.txt -x", "/data/visibility.txt -x"},
        {R"("/data/visibility.txt)", "/data/visibility.txt"},
        {"-open /d/vis.txt", "/d/vis.txt"},
        {"visibility.txt", ""},
        {"data/visibility.txt", ""},
        {"-x data/a /d/b", "/d/b"},
        {R"(C:\Data\visibility.txt)", ""},
    };
    for (const CommandLineCase& c : cases) {
        EXPECT_EQ(ExtractCommandLinePath(c.CommandLine, PathStyle::Posix), c.Expected)
            << c.CommandLine;
    }
}

TEST(JoinCommandLineTest, QuotesArgumentsWithBlanks) {
    EXPECT_EQ(JoinCommandLine({}), "");
    EXPECT_EQ(JoinCommandLine({"/data/visibility.txt"}), "/data/visibility.txt");
    EXPECT_EQ(JoinCommandLine({"/my data/visibility.txt", "-x"}),
              R"("/my data/visibility.txt" -x)");
    EXPECT_EQ(JoinCommandLine({"-x", "", "y"}), "-x  y");
}

TEST(JoinCommandLineTest, JoinedPathIsFoundAgain) {
    const std::string line = JoinCommandLine({"-x", "/my data/vis.txt"});
    EXPECT_EQ(ExtractCommandLinePath(line, PathStyle::Posix), "/my data/vis.txt");
    const std::string windows = JoinCommandLine({R"(C:\My Data\vis.txt)", "-x"});
    EXPECT_EQ(ExtractCommandLinePath(windows, PathStyle::Windows), R"(C:\My Data\vis.txt)");
}

TEST(AbsoluteArgumentTest, RelativeNamesAreTakenFromTheCurrentFolder) {
    using Befehlszeile::AbsoluteArgument;
    const struct {
        const char* argument;
        PathStyle style;
        const char* expected;
    } cases[] = {
        {"visibility.txt", PathStyle::Posix, "/home/u/samples/visibility.txt"},
        {"./visibility.txt", PathStyle::Posix, "/home/u/samples/visibility.txt"},
        {"sub/./x.txt", PathStyle::Posix, "/home/u/samples/sub/x.txt"},
        {"../x.txt", PathStyle::Posix, "/home/u/samples/../x.txt"},  // ".." may cross a link
        {"my data/v.txt", PathStyle::Posix, "/home/u/samples/my data/v.txt"},
        {"bad\xff.txt", PathStyle::Posix, "/home/u/samples/bad\xff.txt"},  // bytes stay bytes
        {"/abs/v.txt", PathStyle::Posix, "/abs/v.txt"},
        {"-platform", PathStyle::Posix, "-platform"},
        {"", PathStyle::Posix, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argument);
        EXPECT_EQ(AbsoluteArgument(c.argument, "/home/u/samples", c.style), c.expected);
    }
    const struct {
        const char* argument;
        const char* currentDir;
        const char* expected;
    } windows[] = {
        {"visibility.txt", R"(D:\tracks)", R"(D:\tracks\visibility.txt)"},
        {R"(.\oval\.\v.txt)", R"(D:\tracks)", R"(D:\tracks\oval\v.txt)"},
        {R"(..\v.txt)", R"(D:\tracks)", R"(D:\tracks\..\v.txt)"},
        {"v.txt", R"(C:\)", R"(C:\v.txt)"},
        {"oval/v.txt", R"(\\srv\share\tracks)", R"(\\srv\share\tracks\oval\v.txt)"},
        {R"(\data\v.txt)", R"(D:\tracks)", R"(D:\data\v.txt)"},
        {"C:/data/v.txt", R"(D:\tracks)", R"(C:\data\v.txt)"},
        {R"(C:\data\\v.txt)", R"(D:\tracks)", R"(C:\data\v.txt)"},
        {"//srv/share/v.txt", R"(D:\tracks)", R"(\\srv\share\v.txt)"},
        {"C:v.txt", R"(D:\tracks)", "C:v.txt"},
        {"-platform", R"(D:\tracks)", "-platform"},
    };
    for (const auto& c : windows) {
        SCOPED_TRACE(c.argument);
        EXPECT_EQ(AbsoluteArgument(c.argument, c.currentDir, PathStyle::Windows), c.expected);
    }
    // The joined line then names the file for the path rule, blanks and all.
    const std::string line =
        JoinCommandLine({AbsoluteArgument("my data/v.txt", "/home/u", PathStyle::Posix)});
    EXPECT_EQ(ExtractCommandLinePath(line, PathStyle::Posix), "/home/u/my data/v.txt");
}

}  // namespace
}  // namespace lumark
