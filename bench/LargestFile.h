#pragma once

#include <ftw.h>
#include <stdlib.h>

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
        ::nftw(
            directory.c_str(),
            [](const char* entry, const struct stat*, int, struct FTW*) { return ::remove(entry); },
            8, FTW_DEPTH | FTW_PHYS);
    }

  private:
    LargestFile() {
        char name[] = "/tmp/lumark-bench-XXXXXX";
        if (::mkdtemp(name) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        directory = name;
        path = directory + "/visibility.txt";
        WriteFileAtomically(path, bytes);
    }
};

}  // namespace lumark
