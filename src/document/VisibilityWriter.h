#pragma once

#include <cstdint>
#include <string>

#include "VisibilityDocument.h"

namespace lumark {

// The exact bytes that WriteVisibilityFile writes for `doc`.
std::string FormatVisibilityFile(const VisibilityDocument& doc);

// Writes `doc` to `path` in the layout VersionText names, atomically: on failure a LumarkError
// is thrown and an existing file is left intact.
void WriteVisibilityFile(const VisibilityDocument& doc, const std::string& path);

// Appends the line candidate - 1 to `out` when candidate <= BlockCount and the viewer sees it;
// returns the number written, or -1 when nothing was written.
std::int16_t WriteIfVisible(const VisibilityDocument& doc, std::string& out, std::int16_t viewer,
                            std::int16_t candidate);

}  // namespace lumark
