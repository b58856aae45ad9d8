#include "DiffCommand.h"

#include <algorithm>
#include <optional>

#include "ExitCode.h"
#include "LumarkError.h"
#include "RelationChanges.h"
#include "ToolOutput.h"
#include "VisibilityReader.h"

namespace lumark::tool {

int DiffFiles(const std::string& before, const std::string& after, bool byBlock, std::ostream& out,
              std::ostream& err) {
    // Both files are read, so that both are named when both fail.
    const std::optional<VisibilityDocument> a = ReadOrReport(before, err);
    const std::optional<VisibilityDocument> b = ReadOrReport(after, err);
    if (!a || !b) {
        return ExitDiffTrouble;
    }
    bool changed = false;
    const std::vector<std::string> changes =
        byBlock ? RelationChangesByBlock(*a, *b, changed) : RelationChanges(*a, *b);
    changed = changed || (!byBlock && !changes.empty());
    for (const std::string& change : changes) {
        out << change << '\n';
    }
    if (!FlushOrReport(out, err)) {
        return ExitDiffTrouble;
    }
    return changed ? ExitDifferent : ExitOk;
}

}  // namespace lumark::tool
