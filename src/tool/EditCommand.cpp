#include "EditCommand.h"

#include <sstream>

#include "ExitCode.h"
#include "FileBatch.h"
#include "LumarkError.h"
#include "RelationChanges.h"
#include "ToolOutput.h"
#include "VisibilityReader.h"
#include "VisibilityWriter.h"

namespace lumark::tool {

namespace {

std::string Counted(int count, const char* one, const char* many) {
    return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

// "348 entries changed in 41 blocks", or "" when the relation is the same.
std::string ChangeSummary(const VisibilityDocument& before, const VisibilityDocument& after,
                          const char* verb) {
    int entries = 0;
    int blocks = 0;
    for (int viewer = 1; viewer <= after.BlockCount; ++viewer) {
        int inBlock = 0;
        for (int seen = 1; seen <= after.BlockCount; ++seen) {
            inBlock += before.IsVisible(viewer, seen) != after.IsVisible(viewer, seen);
        }
        entries += inBlock;
        blocks += inBlock > 0;
    }
    if (entries == 0) {
        return {};
    }
    return Counted(entries, "entry ", "entries ") + verb + " in " +
           Counted(blocks, "block", "blocks");
}

FileReport EditFile(const std::string& path, const std::vector<EditStep>& steps,
                    const EditOptions& options) {
    FileReport report;
    std::ostringstream out;
    std::ostringstream err;
    report.ok = [&] {
        const std::optional<VisibilityDocument> before = ReadOrReport(path, err);
        if (!before) {
            return false;
        }
        VisibilityDocument after = *before;
        try {
            const std::string problem = RunEditSteps(after, steps);
            if (!problem.empty()) {
                ReportFileError(err, path, LumarkError(problem + "; the file is left as it was"));
                return false;
            }
        } catch (const LumarkError& e) {
            ReportFileError(err, path, e);
            return false;
        }
        const std::string summary =
            ChangeSummary(*before, after, options.dryRun ? "would change" : "changed");
        // With the file on standard output, what is said about it goes beside the errors.
        const bool fileToOut = !options.dryRun && options.output == std::string(StandardOutput);
        std::ostream& said = fileToOut ? err : out;
        if (options.dryRun) {
            bool changed = false;
            std::vector<std::string> lines = RelationChangesByBlock(*before, after, changed);
            lines.pop_back();  // the total, which the summary gives
            for (const std::string& line : lines) {
                said << path << ": " << line << '\n';
            }
        } else if (fileToOut) {
            out << FormatVisibilityFile(after);
        } else if ((options.output || !summary.empty()) &&
                   !WriteDocument(after, options.output.value_or(path), out, err)) {
            return false;
        }
        said << path << ": " << (summary.empty() ? "unchanged" : summary) << '\n';
        return true;
    }();
    report.out = out.str();
    report.err = err.str();
    return report;
}

}  // namespace

int EditFiles(const std::vector<std::string>& files, const std::vector<EditStep>& steps,
              const EditOptions& options, std::ostream& out, std::ostream& err) {
    bool allDone = true;
    ForEachFileInOrder(
        files.size(), [&](std::size_t i) { return EditFile(files[i], steps, options); },
        [&](FileReport& report) {
            PrintReport(report, out, err);
            allDone = allDone && report.ok;
        });
    if (!FlushOrReport(out, err)) {
        return ExitFailed;
    }
    return allDone ? ExitOk : ExitFailed;
}

}  // namespace lumark::tool
