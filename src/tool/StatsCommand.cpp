#include "StatsCommand.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <sstream>

#include "BlockSummary.h"
#include "ExitCode.h"
#include "FileBatch.h"
#include "ToolOutput.h"

namespace lumark::tool {

namespace {

// Min, median and max of a list of counts; nothing for an empty list.
struct Spread {
    int Min = 0;
    double Median = 0;
    int Max = 0;
};

std::optional<Spread> SpreadOf(std::vector<int> values) {
    if (values.empty()) {
        return std::nullopt;
    }
    std::sort(values.begin(), values.end());
    const std::size_t half = values.size() / 2;
    const double median =
        values.size() % 2 == 1 ? values[half] : (values[half - 1] + values[half]) / 2.0;
    return Spread{values.front(), median, values.back()};
}

// A median is a whole number or one half.
std::string NumberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

struct FileStats {
    std::string path;
    std::string layout;
    int blocks = 0;
    long entries = 0;
    long oneWayPairs = 0;
    int blocksWithHoles = 0;
    std::optional<Spread> sees;
    std::optional<Spread> seenBy;
    std::vector<BlockFigures> perBlock;
    std::vector<std::string> summaries;  // with --blocks only
};

FileStats StatsOf(const std::string& path, const VisibilityDocument& doc, bool perBlock) {
    FileStats stats;
    stats.path = path;
    stats.layout = doc.VersionText;
    stats.blocks = doc.BlockCount;
    std::vector<int> sees;
    std::vector<int> seenBy;
    for (int block = 1; block <= doc.BlockCount; ++block) {
        const BlockFigures figures = FiguresOf(doc, block);
        stats.entries += figures.Sees;
        // Each pair seen one way only is one block's "one way out".
        stats.oneWayPairs += figures.OneWayOut;
        stats.blocksWithHoles += figures.Holes;
        sees.push_back(figures.Sees);
        seenBy.push_back(figures.SeenBy);
        stats.perBlock.push_back(figures);
        if (perBlock) {
            stats.summaries.push_back(BlockSummary(doc, block));
        }
    }
    stats.sees = SpreadOf(sees);
    stats.seenBy = SpreadOf(seenBy);
    return stats;
}

// --- text

std::string SpreadText(const std::optional<Spread>& spread) {
    if (!spread) {
        return "none";
    }
    return "min " + std::to_string(spread->Min) + ", median " + NumberText(spread->Median) +
           ", max " + std::to_string(spread->Max);
}

void WriteText(const FileStats& stats, bool perBlock, std::ostream& out) {
    out << stats.path << ": layout " << stats.layout << ", " << stats.blocks << " blocks, "
        << stats.entries << " entries, " << stats.oneWayPairs << " one-way pairs, "
        << stats.blocksWithHoles << " blocks with holes\n";
    out << stats.path << ": sees " << SpreadText(stats.sees) << "; seen by "
        << SpreadText(stats.seenBy) << '\n';
    if (!perBlock) {
        return;
    }
    for (std::size_t i = 0; i < stats.perBlock.size(); ++i) {
        out << stats.path << ": " << stats.summaries[i] << "; back " << stats.perBlock[i].Back
            << ", ahead " << stats.perBlock[i].Ahead << '\n';
    }
}

// --- CSV, as a spreadsheet opens it: a field with a comma, a quote or a line end is quoted.

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + '"';
}

std::string CsvSpread(const std::optional<Spread>& spread) {
    if (!spread) {
        return ",,";
    }
    return std::to_string(spread->Min) + ',' + NumberText(spread->Median) + ',' +
           std::to_string(spread->Max);
}

void WriteCsvHeader(bool perBlock, std::ostream& out) {
    out << (perBlock ? "file,block,sees,seen_by,back,ahead,one_way_out,one_way_in\n"
                     : "file,layout,blocks,entries,one_way_pairs,blocks_with_holes,sees_min,"
                       "sees_median,sees_max,seen_by_min,seen_by_median,seen_by_max\n");
}

void WriteCsv(const FileStats& stats, bool perBlock, std::ostream& out) {
    const std::string file = CsvField(stats.path);
    if (!perBlock) {
        out << file << ',' << CsvField(stats.layout) << ',' << stats.blocks << ',' << stats.entries
            << ',' << stats.oneWayPairs << ',' << stats.blocksWithHoles << ','
            << CsvSpread(stats.sees) << ',' << CsvSpread(stats.seenBy) << '\n';
        return;
    }
    for (std::size_t i = 0; i < stats.perBlock.size(); ++i) {
        const BlockFigures& f = stats.perBlock[i];
        out << file << ',' << i << ',' << f.Sees << ',' << f.SeenBy << ',' << f.Back << ','
            << f.Ahead << ',' << f.OneWayOut << ',' << f.OneWayIn << '\n';
    }
}

// --- JSON

// The length of the UTF-8 sequence at `at`, or 0 when the bytes there are not one.
std::size_t Utf8Length(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

// A JSON string of `text`; file names are bytes, and a byte that is no UTF-8 becomes U+FFFD,
// so that every reader takes the output.
std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = Utf8Length(text, i);
            json += length > 0 ? text.substr(i, length) : "\\ufffd";
            i += std::max<std::size_t>(length, 1);
            continue;
        }
        if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            json += escaped;
        } else {
            json += static_cast<char>(c);
        }
        ++i;
    }
    return json + '"';
}

std::string JsonSpread(const std::optional<Spread>& spread) {
    if (!spread) {
        return "null";
    }
    return "{\"min\": " + std::to_string(spread->Min) +
           ", \"median\": " + NumberText(spread->Median) +
           ", \"max\": " + std::to_string(spread->Max) + "}";
}

void WriteJson(const FileStats& stats, bool perBlock, bool first, std::ostream& out) {
    out << (first ? "\n" : ",\n") << "  {\n"
        << "    \"file\": " << JsonString(stats.path) << ",\n"
        << "    \"layout\": " << JsonString(stats.layout) << ",\n"
        << "    \"blocks\": " << stats.blocks << ",\n"
        << "    \"entries\": " << stats.entries << ",\n"
        << "    \"one_way_pairs\": " << stats.oneWayPairs << ",\n"
        << "    \"blocks_with_holes\": " << stats.blocksWithHoles << ",\n"
        << "    \"sees\": " << JsonSpread(stats.sees) << ",\n"
        << "    \"seen_by\": " << JsonSpread(stats.seenBy);
    if (perBlock) {
        out << ",\n    \"per_block\": [";
        for (std::size_t i = 0; i < stats.perBlock.size(); ++i) {
            const BlockFigures& f = stats.perBlock[i];
            out << (i == 0 ? "\n" : ",\n") << "      {\"block\": " << i << ", \"sees\": " << f.Sees
                << ", \"seen_by\": " << f.SeenBy << ", \"back\": " << f.Back
                << ", \"ahead\": " << f.Ahead << ", \"one_way_out\": " << f.OneWayOut
                << ", \"one_way_in\": " << f.OneWayIn
                << ", \"summary\": " << JsonString(stats.summaries[i]) << '}';
        }
        out << (stats.perBlock.empty() ? "]" : "\n    ]");
    }
    out << "\n  }";
}

}  // namespace

int StatsFiles(const std::vector<std::string>& paths, StatsFormat format, bool perBlock,
               std::ostream& out, std::ostream& err) {
    bool allRead = true;
    bool first = true;
    if (format == StatsFormat::Csv) {
        WriteCsvHeader(perBlock, out);
    } else if (format == StatsFormat::Json) {
        out << '[';
    }
    // Files are read and counted side by side, and written out in order.
    std::vector<std::optional<FileStats>> stats(paths.size());
    std::size_t next = 0;
    ForEachFileInOrder(
        paths.size(),
        [&](std::size_t i) {
            std::ostringstream fileErr;
            FileReport report;
            if (const std::optional<VisibilityDocument> doc = ReadOrReport(paths[i], fileErr)) {
                stats[i] = StatsOf(paths[i], *doc, perBlock);
            }
            report.ok = stats[i].has_value();
            report.err = fileErr.str();
            return report;
        },
        [&](FileReport& report) {
            const std::optional<FileStats>& file = stats[next++];
            PrintReport(report, out, err);
            if (!file) {
                allRead = false;
                return;
            }
            switch (format) {
                case StatsFormat::Text:
                    WriteText(*file, perBlock, out);
                    break;
                case StatsFormat::Csv:
                    WriteCsv(*file, perBlock, out);
                    break;
                case StatsFormat::Json:
                    WriteJson(*file, perBlock, first, out);
                    break;
            }
            first = false;
        });
    if (format == StatsFormat::Json) {
        out << (first ? "]\n" : "\n]\n");
    }
    if (!FlushOrReport(out, err)) {
        return ExitFailed;
    }
    return allRead ? ExitOk : ExitFailed;
}

}  // namespace lumark::tool
