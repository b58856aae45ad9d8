// Feeds arbitrary bytes to the reader as a file. A read must either succeed or throw a
// LumarkError that leaves the document as it was; what it read must save and read back to
// the same bytes. Anything else (a crash, a sanitizer report, another exception) is a finding.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "LumarkError.h"
#include "RingDocument.h"
#include "VisibilityReader.h"
#include "VisibilityWriter.h"

namespace {

using lumark::VisibilityDocument;

// The reader takes a path, so every input is written to one file, kept for the whole run. In
// memory where possible: on a disk file system, truncating and rewriting a file thousands of
// times a second makes every close wait for the disk.
class ScratchFile {
  public:
    ScratchFile() {
        const char* directory = std::getenv("TMPDIR");
        if (directory == nullptr) {
            directory = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        }
        path_ = std::string(directory) + "/lumark-fuzz-" + std::to_string(::getpid()) + ".txt";
    }
    ~ScratchFile() { ::unlink(path_.c_str()); }

    const std::string& Write(std::string_view bytes) const {
        const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0 ||
            ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
            std::perror(path_.c_str());
            std::abort();
        }
        ::close(fd);
        return path_;
    }

  private:
    std::string path_;
};

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

bool Same(const VisibilityDocument& a, const VisibilityDocument& b) {
    return a.Matrix == b.Matrix && a.VersionText == b.VersionText && a.BlockCount == b.BlockCount;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile scratch;
    static const VisibilityDocument before = lumark::MakeRingDocument(7, 2, "1.000000");
    // Kept across runs: a fresh 181 KB matrix per run would cost more than the read itself.
    static VisibilityDocument doc = before;
    static VisibilityDocument reread;

    const std::string& path = scratch.Write({reinterpret_cast<const char*>(data), size});
    lumark::ReadReport report;
    try {
        lumark::ReadVisibilityFile(doc, path, report);
    } catch (const lumark::LumarkError&) {
        Require(Same(doc, before), "a failed read changed the document");
        return 0;
    }
    Require(doc.VersionText == "1.2" || doc.VersionText == "1.000000", "unknown version read");
    Require(doc.BlockCount <= 300, "more than 300 blocks read");

    const std::string saved = lumark::FormatVisibilityFile(doc);
    doc = before;
    scratch.Write(saved);
    lumark::ReadVisibilityFile(reread, path);
    Require(lumark::FormatVisibilityFile(reread) == saved, "a saved file reads back differently");
    return 0;
}
