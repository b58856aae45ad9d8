#include "CheckCommand.h"

#include <algorithm>
#include <optional>
#include <sstream>

#include "ExitCode.h"
#include "FileBatch.h"
#include "FolderFiles.h"
#include "LumarkError.h"
#include "RelationPicture.h"
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

// Lines of warnings on one file, the first 20 shown and the rest counted.
void WriteWarnings(const std::string& path, const std::vector<std::string>& warnings,
                   std::ostream& out) {
    const std::size_t shown = std::min(warnings.size(), WarningsShown);
    for (std::size_t i = 0; i < shown; ++i) {
        out << path << ": warning: " << warnings[i] << '\n';
    }
    if (warnings.size() > shown) {
        out << path << ": warning: " << warnings.size() - shown << " more like these\n";
    }
}

// Every pair seen one way only, by the block that sees, then by the block seen.
std::vector<std::string> OneWayPairs(const VisibilityDocument& doc) {
    std::vector<std::string> pairs;
    for (int viewer = 1; viewer <= doc.BlockCount; ++viewer) {
        for (int seen = 1; seen <= doc.BlockCount; ++seen) {
            if (KindOf(doc, viewer, seen) == RelationKind::SeesOnly) {
                pairs.push_back(OneWayPairText(viewer, seen));
            }
        }
    }
    return pairs;
}

// Checks one file; false when it does not read.
bool CheckFile(const std::string& path, const CheckOptions& options, std::ostream& out,
               std::ostream& err) {
    VisibilityDocument doc;
    ReadReport report;
    std::optional<std::string> difference;
    try {
        ReadVisibilityFile(doc, path, report);
        if (!report.InWriterForm) {
            difference = FirstDifferenceFromWriter(path, FormatVisibilityFile(doc));
        }
    } catch (const LumarkError& e) {
        ReportFileError(err, path, e);
        return false;
    }
    out << path << ": ok, layout " << doc.VersionText << ", " << doc.BlockCount << " blocks\n";

    std::vector<std::string> saveChanges;
    for (const Warning& warning : SaveChanges(report, doc.BlockCount)) {
        saveChanges.push_back("line " + std::to_string(warning.line) + ": " + warning.text);
    }
    WriteWarnings(path, saveChanges, out);
    if (difference) {
        out << path << ": warning: not in the form a save writes: " << *difference << '\n';
    }
    if (options.mutual) {
        const std::vector<std::string> pairs = OneWayPairs(doc);
        if (!pairs.empty()) {
            out << path << ": warning: " << pairs.size() << " one-way pairs\n";
            WriteWarnings(path, pairs, out);
        }
    }
    return true;
}

}  // namespace

int CheckFiles(const std::vector<std::string>& paths, const CheckOptions& options,
               std::ostream& out, std::ostream& err) {
    // What is checked, in order: each FILE, and each FOLDER's files after what its walk
    // reported, which is printed in its place.
    struct Item {
        std::string file;
        FileReport walk;
    };
    std::vector<Item> items;
    for (const std::string& path : paths) {
        if (!IsFolder(path)) {
            items.push_back({path, {}});
            continue;
        }
        std::ostringstream walkErrors;
        bool failed = false;
        const std::vector<std::string> files = FilesBelow(path, options.name, walkErrors, failed);
        if (files.empty() && !failed) {
            ReportFileError(walkErrors, path,
                            LumarkError("no file named " + options.name + " below it"));
            failed = true;
        }
        if (failed) {
            items.push_back({{}, {{}, walkErrors.str(), false}});
        }
        for (const std::string& file : files) {
            items.push_back({file, {}});
        }
    }
    bool allRead = true;
    ForEachFileInOrder(
        items.size(),
        [&](std::size_t i) {
            if (items[i].file.empty()) {
                return items[i].walk;
            }
            std::ostringstream fileOut;
            std::ostringstream fileErr;
            FileReport report;
            report.ok = CheckFile(items[i].file, options, fileOut, fileErr);
            report.out = fileOut.str();
            report.err = fileErr.str();
            return report;
        },
        [&](FileReport& report) {
            PrintReport(report, out, err);
            allRead = allRead && report.ok;
        });
    out.flush();
    return allRead ? ExitOk : ExitFailed;
}

}  // namespace lumark::tool
