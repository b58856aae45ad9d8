#include "DiffCommand.h"

#include <algorithm>
#include <optional>

#include "ExitCode.h"
#include "LumarkError.h"
#include "ToolOutput.h"
#include "VisibilityReader.h"

namespace lumark::tool {

std::vector<std::string> RelationChanges(const VisibilityDocument& before,
                                         const VisibilityDocument& after) {
    std::vector<std::string> changes;
    if (before.BlockCount != after.BlockCount) {
        changes.push_back("blocks: " + std::to_string(before.BlockCount) + " -> " +
                          std::to_string(after.BlockCount));
    }
    if (before.VersionText != after.VersionText) {
        changes.push_back("layout: " + before.VersionText + " -> " + after.VersionText);
    }
    const int common = std::min(before.BlockCount, after.BlockCount);
    for (int viewer = 1; viewer <= common; ++viewer) {
        for (int seen = 1; seen <= common; ++seen) {
            const bool was = before.IsVisible(viewer, seen);
            if (was != after.IsVisible(viewer, seen)) {
                changes.push_back("block " + std::to_string(viewer - 1) +
                                  (was ? " no longer sees " : " now sees ") +
                                  std::to_string(seen - 1));
            }
        }
    }
    return changes;
}

int DiffFiles(const std::string& before, const std::string& after, std::ostream& out,
              std::ostream& err) {
    // Both files are read, so that both are named when both fail.
    const std::optional<VisibilityDocument> a = ReadOrReport(before, err);
    const std::optional<VisibilityDocument> b = ReadOrReport(after, err);
    if (!a || !b) {
        return ExitDiffTrouble;
    }
    const std::vector<std::string> changes = RelationChanges(*a, *b);
    for (const std::string& change : changes) {
        out << change << '\n';
    }
    out.flush();
    if (!out) {
        err << "lumark-tool: cannot write to standard output\n";
        err.flush();
        return ExitDiffTrouble;
    }
    return changes.empty() ? ExitOk : ExitDifferent;
}

}  // namespace lumark::tool
