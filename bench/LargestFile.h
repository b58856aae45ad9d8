#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

#include "AtomicFile.h"
#include "RingDocument.h"
#include "VisibilityWriter.h"

namespace lumark {

// The largest document: 300 blocks that all see each other, in the old layout, whose file
// always has 2 + 300 x 301 lines. Written once into a directory that lives for the whole run.
class LargestFile {
  public:
    static const LargestFile& Get() {
        static const LargestFile file;
        return file;
    }

    std::string directory;
    std::string path;
    VisibilityDocument doc = MakeRingDocument(300, 150, "1.000000");
    std::string bytes = FormatVisibilityFile(doc);

    LargestFile(const LargestFile&) = delete;
    LargestFile& operator=(const LargestFile&) = delete;
    ~LargestFile() {
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::u8path(directory), ignored);
    }

  private:
    LargestFile() {
        namespace fs = std::filesystem;
        std::random_device random;
        for (int attempt = 0; directory.empty(); ++attempt) {
            const fs::path candidate =
                fs::temp_directory_path() / ("lumark-bench-" + std::to_string(random()));
            if (fs::create_directory(candidate)) {
                directory = candidate.u8string();
            } else if (attempt > 100) {
                throw std::runtime_error("cannot make a folder for the benchmark's file");
            }
        }
        path = (fs::u8path(directory) / "visibility.txt").u8string();
        WriteFileAtomically(path, bytes);
    }
};

}  // namespace lumark
