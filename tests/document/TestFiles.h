#pragma once

#ifndef _WIN32
#include <dirent.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "VisibilityDocument.h"

namespace lumark::test {

#ifdef _WIN32
// A fresh folder in the user's temporary folder, removed with everything in it at the end of
// the test. Its path is UTF-8.
class TempDir {
  public:
    TempDir() {
        namespace fs = std::filesystem;
        static unsigned counter = 0;
        const fs::path base = fs::temp_directory_path();
        for (int attempt = 0; path_.empty(); ++attempt) {
            const fs::path candidate = base / ("lumark-test-" + std::to_string(std::rand()) + "-" +
                                               std::to_string(++counter));
            if (fs::create_directory(candidate)) {
                path_ = candidate.u8string();  // with '\\', as the system's dialogs give it
            } else if (attempt > 100) {
                throw std::runtime_error("cannot make a test folder");
            }
        }
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::u8path(path_), ignored);
    }

    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry :
             std::filesystem::directory_iterator(std::filesystem::u8path(path_))) {
            names.push_back(entry.path().filename().u8string());
        }
        return names;
    }

  private:
    std::string path_;
};
#else
// A fresh directory under /tmp, removed with everything in it at the end of the test.
class TempDir {
  public:
    TempDir() {
        char name[] = "/tmp/lumark-test-XXXXXX";
        if (::mkdtemp(name) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = name;
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        // Children before their directory, and symbolic links themselves, not their targets.
        ::nftw(
            path_.c_str(),
            [](const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); },
            16, FTW_DEPTH | FTW_PHYS);
    }

    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        if (DIR* dir = ::opendir(path_.c_str())) {
            while (const dirent* entry = ::readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..") {
                    names.push_back(name);
                }
            }
            ::closedir(dir);
        }
        return names;
    }

  private:
    std::string path_;
};
#endif

// Paths are UTF-8 on every system.
inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write test file " + path);
    }
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Joins lines, each followed by CR LF.
inline std::string CrLfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

// Splits text written with CR LF line ends; the end of the text is no extra line.
inline std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

inline bool SameDocument(const VisibilityDocument& a, const VisibilityDocument& b) {
    return a.Matrix == b.Matrix && a.VersionText == b.VersionText && a.BlockCount == b.BlockCount;
}

}  // namespace lumark::test
