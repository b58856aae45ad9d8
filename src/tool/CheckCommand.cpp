#include "CheckCommand.h"

#include <algorithm>
#include <optional>

#include "ExitCode.h"
#include "LumarkError.h"
#include "ToolOutput.h"
#include "VisibilityReader.h"
#include "VisibilityWriter.h"
#include "WriterForm.h"

namespace lumark::tool {

namespace {

// A file can hold tens of thousands of oddities; the first few say enough.
constexpr std::size_t WarningsShown = 20;

struct Warning {
    long line;
    std::string text;
};

std::string BlockNumber(int block) {
    return std::to_string(block - 1);
}

// What a save would change, as warnings in file order.
std::vector<Warning> SaveChanges(const ReadReport& report, std::int16_t blockCount) {
    std::vector<Warning> warnings;
    for (const ReadReport::Entry& entry : report.BeyondCount) {
        warnings.push_back({entry.Line, "block " + BlockNumber(entry.Block) + " lists block " +
                                            std::to_string(entry.Listed) +
                                            ", at or above the block count " +
                                            std::to_string(blockCount) + "; a save drops it"});
    }
    for (const ReadReport::Entry& entry : report.Repeated) {
        warnings.push_back({entry.Line, "block " + BlockNumber(entry.Block) + " lists block " +
                                            std::to_string(entry.Listed) +
                                            " again; a save lists it once"});
    }
    for (const ReadReport::Section& section : report.WithoutSelf) {
        warnings.push_back({section.Line, "the section of block " + BlockNumber(section.Block) +
                                              " does not list block " + BlockNumber(section.Block) +
                                              "; a save adds it"});
    }
    std::stable_sort(warnings.begin(), warnings.end(),
                     [](const Warning& a, const Warning& b) { return a.line < b.line; });
    return warnings;
}

// Checks one file; false when it does not read.
bool CheckFile(const std::string& path, std::ostream& out, std::ostream& err) {
    VisibilityDocument doc;
    ReadReport report;
    std::optional<std::string> difference;
    try {
        ReadVisibilityFile(doc, path, report);
        difference = FirstDifferenceFromWriter(path, FormatVisibilityFile(doc));
    } catch (const LumarkError& e) {
        out.flush();
        ReportFileError(err, path, e);
        return false;
    }
    out << path << ": ok, layout " << doc.VersionText << ", " << doc.BlockCount << " blocks\n";

    const std::vector<Warning> warnings = SaveChanges(report, doc.BlockCount);
    const std::size_t shown = std::min(warnings.size(), WarningsShown);
    for (std::size_t i = 0; i < shown; ++i) {
        out << path << ": warning: line " << warnings[i].line << ": " << warnings[i].text << '\n';
    }
    if (warnings.size() > shown) {
        out << path << ": warning: " << warnings.size() - shown << " more like these\n";
    }
    if (difference) {
        out << path << ": warning: not in the form a save writes: " << *difference << '\n';
    }
    return true;
}

}  // namespace

int CheckFiles(const std::vector<std::string>& paths, std::ostream& out, std::ostream& err) {
    bool allRead = true;
    for (const std::string& path : paths) {
        allRead = CheckFile(path, out, err) && allRead;
    }
    out.flush();
    return allRead ? ExitOk : ExitFailed;
}

}  // namespace lumark::tool
