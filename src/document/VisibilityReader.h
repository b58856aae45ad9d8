#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "VisibilityDocument.h"

namespace lumark {

// Reads the visibility file at `path` into `doc`: VersionText, BlockCount and rows
// 1..BlockCount. On any failure a LumarkError naming the file and line is thrown and `doc` is
// left exactly as it was. FilePath and UnsavedChanges are never touched.
void ReadVisibilityFile(VisibilityDocument& doc, const std::string& path);

// What a read meets that the document does not keep, so that a save changes it silently.
// Blocks are 1-based matrix indices of sections; lines are file line numbers.
struct ReadReport {
    struct Entry {
        long Line;
        int Block;
        std::int32_t Listed;  // the 0-based block number on the line
    };
    struct Section {
        long Line;  // the section's first line
        int Block;
    };
    std::vector<Entry> Repeated;       // listed earlier in the same section
    std::vector<Entry> BeyondCount;    // at or above BlockCount: stored, never written
    std::vector<Section> WithoutSelf;  // the writer lists every block in its own section
    // The file holds exactly the bytes a save would write for what was read.
    bool InWriterForm = false;
};

// The same read, also filling `report` (emptied first); complete only when the read succeeds.
void ReadVisibilityFile(VisibilityDocument& doc, const std::string& path, ReadReport& report);

// The value of the longest tail of `text` that reads as a number, 0 if none does. Throws a
// LumarkError (without file or line) when that number does not fit in 16 bits.
std::int16_t GetTrailingNumber(std::string_view text);

}  // namespace lumark
