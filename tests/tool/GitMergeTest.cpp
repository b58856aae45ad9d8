#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "LumarkError.h"
#include "TestFiles.h"
#include "VisibilityReader.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

// Runs `command` with sh in `dir`: its exit status, and what it printed in `output`.
int Shell(const std::string& dir, const std::string& command, std::string* output = nullptr) {
    const std::string line = "cd '" + dir + "' && { " + command + "\n} 2>&1";
    FILE* pipe = ::popen(line.c_str(), "r");
    std::string text;
    char chunk[4096];
    std::size_t got = 0;
    while (pipe && (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
        text.append(chunk, got);
    }
    const int status = pipe ? ::pclose(pipe) : -1;
    if (output) {
        *output = text;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The shell lines of the README's section on git, as a user would paste them.
std::vector<std::string> ReadmeGitLines() {
    std::ifstream readme(LUMARK_SOURCE_DIR "/README.md");
    std::vector<std::string> lines;
    std::string line;
    bool section = false;
    bool block = false;
    while (std::getline(readme, line)) {
        section = section || line == "## Visibility files in git";
        if (section && line.rfind("```", 0) == 0) {
            if (block) {
                break;
            }
            block = true;
        } else if (block) {
            lines.push_back(line);
        }
    }
    return lines;
}

int RingDistance(int a, int b) {
    const int d = (a - b + 300) % 300;
    return std::min(d, 300 - d);
}

// The window's edits as the test makes them, on 0-based blocks.
void SetDistance(VisibilityDocument& doc, int first, int last, int distance) {
    for (int block = first; block <= last; ++block) {
        for (int seen = 0; seen < 300; ++seen) {
            doc.SetElement(block + 1, seen + 1,
                           RingDistance(block, seen) <= distance ? True16 : False16);
        }
    }
}
void Cross(VisibilityDocument& doc) {
    for (int viewer = 1; viewer <= 300; ++viewer) {
        for (int seen = 1; seen <= 300; ++seen) {
            if (doc.IsVisible(viewer, seen)) {
                doc.SetElement(seen, viewer, True16);
            }
        }
    }
}

void Edit(const std::string& path, const std::function<void(VisibilityDocument&)>& edit) {
    VisibilityDocument doc;
    ReadVisibilityFile(doc, path);
    edit(doc);
    WriteVisibilityFile(doc, path);
}

// Two branches edit both files of a repository, one in each layout: ours sets distance 8 on
// blocks 100-140, theirs sets it on 141-160 and makes their links mutual, which reaches into
// blocks 133-140 and 161-168.
TEST(GitMerge, TheDriverMergesWhatALineMergeCannotAndDiffsListBlocks) {
    if (std::system("git --version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "git is not installed";
    }
    test::TempDir dir;
    const std::string tool = LUMARK_TOOL_PATH;
    ::setenv("PATH", (tool.substr(0, tool.rfind('/')) + ":" + std::getenv("PATH")).c_str(), 1);
    ::setenv("HOME", dir.path().c_str(), 1);  // no settings of the user's
    ::setenv("GIT_CONFIG_NOSYSTEM", "1", 1);
    ::setenv("LC_ALL", "C", 1);
    std::string setup;
    std::string driver;
    for (const std::string& line : ReadmeGitLines()) {
        (line.rfind("git config ", 0) == 0 ? driver : setup) += line + "\n";
    }
    ASSERT_NE(setup.find("visibility.txt merge=lumark diff=lumark"), std::string::npos);
    ASSERT_NE(driver.find("git config merge.lumark.driver \"lumark-tool merge %O %A %B -o %A\""),
              std::string::npos);
    ASSERT_NE(driver.find("git config diff.lumark.textconv \"lumark-tool show\""),
              std::string::npos);

    const std::string repo = dir.File("repo");
    const std::vector<std::string> files = {"new/visibility.txt", "old/visibility.txt"};
    const auto editBoth = [&](const std::function<void(VisibilityDocument&)>& edit) {
        for (const std::string& file : files) {
            Edit(repo + "/" + file, edit);
        }
    };
    std::string out;
    ASSERT_EQ(Shell(dir.path(),
                    "git init -q repo && cd repo && git config user.name Lumark && "
                    "git config user.email lumark@localhost && mkdir new old && "
                    "lumark-tool generate --blocks 300 --distance 5 new/visibility.txt && "
                    "lumark-tool generate --blocks 300 --distance 5 --layout 1.000000 "
                    "old/visibility.txt\n" +
                        setup + "git add . && git commit -qm base && git tag base",
                    &out),
              0)
        << out;
    ASSERT_EQ(Shell(repo, "git checkout -qb ours"), 0);
    editBoth([](VisibilityDocument& doc) { SetDistance(doc, 100, 140, 8); });
    ASSERT_EQ(Shell(repo, "git commit -qam ours && git checkout -qb theirs base"), 0);
    editBoth([](VisibilityDocument& doc) {
        SetDistance(doc, 141, 160, 8);
        Cross(doc);
    });
    ASSERT_EQ(Shell(repo, "git commit -qam theirs && git checkout -q ours"), 0);

    // Without the driver's configuration git merges lines: both files conflict, and what it
    // leaves in them does not read.
    EXPECT_EQ(Shell(repo, "git merge --no-edit theirs", &out), 1) << out;
    for (const std::string& file : files) {
        EXPECT_NE(out.find("CONFLICT (content): Merge conflict in " + file), std::string::npos)
            << out;
        VisibilityDocument doc;
        EXPECT_THROW(ReadVisibilityFile(doc, repo + "/" + file), LumarkError) << file;
    }
    ASSERT_EQ(Shell(repo, "git merge --abort"), 0);

    ASSERT_EQ(Shell(repo, driver), 0);
    ASSERT_EQ(Shell(repo, "git merge --no-edit theirs", &out), 0) << out;
    EXPECT_NE(out.find("merged: "), std::string::npos) << out;
    // Each side's changes: ours' blocks 100-140 and theirs' 141-160 see 8 on each side, and
    // blocks 161-168 see back the ones of 141-160 within 8. Everything else sees 5.
    const auto expected = [](int viewer, int seen) {
        const int d = RingDistance(viewer, seen);
        return d <= 5 ||
               (d <= 8 && ((viewer >= 100 && viewer <= 160) || (seen >= 141 && seen <= 160)));
    };
    for (const std::string& file : files) {
        VisibilityDocument doc;
        ReadVisibilityFile(doc, repo + "/" + file);
        EXPECT_EQ(doc.BlockCount, 300);
        EXPECT_EQ(doc.VersionText, file == files[0] ? "1.2" : "1.000000");
        int wrong = 0;
        for (int viewer = 0; viewer < 300; ++viewer) {
            for (int seen = 0; seen < 300; ++seen) {
                wrong += doc.IsVisible(viewer + 1, seen + 1) != expected(viewer, seen);
            }
        }
        EXPECT_EQ(wrong, 0) << file;

        // The diff through the README's converter lists blocks, not lines of numbers.
        ASSERT_EQ(Shell(repo, "git diff base HEAD -- " + file, &out), 0);
        for (const char* line : {"\n-block 141: 136-146\n", "\n+block 141: 133-149\n",
                                 "\n-block 161: 156-166\n", "\n+block 161: 153-166\n"}) {
            EXPECT_NE(out.find(line), std::string::npos) << file << ": " << line << out;
        }
    }
}

}  // namespace
}  // namespace lumark
