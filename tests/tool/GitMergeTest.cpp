#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "LumarkError.h"
#include "TestFiles.h"
#include "VisibilityReader.h"

namespace lumark {
namespace {

// Runs `command` with sh in `dir`: its exit status, what it printed in `output`.
int Shell(const std::string& dir, const std::string& command, std::string& output) {
    FILE* pipe = ::popen(("cd '" + dir + "' && { " + command + "\n} 2>&1").c_str(), "r");
    char chunk[4096];
    output.clear();
    for (std::size_t got = 0; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        output.append(chunk, got);
    }
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RingDistance(int a, int b) {
    return std::min((a - b + 300) % 300, (b - a + 300) % 300);
}

const char* const Files[] = {"new/visibility.txt", "old/visibility.txt"};
const std::string BothFiles = " new/visibility.txt old/visibility.txt ";

// Ours sets distance 8 on blocks 100-140; theirs sets it on 141-160 and crosses, which reaches
// into blocks 133-140 and 161-168. The repository is set up with the README's lines.
TEST(GitMerge, TheDriverMergesWhatALineMergeCannotAndDiffsListBlocks) {
    std::string out;
    test::TempDir dir;
    if (Shell(dir.path(), "git --version", out) != 0) {
        GTEST_SKIP() << "git is not installed";
    }
    const std::string tool = LUMARK_TOOL_PATH;
    ::setenv("PATH", (tool.substr(0, tool.rfind('/')) + ":" + std::getenv("PATH")).c_str(), 1);
    ::setenv("HOME", dir.path().c_str(), 1);  // none of the user's settings
    ::setenv("GIT_CONFIG_NOSYSTEM", "1", 1);
    ::setenv("LC_ALL", "C", 1);
    std::ifstream readme(LUMARK_SOURCE_DIR "/README.md");
    std::string attributes, driver, line;
    while (std::getline(readme, line) && line != "## Visibility files in git") {
    }
    while (std::getline(readme, line) && line != "```sh") {
    }
    while (std::getline(readme, line) && line != "```") {
        (line.rfind("git config", 0) == 0 ? driver : attributes) += line + "\n";
    }

    const std::string repo = dir.File("repo/");
    ASSERT_EQ(Shell(dir.path(),
                    "git init -q repo && cd repo && git config user.name Lumark && "
                    "git config user.email lumark@localhost && mkdir new old && "
                    "lumark-tool generate --blocks 300 --distance 5 new/visibility.txt && "
                    "lumark-tool generate --blocks 300 --distance 5 --layout 1.000000 "
                    "old/visibility.txt\n" +
                        attributes +
                        "git add . && git commit -qm base && git tag base && git checkout -qb ours",
                    out),
              0)
        << out;
    ASSERT_EQ(Shell(repo,
                    "lumark-tool edit" + BothFiles +
                        "--select 100-140 --set-distance 8 && "
                        "git commit -qam ours && git checkout -qb theirs base",
                    out),
              0)
        << out;
    ASSERT_EQ(Shell(repo,
                    "lumark-tool edit" + BothFiles +
                        "--select 141-160 --set-distance 8 --cross && "
                        "git commit -qam theirs && git checkout -q ours",
                    out),
              0)
        << out;

    // Before the driver is configured git merges lines: both files conflict, and neither
    // reads with its conflict markers.
    EXPECT_EQ(Shell(repo, "git merge --no-edit theirs", out), 1) << out;
    for (const char* file : Files) {
        EXPECT_NE(out.find(std::string("CONFLICT (content): Merge conflict in ") + file),
                  std::string::npos);
        VisibilityDocument doc;
        EXPECT_THROW(ReadVisibilityFile(doc, repo + file), LumarkError) << file;
    }

    ASSERT_EQ(Shell(repo, "git merge --abort\n" + driver + "git merge --no-edit theirs", out), 0)
        << out;
    // Ours' 246 changes less the 21 in blocks 133-140 that theirs made alike; theirs' 120 in
    // blocks 141-160 and 21 in 161-168. Once for each file.
    const std::string taken = "merged: 225 entries from ours, 141 from theirs\n";
    EXPECT_NE(out.find(taken + taken), std::string::npos) << out;
    for (const char* file : Files) {
        VisibilityDocument doc;
        ReadVisibilityFile(doc, repo + file);
        EXPECT_EQ(doc.VersionText, file[0] == 'n' ? "1.2" : "1.000000");
        int wrong = doc.BlockCount == 300 ? 0 : -1;
        for (int v = 0; v < 300; ++v) {
            for (int s = 0; s < 300; ++s) {
                const int d = RingDistance(v, s);
                wrong += doc.IsVisible(v + 1, s + 1) !=
                         (d <= 5 || (d <= 8 && ((v >= 100 && v <= 160) || (s >= 141 && s <= 160))));
            }
        }
        EXPECT_EQ(wrong, 0) << file;

        ASSERT_EQ(Shell(repo, std::string("git diff base HEAD -- ") + file, out), 0);
        for (const char* block : {"\n-block 141: 136-146\n", "\n+block 141: 133-149\n",
                                  "\n-block 161: 156-166\n", "\n+block 161: 153-166\n"}) {
            EXPECT_NE(out.find(block), std::string::npos) << file << block << out;
        }
    }

    // Both sides change the block count: git stops, and the file stays ours, whole.
    EXPECT_EQ(Shell(repo,
                    "git checkout -qb fewer base && lumark-tool generate --blocks 290 --distance 5 "
                    "new/visibility.txt && git commit -qam fewer && git checkout -q ours && "
                    "lumark-tool generate --blocks 280 --distance 5 new/visibility.txt && "
                    "git commit -qam shorter && git merge fewer",
                    out),
              1);
    EXPECT_NE(out.find("CONFLICT: block count: base 300, ours 280, theirs 290\n"),
              std::string::npos)
        << out;
    VisibilityDocument doc;
    ReadVisibilityFile(doc, repo + Files[0]);
    EXPECT_EQ(doc.BlockCount, 280);
}

}  // namespace
}  // namespace lumark
