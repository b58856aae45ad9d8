#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <random>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "CodePage.h"
#include "Ini.h"

namespace {
std::atomic<std::size_t> allocatedBytes{0};  // by operator new, for the cost of a large file
}  // namespace

// Kept out of line: inlined, a free() would seem to meet a pointer from new.
[[gnu::noinline]] void* operator new(std::size_t size) {
    allocatedBytes += size;
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* block) noexcept {
    std::free(block);
}
[[gnu::noinline]] void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

namespace lumark {
namespace {

namespace fs = std::filesystem;
using Ini::ReadIniValue;
using Ini::WriteIniValue;
using Ini::WriteIniValueIfChanged;

class IniTest : public ::testing::Test {
  protected:
    IniTest() {
        std::random_device random;
        do {
            directory_ = fs::temp_directory_path() / ("lumark-ini-" + std::to_string(random()));
        } while (!fs::create_directory(directory_));
        file = (directory_ / "Lumark.ini").string();
    }
    ~IniTest() override {
        std::error_code ignored;
        fs::remove_all(directory_, ignored);
    }

    void WriteFile(const std::string& bytes) const {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    std::string FileBytes() const {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    std::string file;

  private:
    fs::path directory_;
};

TEST_F(IniTest, MissingFileGetsTheDefaultWritten) {
    EXPECT_EQ(ReadIniValue("Main", "LastDir", "C:", file), "C:");
#ifdef _WIN32
    EXPECT_EQ(FileBytes(), "[Main]\r\nLastDir=C:\r\n");
#else
    EXPECT_EQ(FileBytes(), "[Main]\nLastDir=C:\n");
#endif
    EXPECT_EQ(ReadIniValue("Main", "LastDir", "", file), "C:");
}

TEST_F(IniTest, EmptyDefaultOnMissingKeyWritesNothing) {
    EXPECT_EQ(ReadIniValue("Main", "LastDir", "", file), "");
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(IniTest, EmptyValueCountsAsMissing) {
    const char* emptyValues[] = {"LastDir=\n", "LastDir=   \n", "LastDir=\"\"\n"};
    for (const char* line : emptyValues) {
        WriteFile(std::string("[Main]\n") + line + "Other=1\n");
        EXPECT_EQ(ReadIniValue("Main", "LastDir", "C:", file), "C:") << line;
        EXPECT_EQ(FileBytes(), "[Main]\nLastDir=C:\nOther=1\n") << line;
    }
}

TEST_F(IniTest, StoredValuesComeBackAsWritten) {
    const std::string values[] = {R"(C:\Data\Vis)", "/data/vis", "C:", R"(\\server\share\)",
                                  "a=b;c"};
    for (const std::string& value : values) {
        ASSERT_EQ(WriteIniValue("Main", "LastDir", value, file), -1);
        EXPECT_EQ(ReadIniValue("Main", "LastDir", "C:", file), value);
    }
}

TEST_F(IniTest, ReadTrimsBlanksAndOnePairOfQuotes) {
    WriteFile("[Main]\nA =  spaced out  \nB=\"quoted \"\nC=\"\"twice\"\"\nD=\"open\n");
    EXPECT_EQ(ReadIniValue("Main", "A", "", file), "spaced out");
    EXPECT_EQ(ReadIniValue("Main", "B", "", file), "quoted ");
    EXPECT_EQ(ReadIniValue("Main", "C", "", file), "\"twice\"");
    EXPECT_EQ(ReadIniValue("Main", "D", "", file), "\"open");
}

TEST_F(IniTest, NamesMatchWithoutCaseAndBlanks) {
    WriteFile("[ main ]\n lastdir = D:\\Vis\n");
    EXPECT_EQ(ReadIniValue("MAIN", "LastDir", "C:", file), "D:\\Vis");
    ASSERT_EQ(WriteIniValue("Main", "LASTDIR", "E:", file), -1);
    EXPECT_EQ(FileBytes(), "[ main ]\nLASTDIR=E:\n");
}

TEST_F(IniTest, LongValuesAreCut) {
    const std::string longValue(300, 'x');
    ASSERT_EQ(WriteIniValue("Main", "LastDir", longValue, file), -1);
    EXPECT_EQ(ReadIniValue("Main", "LastDir", "C:", file), std::string(254, 'x'));
}

TEST_F(IniTest, KeyOfAnotherSectionDoesNotCount) {
    WriteFile("[Other]\nLastDir=D:\n;[Main]\n; LastDir=E:\n");
    EXPECT_EQ(ReadIniValue("Main", "LastDir", "", file), "");
    EXPECT_EQ(ReadIniValue("Other", "LastDir", "", file), "D:");
}

struct WriteCase {
    const char* Name;
    const char* Before;
    const char* After;
};

TEST_F(IniTest, WriteKeepsEverythingElseInPlace) {
    const WriteCase cases[] = {
        {"replace", "; settings\n[Main]\nA=1\nLastDir=old\nB=2\n\n[Other]\nLastDir=x\n",
         "; settings\n[Main]\nA=1\nLastDir=new\nB=2\n\n[Other]\nLastDir=x\n"},
        {"new key after the last key", "[Main]\nA=1\n; note\n\n[Other]\nB=2\n",
         "[Main]\nA=1\nLastDir=new\n; note\n\n[Other]\nB=2\n"},
        {"new key in an empty section", "[Main]\n[Other]\nB=2\n",
         "[Main]\nLastDir=new\n[Other]\nB=2\n"},
        {"new section", "[Other]\nB=2", "[Other]\nB=2\n[Main]\nLastDir=new\n"},
        {"CR LF kept", "[Other]\r\nB=2\r\n", "[Other]\r\nB=2\r\n[Main]\r\nLastDir=new\r\n"},
        {"CR LF replace", "[Main]\r\nLastDir=old\r\nB=2", "[Main]\r\nLastDir=new\r\nB=2"},
        {"last line without line end", "[Main]\nA=1", "[Main]\nA=1\nLastDir=new\n"},
        {"file cut after a CR", "[Main]\nA=1\r", "[Main]\nA=1\r\nLastDir=new\n"},
        {"CR line end replaced", "[Main]\nLastDir=old\r", "[Main]\nLastDir=new\r"},
        {"first of two sections", "[Main]\nA=1\n[Main]\nLastDir=old\n",
         "[Main]\nA=1\nLastDir=new\n[Main]\nLastDir=old\n"},
    };
    for (const WriteCase& c : cases) {
        WriteFile(c.Before);
        EXPECT_EQ(WriteIniValue("Main", "LastDir", "new", file), -1) << c.Name;
        EXPECT_EQ(FileBytes(), c.After) << c.Name;
    }
}

TEST_F(IniTest, ValuesThatWouldBreakTheFileAreRefused) {
    WriteFile("[Main]\nLastDir=old\n");
    const std::string bad[][3] = {
        {"Main", "LastDir", "/data\n[Evil]\nX=1"},
        {"Main", "LastDir", std::string("a\0b", 3)},
        {"Main", "LastDir", "a\rb"},
        {"Ma]in", "LastDir", "x"},
        {"Main", "Last=Dir", "x"},
        {"Main", "", "x"},
        {"", "LastDir", "x"},
        {"Main", ";LastDir", "x"},
    };
    for (const auto& entry : bad) {
        EXPECT_EQ(WriteIniValue(entry[0], entry[1], entry[2], file), 0) << entry[2];
    }
    EXPECT_EQ(FileBytes(), "[Main]\nLastDir=old\n");
}

TEST_F(IniTest, WriteFailureReturnsZero) {
    const std::string inMissingFolder = file + "-missing/Lumark.ini";
    EXPECT_EQ(WriteIniValue("Main", "LastDir", "C:", inMissingFolder), 0);
    EXPECT_EQ(ReadIniValue("Main", "LastDir", "C:", inMissingFolder), "C:");
}

// A settings file that is not a plain small file is the user's business: it is neither read
// (a pipe would hang, a device or a huge file fill the memory) nor replaced.
TEST_F(IniTest, OnlyARegularFileOfAtMostOneMiBIsReadOrWritten) {
    const std::string entry = "[Main]\nLastDir=/kept\n";
    const std::string tooLarge = entry + std::string(1024 * 1024 + 1 - entry.size(), ';');
    struct Odd {
        const char* name;
        std::function<void()> make;
        std::function<bool()> unchanged;
    };
    const std::vector<Odd> cases = {
#ifndef _WIN32
        {"a pipe", [&] { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); },
         [&] { return fs::is_fifo(file); }},
        {"a link to /dev/zero", [&] { fs::create_symlink("/dev/zero", file); },
         [&] { return fs::is_symlink(file) && fs::read_symlink(file) == "/dev/zero"; }},
#endif
        {"a folder", [&] { fs::create_directory(file); },
         [&] { return fs::is_directory(file) && fs::is_empty(file); }},
        {"one byte over 1 MiB", [&] { WriteFile(tooLarge); },
         [&] { return FileBytes() == tooLarge; }},
    };
    for (const Odd& c : cases) {
        SCOPED_TRACE(c.name);
        std::error_code ignored;
        fs::remove(file, ignored);
        c.make();
        EXPECT_EQ(ReadIniValue("Main", "LastDir", "C:", file), "C:");
        EXPECT_EQ(WriteIniValue("Main", "LastDir", "/new", file), 0);
        EXPECT_TRUE(c.unchanged());
    }

    const std::string largest = entry + std::string(1024 * 1024 - entry.size(), ';');
    fs::remove(file);
    WriteFile(largest);
    EXPECT_EQ(ReadIniValue("Main", "LastDir", "C:", file), "/kept") << "exactly 1 MiB is read";
}

// Reading and storing a setting costs a few times the file's size, however its lines fall.
TEST_F(IniTest, ALargeFileCostsAFewTimesItsSizeWhateverItsLines) {
    const std::string entry = "\n[Main]\nLastDir=/kept\n";
    const std::size_t size = 1024 * 1024;  // the largest file read
    // Empty lines, empty CR LF lines, short entries, one long line.
    for (const std::string line : {"\n", "\r\n", "a=1\n", "x"}) {
        SCOPED_TRACE(line);
        std::string bytes;
        while (bytes.size() + line.size() + entry.size() <= size) {
            bytes += line;
        }
        WriteFile(bytes + std::string(size - bytes.size() - entry.size(), ';') + entry);
        allocatedBytes = 0;
        EXPECT_EQ(ReadIniValue("Main", "LastDir", "", file), "/kept");
        EXPECT_LE(allocatedBytes, 3 * size);
        allocatedBytes = 0;
        EXPECT_EQ(WriteIniValue("Main", "Other", "1", file), -1);
        EXPECT_LE(allocatedBytes, 8 * size);
    }
}

// An open that finds "LastDir" already right leaves the file alone.
TEST_F(IniTest, UnchangedValueIsNotWrittenAgain) {
    const std::string before = "; mine\n[Main]\nLastDir = /data/vis\nOther=1\n";
    WriteFile(before);
    const auto inode = [&] {
        struct stat info {};
        EXPECT_EQ(::stat(file.c_str(), &info), 0);
        return info.st_ino;
    };
    const ino_t original = inode();
    EXPECT_EQ(WriteIniValueIfChanged("Main", "LastDir", "/data/vis", file), -1);
    EXPECT_EQ(inode(), original) << "not replaced";
    EXPECT_EQ(FileBytes(), before);

    EXPECT_EQ(WriteIniValueIfChanged("Main", "LastDir", "/data/other", file), -1);
    EXPECT_EQ(FileBytes(), "; mine\n[Main]\nLastDir=/data/other\nOther=1\n");

    fs::remove(file);
    EXPECT_EQ(WriteIniValueIfChanged("Main", "LastDir", "/data/vis", file), -1);
#ifdef _WIN32
    EXPECT_EQ(FileBytes(), "[Main]\r\nLastDir=/data/vis\r\n");
#else
    EXPECT_EQ(FileBytes(), "[Main]\nLastDir=/data/vis\n");
#endif
}

// Texts go into the file in the system's code page where it holds all of them, else in UTF-8;
// either way they come back as they were. Elsewhere than on Windows the code page is UTF-8.
TEST_F(IniTest, FolderNamesOfAnyScriptComeBack) {
    const bool western = platform::ToCodePage("Ä") == std::string("\xC4");
#ifdef _WIN32
    if (!western) {
        GTEST_SKIP() << "the expected bytes are those of the Western code page";
    }
    const std::string eol = "\r\n";
#else
    const std::string eol = "\n";
#endif
    struct Case {
        const char* Value;
        const char* WesternBytes;
    };
    const Case cases[] = {
        {"C:\\Daten\\Äpfel", "C:\\Daten\\\xC4pfel"},
        {"C:\\Данные", "C:\\Данные"},
        // One letter the code page lacks takes the whole text to UTF-8.
        {"C:\\Ω\\Äpfel", "C:\\Ω\\Äpfel"},
        {"C:\\Data", "C:\\Data"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(WriteIniValue("Main", "LastDir", c.Value, file), -1) << c.Value;
        EXPECT_EQ(FileBytes(), "[Main]" + eol + "LastDir=" +
                                   std::string(western ? c.WesternBytes : c.Value) + eol)
            << c.Value;
        EXPECT_EQ(ReadIniValue("Main", "LastDir", "C:", file), c.Value);
    }
}

}  // namespace
}  // namespace lumark
