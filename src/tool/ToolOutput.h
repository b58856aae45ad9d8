#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "VisibilityDocument.h"

namespace lumark::tool {

// The path that stands for standard output.
constexpr const char* StandardOutput = "-";

// Writes "PATH: error: DETAIL". The path is taken out of `message` where it names it again,
// as the reader's and writer's messages do.
void ReportFileError(std::ostream& err, const std::string& path, const std::string& message);

// Writes `bytes` atomically to `path`, or to `out` when `path` is "-". Reports a failure on
// `err`; false then, and no file has been changed.
bool WriteOutput(std::string_view bytes, const std::string& path, std::ostream& out,
                 std::ostream& err);

// Writes `doc` as the editor's Save would: atomically to `path`, or to `out` when `path` is
// "-". Reports a failure on `err`; false then, and no file has been changed.
bool WriteDocument(const VisibilityDocument& doc, const std::string& path, std::ostream& out,
                   std::ostream& err);

}  // namespace lumark::tool
