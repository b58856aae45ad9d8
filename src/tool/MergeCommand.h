#pragma once

#include <ostream>
#include <string>

namespace lumark::tool {

// `lumark-tool merge BASE OURS THEIRS [-o OUT]`: merges the changes from BASE to OURS and to
// THEIRS element by element and writes the result atomically to `outPath` ("-" for `out`),
// then says on `out` what came from each side and warns of one-way pairs the merge made.
// Conflicts are named on `err` as "CONFLICT: ..." and nothing is written; ExitFailed then, as
// when a file cannot be read or written.
int MergeFiles(const std::string& base, const std::string& ours, const std::string& theirs,
               const std::string& outPath, std::ostream& out, std::ostream& err);

}  // namespace lumark::tool
