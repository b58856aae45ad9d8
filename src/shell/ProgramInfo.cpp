#include "ProgramInfo.h"

#include <algorithm>

#include "LumarkVersion.h"
#include "WindowCommands.h"

namespace lumark {

namespace {

const char* const Summary =
    "Lumark edits block-visibility files (visibility.txt): for every block of a ring of up to "
    "300 blocks, the blocks it sees.\n";

using Row = KeyListRow;

const std::vector<Row> MouseRows = {
    {"Click a cell",
     "the column's block sees the row's block, or no longer does (with Edge Setting ticked: "
     "that block becomes the edge of the view)"},
    {"Click a column header", "select that block; Ctrl+click: add it"},
    {"Shift+click a header", "select from the last header clicked to it"},
    {"Ctrl+Shift+click a header", "add that range"},
    {"Drag along the headers", "select the blocks between"},
    {"Right click on the grid or a header", "every command, with its key"},
    {"Drop a file on the window", "open it"},
};

// For a terminal, whose font gives every character the same width: the effects start in one
// column, after the longest action that leaves room for them.
std::string PlainRows(const char* heading, const std::vector<Row>& rows) {
    constexpr std::size_t LongestAligned = 24;
    std::size_t column = 0;
    for (const Row& row : rows) {
        const std::size_t length = row.Action.size();
        if (length <= LongestAligned) {
            column = std::max(column, length);
        }
    }
    std::string text = std::string(heading) + "\n";
    for (const Row& row : rows) {
        text += "  " + row.Action +
                std::string(std::max(column, row.Action.size()) - row.Action.size() + 2, ' ') +
                row.Effect + "\n";
    }
    return text;
}

std::string Escaped(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

// For the box, whose font is proportional: a table of two columns.
std::string TableRows(const char* heading, const std::vector<Row>& rows) {
    std::string html = std::string("<p><b>") + heading + "</b></p><table cellspacing=\"0\">";
    for (const Row& row : rows) {
        html += "<tr><td style=\"padding-right:12px\" valign=\"top\"><nobr>" + Escaped(row.Action) +
                "</nobr></td><td>" + Escaped(row.Effect) + "</td></tr>";
    }
    return html + "</table>";
}

std::string PlainKeys() {
    std::string mouse = "Mouse\n";
    for (const Row& row : MouseRows) {
        mouse += "  " + row.Action + ": " + row.Effect + "\n";
    }
    return PlainRows("Keys", KeyListRows()) + "\n" + mouse;
}

}  // namespace

std::string ProgramNameAndVersion() {
    return "Lumark " + std::to_string(VersionMajor) + "." + std::to_string(VersionMinor) + "." +
           std::to_string(VersionRevision);
}

std::string AboutHtml() {
    return "<p>" + ProgramNameAndVersion() + "</p><p>" + Escaped(Summary) + "</p>" +
           TableRows("Keys", KeyListRows()) + TableRows("Mouse", MouseRows);
}

std::optional<std::string> CommandLineAnswer(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--version") {
            return ProgramNameAndVersion() + "\n";
        }
        if (argument == "--help" || argument == "-h") {
            return "Usage: lumark [FILE]\n\n" + std::string(Summary) +
                   "\nFILE is opened when the window shows; a relative name is taken from the "
                   "current folder.\nQt's own options, such as -platform NAME, are accepted "
                   "too.\n\n  --help     show this text and exit\n  --version  show the "
                   "version and exit\n\n" +
                   PlainKeys();
        }
    }
    return std::nullopt;
}

}  // namespace lumark
