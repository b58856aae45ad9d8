#pragma once

#include <string>

#include "PathStyle.h"

namespace lumark::Lumark_Allgemein {

// The directory part of `path` without its trailing separator, or the empty text.
std::string ExtractDirectory(const std::string& path, PathStyle style = HostPathStyle);

// `path` without one trailing separator.
std::string StripTrailingBackslash(const std::string& path, PathStyle style = HostPathStyle);

// True when the folder holds at least one ordinary file (not hidden, not a folder).
bool DirectoryHasFiles(const std::string& folder);

}  // namespace lumark::Lumark_Allgemein
