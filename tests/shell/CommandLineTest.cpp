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
        {R"(\\server\share\visibility.txt)", ""},
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

}  // namespace
}  // namespace lumark
