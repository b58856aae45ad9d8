#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "LumarkError.h"
#include "VisibilityDocument.h"

namespace lumark::tool {

// The path that stands for standard output.
constexpr const char* StandardOutput = "-";

// Writes "PATH: error: [line N: ]PROBLEM" for an error met on the file at `path` (the error's
// own path where it names one, such as a symbolic link's target).
void ReportFileError(std::ostream& err, const std::string& path, const LumarkError& error);

// The document in the file at `path`, or nothing once its error has been reported on `err`.
std::optional<VisibilityDocument> ReadOrReport(const std::string& path, std::ostream& err);

// Flushes standard output `out`; false once a failure to write it has been reported on `err`.
bool FlushOrReport(std::ostream& out, std::ostream& err);

// Writes `bytes` atomically to `path`, or to `out` when `path` is "-". Reports a failure on
// `err`; false then, and no file has been changed.
bool WriteOutput(std::string_view bytes, const std::string& path, std::ostream& out,
                 std::ostream& err);

// Writes `doc` as the editor's Save would: atomically to `path`, or to `out` when `path` is
// "-". Reports a failure on `err`; false then, and no file has been changed.
bool WriteDocument(const VisibilityDocument& doc, const std::string& path, std::ostream& out,
                   std::ostream& err);

// "block 7 sees 12, not seen back" for a pair seen one way only, from 1-based indices.
std::string OneWayPairText(int viewer, int seen);

}  // namespace lumark::tool
