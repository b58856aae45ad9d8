#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "VisibilityDocument.h"

namespace lumark {

// Reads the visibility file at `path` into `doc`: VersionText, BlockCount and rows
// 1..BlockCount. On any failure a LumarkError naming the file and line is thrown and `doc` is
// left exactly as it was. FilePath and UnsavedChanges are never touched.
void ReadVisibilityFile(VisibilityDocument& doc, const std::string& path);

// The value of the longest tail of `text` that reads as a number, 0 if none does. Throws a
// LumarkError (without file or line) when that number does not fit in 16 bits.
std::int16_t GetTrailingNumber(std::string_view text);

}  // namespace lumark
