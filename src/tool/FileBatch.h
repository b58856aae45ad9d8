#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>

namespace lumark::tool {

// What the work on one file printed, kept until the files before it have been printed.
struct FileReport {
    std::string out;
    std::string err;
    bool ok = true;
};

// Runs `work` for files 0 to count - 1 on a few threads, one per core, and hands each report
// to `print` in file order as soon as it and all before it are done: files are read and
// checked side by side, and what is printed stays in the order of the files. `work` must touch
// nothing shared. One file is worked on in the calling thread.
void ForEachFileInOrder(std::size_t count, const std::function<FileReport(std::size_t)>& work,
                        const std::function<void(FileReport&)>& print);

// Prints a report: its output to `out`, then its errors to `err` after `out` has been flushed,
// so that on a terminal each error stands after what came before it.
void PrintReport(const FileReport& report, std::ostream& out, std::ostream& err);

}  // namespace lumark::tool
