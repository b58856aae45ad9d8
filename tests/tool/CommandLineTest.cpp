#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "ToolRun.h"

namespace lumark {
namespace {

using test::RunToolWith;

TEST(ToolCommandLine, HelpAndVersionPrintToStandardOutput) {
    for (const std::string option : {"--help", "-h"}) {
        const test::ToolRun run = RunToolWith({option});
        EXPECT_EQ(run.code, 0);
        EXPECT_NE(run.out.find("lumark-tool generate --blocks N --distance D"), std::string::npos);
        EXPECT_EQ(run.err, "");
    }
    const test::ToolRun version = RunToolWith({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, "lumark-tool 0.9.35\n");
}

struct UsageCase {
    std::vector<std::string> arguments;
    std::string message;
};

TEST(ToolCommandLine, UsageErrorsExitWithTwoAndWriteNothing) {
    const std::vector<UsageCase> cases = {
        {{}, "no command given"},
        {{"frob"}, "unknown command \"frob\""},
        {{"check"}, "check needs at least one FILE"},
        {{"check", "--layout", "1.2", "a"}, "check takes no --layout"},
        {{"check", "--bogus", "a"}, "Unknown option 'bogus'."},
        {{"check", "-x", "a"}, "Unknown option 'x'."},
        {{"check", "--cell", "4", "a"}, "check takes no --cell"},
        {{"convert", "a"}, "convert needs IN and OUT"},
        {{"convert", "a", "b", "c"}, "convert needs IN and OUT"},
        {{"convert", "a", "b", "--blocks", "3"}, "convert takes no --blocks"},
        {{"convert", "a", "b", "--layout", "1.20"},
         "--layout must be 1.2 or 1.000000, not \"1.20\""},
        {{"convert", "a", "b", "--layout"}, "Missing value after '--layout'."},
        {{"generate", "--blocks", "3", "out"}, "generate needs --distance"},
        {{"generate", "--distance", "3", "out"}, "generate needs --blocks"},
        {{"generate", "--blocks", "3", "--distance", "1"}, "generate needs one OUT"},
        {{"generate", "--blocks", "0", "--distance", "1", "out"},
         "--blocks must be a whole number from 1 to 300, not \"0\""},
        {{"generate", "--blocks", "301", "--distance", "1", "out"},
         "--blocks must be a whole number from 1 to 300, not \"301\""},
        {{"generate", "--blocks", "4x", "--distance", "1", "out"},
         "--blocks must be a whole number from 1 to 300, not \"4x\""},
        {{"generate", "--blocks", "4", "--distance", "-1", "out"},
         "--distance must be a whole number 0 or more, not \"-1\""},
        {{"generate", "--blocks=4", "--distance=1", "--layout=2", "out"},
         "--layout must be 1.2 or 1.000000, not \"2\""},
        {{"generate", "--blocks", "3", "--distance", "1", "--cell", "2", "out"},
         "generate takes no --cell"},
        {{"render", "a"}, "render needs FILE and OUT"},
        {{"render", "a", "b", "--layout", "1.2"}, "render takes no --layout"},
        {{"render", "a", "b", "--cell", "0"},
         "--cell must be a whole number from 1 to 16, not \"0\""},
        {{"render", "a", "b", "--cell", "17"},
         "--cell must be a whole number from 1 to 16, not \"17\""},
        {{"render", "a", "b", "--cell"}, "Missing value after '--cell'."},
        {{"diff", "a"}, "diff needs A and B"},
        {{"diff", "a", "b", "--cell", "3"}, "diff takes no --cell"},
        {{"show"}, "show needs one FILE"},
        {{"merge", "a", "b"}, "merge needs BASE, OURS and THEIRS"},
        {{"convert", "a", "b", "-o", "c"}, "convert takes no --output"},
        // --blocks is a value for generate and a flag for stats.
        {{"stats"}, "stats needs at least one FILE"},
        {{"stats", "--format", "xml", "a"}, "--format must be text, csv or json, not \"xml\""},
        {{"stats", "--mutual", "a"}, "stats takes no --mutual"},
        {{"check", "--force", "a"}, "check takes no --force"},
        {{"check", "--blocks", "a"}, "check takes no --blocks"},
        {{"generate", "--blocks", "3", "--distance", "1", "--name", "x", "out"},
         "generate takes no --name"},
        {{"edit", "a"}, "edit needs at least one step, such as --select 100-140 --increase"},
        {{"edit", "--increase"}, "edit needs at least one FILE"},
        {{"edit", "a", "b", "-o", "c", "--cross"}, "edit writes -o OUT from one FILE only"},
        {{"convert", "a", "b", "--cross"}, "convert takes no --cross"},
        {{"edit", "a", "--select"}, "Missing value after '--select'."},
    };
    test::TempDir dir;
    for (const UsageCase& usage : cases) {
        std::vector<std::string> arguments;
        for (const std::string& argument : usage.arguments) {
            // Names of files to be written point into the test directory.
            arguments.push_back(argument == "out" || argument == "b" ? dir.File(argument)
                                                                     : argument);
        }
        const test::ToolRun run = RunToolWith(arguments);
        SCOPED_TRACE(usage.message);
        EXPECT_EQ(run.code, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "lumark-tool: " + usage.message + "\nTry \"lumark-tool --help\".\n");
    }
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(ToolCommandLine, DoubleDashEndsTheOptions) {
    test::TempDir dir;
    const std::string dashed = dir.File("-odd.txt");
    const test::ToolRun run =
        RunToolWith({"generate", "--blocks", "2", "--distance", "1", "--", dashed});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(RunToolWith({"check", "--", dashed}).out, dashed + ": ok, layout 1.2, 2 blocks\n");
}

// A number is taken with blanks around it and a sign, and the last of a repeated option counts.
TEST(ToolCommandLine, NumbersAndRepeatedOptions) {
    test::TempDir dir;
    const std::string out = dir.File("ring.txt");
    const test::ToolRun run = RunToolWith({"generate", "--blocks", " +3 ", "--distance", "9",
                                           "--distance", "0", "--layout", "1.2", out});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::string two = dir.File("two.txt");
    ASSERT_EQ(RunToolWith({"generate", "--blocks=3", "--distance=0", two}).code, 0);
    EXPECT_EQ(RunToolWith({"diff", out, two}).out, "");
}

// File names are bytes: one that is not UTF-8 is opened and written as it is.
// Names that are no UTF-8, and a POSIX shell to run the tool: POSIX systems only.
#ifndef _WIN32
TEST(ToolCommandLine, FileNamesAreKeptByteForByte) {
    test::TempDir dir;
    const std::string in = dir.File(
        "bad\xff"
        "byte.txt");
    const std::string out = dir.File("out\xff.txt");
    ASSERT_EQ(RunToolWith({"generate", "--blocks", "2", "--distance", "1", in}).code, 0);
    const test::ToolRun run = RunToolWith({"convert", in, out});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(test::ReadBytes(out), test::ReadBytes(in));
    std::vector<std::string> names = dir.Entries();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"bad\xff"
                                               "byte.txt",
                                               "out\xff.txt"}));

    // And through the executable, whose arguments come straight from the system.
    const std::string copy = dir.File("copy\xfe.txt");
    const std::string command =
        std::string(LUMARK_TOOL_PATH) + " convert '" + in + "' '" + copy + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(test::ReadBytes(copy), test::ReadBytes(in));
}

// The executable itself: its streams carry the bytes unchanged and its exit code is the
// command's.
TEST(ToolExecutable, WritesExactBytesToStandardOutputAndReturnsTheExitCode) {
    test::TempDir dir;
    const std::string tool = LUMARK_TOOL_PATH;
    const std::string out = dir.File("stdout.txt");
    const std::string err = dir.File("stderr.txt");
    const std::string generate =
        tool + " generate --blocks 40 --distance 5 --layout 1.000000 - >" + out + " 2>" + err;
    ASSERT_EQ(std::system(generate.c_str()), 0);
    EXPECT_EQ(test::ReadBytes(out), test::ReadBytes(std::string(LUMARK_SOURCE_DIR) +
                                                    "/samples/old-layout/visibility.txt"));

    const std::string missing = dir.File("missing.txt");
    const int status = std::system((tool + " check " + missing + " >" + out + " 2>" + err).c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_EQ(test::ReadBytes(out), "");
    EXPECT_EQ(test::ReadBytes(err), missing + ": error: cannot open: No such file or directory\n");
}

#else
// The executable as Windows starts it: arguments from the wide command line, names outside
// the ANSI code page, standard output in binary.
TEST(ToolExecutable, TakesWideArgumentsAndWritesExactBytes) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::filesystem::path tool =
        std::filesystem::path(self).parent_path() / L"../../src/tool/lumark-tool.exe";
    test::TempDir dir;
    const std::string folder = dir.File("Karten \xc3\xa4 \xd0\xb6");
    std::filesystem::create_directory(std::filesystem::u8path(folder));
    const std::string in = folder + "/in \xe5\x9c\xb0.txt";
    const std::string out = folder + "/out \xc3\xa4.txt";
    const std::string sample =
        std::string(LUMARK_SOURCE_DIR) + "/samples/old-layout/visibility.txt";
    test::WriteBytes(in, test::ReadBytes(sample));
    const auto quoted = [](const std::string& path) {
        return L"\"" + std::filesystem::u8path(path).wstring() + L"\"";
    };
    const std::wstring convert =
        L"\"" + quoted(tool.u8string()) + L" convert " + quoted(in) + L" " + quoted(out) + L"\"";
    ASSERT_EQ(_wsystem(convert.c_str()), 0);
    EXPECT_EQ(test::ReadBytes(out), test::ReadBytes(in));

    const std::string printed = dir.File("stdout.txt");
    const std::wstring generate = L"\"" + quoted(tool.u8string()) +
                                  L" generate --blocks 40 --distance 5 --layout 1.000000 - >" +
                                  quoted(printed) + L"\"";
    ASSERT_EQ(_wsystem(generate.c_str()), 0);
    EXPECT_EQ(test::ReadBytes(printed), test::ReadBytes(sample));

    const std::string missing = folder + "/missing.txt";
    const std::wstring check = L"\"" + quoted(tool.u8string()) + L" check " + quoted(missing) +
                               L" 2>" + quoted(printed) + L"\"";
    EXPECT_EQ(_wsystem(check.c_str()), 1);
    EXPECT_EQ(test::ReadBytes(printed),
              missing + ": error: cannot open: No such file or directory\n");
}
#endif

}  // namespace
}  // namespace lumark
