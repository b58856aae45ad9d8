#include "MergeCommand.h"

#include <algorithm>
#include <optional>

#include "ExitCode.h"
#include "RelationMerge.h"
#include "ToolOutput.h"

namespace lumark::tool {

namespace {

// A few pairs say what happened; the count says how much.
constexpr std::size_t PairsShown = 5;

const char* SideName(MergeSide side) {
    return side == MergeSide::Ours ? "ours" : "theirs";
}

void Report(const RelationMerge& merge, std::ostream& report) {
    const VisibilityDocument& merged = merge.Merged;
    if (merge.BlockCountFrom != MergeSide::Both) {
        report << "merged: block count " << merged.BlockCount << " from "
               << SideName(merge.BlockCountFrom) << '\n';
    }
    if (merge.LayoutFrom != MergeSide::Both) {
        report << "merged: layout " << merged.VersionText << " from " << SideName(merge.LayoutFrom)
               << '\n';
    }
    report << "merged: " << merge.FromOurs << " entries from ours, " << merge.FromTheirs
           << " from theirs\n";
    const std::size_t pairs = merge.NewOneWay.size();
    if (pairs == 0) {
        return;
    }
    report << "warning: " << pairs << " one-way pairs that neither side had\n";
    const std::size_t shown = std::min(pairs, PairsShown);
    for (std::size_t i = 0; i < shown; ++i) {
        report << "warning: " << OneWayPairText(merge.NewOneWay[i].first, merge.NewOneWay[i].second)
               << '\n';
    }
    if (pairs > shown) {
        report << "warning: " << pairs - shown << " more like these\n";
    }
}

}  // namespace

int MergeFiles(const std::string& base, const std::string& ours, const std::string& theirs,
               const std::string& outPath, std::ostream& out, std::ostream& err) {
    // All three are read, so that every file that fails is named.
    const std::optional<VisibilityDocument> baseDoc = ReadOrReport(base, err);
    const std::optional<VisibilityDocument> oursDoc = ReadOrReport(ours, err);
    const std::optional<VisibilityDocument> theirsDoc = ReadOrReport(theirs, err);
    if (!baseDoc || !oursDoc || !theirsDoc) {
        return ExitFailed;
    }
    const RelationMerge merge = MergeRelations(*baseDoc, *oursDoc, *theirsDoc);
    if (!merge.Conflicts.empty()) {
        for (const std::string& conflict : merge.Conflicts) {
            err << "CONFLICT: " << conflict << '\n';
        }
        err.flush();
        return ExitFailed;
    }
    if (!WriteDocument(merge.Merged, outPath, out, err)) {
        return ExitFailed;
    }
    // With the merge on standard output, what was taken goes beside the errors.
    std::ostream& report = outPath == StandardOutput ? err : out;
    Report(merge, report);
    report.flush();
    return FlushOrReport(out, err) ? ExitOk : ExitFailed;
}

}  // namespace lumark::tool
