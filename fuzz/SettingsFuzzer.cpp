// Feeds arbitrary bytes to the settings reader and writer as the settings file, and does what
// the program does with it: read the last folder, with and without a default, and store a new
// one. A value read must fit the platform's buffer; a value stored must read back as stored and
// leave the other entries as they read before. Anything else (a crash, a sanitizer report, an
// exception out of a call that promises none) is a finding.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Ini.h"

namespace {

namespace ini = lumark::Ini;

// Written into a folder of its own, since a store puts a temporary file beside the target. In
// memory where possible, as the reader's target does.
class ScratchFile {
  public:
    ScratchFile() {
        const char* base = std::getenv("TMPDIR");
        if (base == nullptr) {
            base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        }
        std::string folder = std::string(base) + "/lumark-settings-fuzz-XXXXXX";
        if (::mkdtemp(folder.data()) == nullptr) {
            std::perror(folder.c_str());
            std::abort();
        }
        folder_ = folder;
        path_ = folder_ + "/Lumark.ini";
    }
    ~ScratchFile() {
        ::unlink(path_.c_str());
        ::rmdir(folder_.c_str());
    }

    const std::string& Write(std::string_view bytes) const {
        FILE* file = std::fopen(path_.c_str(), "wb");
        if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
            std::fclose(file) != 0) {
            std::perror(path_.c_str());
            std::abort();
        }
        return path_;
    }

  private:
    std::string folder_;
    std::string path_;
};

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// The entries the program uses and two it does not, one of them in another section.
struct Name {
    const char* Section;
    const char* Key;
};
constexpr Name LastDir{"Main", "LastDir"};
constexpr Name Others[] = {{"Main", "Other"}, {"Extra", "LastDir"}};

std::string Read(const Name& name, const std::string& defaultValue, const std::string& file) {
    const std::string value = ini::ReadIniValue(name.Section, name.Key, defaultValue, file);
    Require(value.size() <= 254, "a value longer than the buffer");
    Require(value.find('\0') == std::string::npos, "a value holding a NUL");
    return value;
}

// A store must change only its own entry.
void Store(const std::string& value, std::string_view bytes, const ScratchFile& scratch) {
    const std::string& file = scratch.Write(bytes);
    std::string before[std::size(Others)];
    for (std::size_t i = 0; i < std::size(Others); ++i) {
        before[i] = Read(Others[i], "", file);
    }
    Require(ini::WriteIniValueIfChanged(LastDir.Section, LastDir.Key, value, file) == -1,
            "a store into a readable file failed");
    Require(Read(LastDir, "", file) == value, "a stored value reads back differently");
    for (std::size_t i = 0; i < std::size(Others); ++i) {
        Require(Read(Others[i], "", file) == before[i], "a store changed another entry");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile scratch;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // Without a default nothing is written.
    const std::string& file = scratch.Write(bytes);
    const std::string stored = Read(LastDir, "", file);
    // With one, a missing value is stored and then reads back.
    const std::string withDefault = Read(LastDir, "C:", file);
    Require(withDefault == (stored.empty() ? "C:" : stored), "the default is not taken");
    Require(Read(LastDir, "", file) == withDefault, "the default did not stay");

    Store("/data/vis", bytes, scratch);
    Store(std::string(254, 'x'), bytes, scratch);
    return 0;
}
