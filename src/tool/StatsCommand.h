#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace lumark::tool {

enum class StatsFormat { Text, Csv, Json };

// `lumark-tool stats FILE... [--format text|csv|json] [--blocks]`: the figures of each file
// that reads (block count, layout, entries, one-way pairs, blocks with holes, the spread of
// "sees" and "seen by") and with `perBlock` each block's, to `out`; files that do not read are
// named on `err`. ExitOk when every file reads, ExitFailed otherwise.
int StatsFiles(const std::vector<std::string>& paths, StatsFormat format, bool perBlock,
               std::ostream& out, std::ostream& err);

}  // namespace lumark::tool
