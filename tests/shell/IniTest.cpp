#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "Ini.h"

namespace lumark {
namespace {

namespace fs = std::filesystem;
using Ini::ReadIniValue;
using Ini::WriteIniValue;

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

}  // namespace
}  // namespace lumark
