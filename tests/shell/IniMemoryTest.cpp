// Reading and storing a setting costs a few times the settings file's size, however its lines
// fall. A test binary of its own: it counts every allocation through a replaced operator new.
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "Ini.h"

namespace {
std::atomic<std::size_t> allocatedBytes{0};
}  // namespace

void* operator new(std::size_t size) {
    allocatedBytes += size;
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

namespace lumark {
namespace {

namespace fs = std::filesystem;

TEST(IniMemoryTest, ALargeFileCostsAFewTimesItsSizeWhateverItsLines) {
    const fs::path file =
        fs::temp_directory_path() / ("lumark-ini-memory-" + std::to_string(::getpid()) + ".ini");
    const std::string entry = "\n[Main]\nLastDir=/kept\n";
    const std::size_t size = 1024 * 1024;  // the largest file read
    const auto filled = [&](const std::string& line) {
        std::string bytes;
        while (bytes.size() + line.size() + entry.size() <= size) {
            bytes += line;
        }
        return bytes + std::string(size - bytes.size() - entry.size(), ';') + entry;
    };
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty lines", filled("\n")},
        {"empty CR LF lines", filled("\r\n")},
        {"short entries", filled("a=1\n")},
        {"one long line", filled(std::string(size, 'x'))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.bytes.size(), size);
        std::ofstream(file, std::ios::binary) << c.bytes;
        allocatedBytes = 0;
        EXPECT_EQ(Ini::ReadIniValue("Main", "LastDir", "", file.string()), "/kept");
        EXPECT_LE(allocatedBytes, 3 * size);
        allocatedBytes = 0;
        EXPECT_EQ(Ini::WriteIniValue("Main", "Other", "1", file.string()), -1);
        EXPECT_LE(allocatedBytes, 8 * size);
    }
    fs::remove(file);
}

}  // namespace
}  // namespace lumark
