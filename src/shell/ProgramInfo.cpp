#include "ProgramInfo.h"

#include <algorithm>

#include "LumarkVersion.h"

namespace lumark {

namespace {

const char* const Summary =
    "Lumark edits block-visibility files (visibility.txt): for every block of a ring of up to "
    "300 blocks, the blocks it sees.\n";

// What the user does, and what that does.
struct Row {
    const char* Action;
    const char* Effect;
};

const Row KeyRows[] = {
    {"Ctrl+O", "Load"},
    {"Ctrl+S", "Save"},
    {"Ctrl+Shift+S", "Save As"},
    {"Ctrl+W, Ctrl+Q", "Close"},
    {"Ctrl+Z", "Undo"},
    {"Ctrl+Shift+Z, Ctrl+Y", "Redo"},
    {"Ctrl+A, Ctrl+Shift+A", "Select all blocks"},
    {"Ctrl+B", "Select blocks by a list such as 100-140, 290-5 or 3, 7, 10-12"},
    {"Esc", "Select no block"},
    {"Ctrl+D", "Set an exact view distance"},
    {"Ctrl+M", "Cross Fw & Bw"},
    {"Ctrl+Shift+M", "Remove one-way"},
    {"Ctrl+G", "Go to block"},
    {"F2", "Overview of the whole relation"},
    {"Space", "Click the focused cell"},
    {"Ctrl+Space", "Select its block"},
    {"Ctrl+Shift+Space", "Add its block to the selection"},
    {"+ and -", "Increase, Decrease the selected blocks' view"},
    {"Shift+Right/Left on a diagonal cell", "Extend the selection"},
    {"Menu, Shift+F10", "Every command, with its key"},
    {"Tab, Shift+Tab", "Next, previous control"},
    {"Arrows, Page Up/Down, Home/End", "Move in the grid"},
    {"F1", "This box"},
};

const Row MouseRows[] = {
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
template <std::size_t N>
std::string PlainRows(const char* heading, const Row (&rows)[N]) {
    constexpr std::size_t LongestAligned = 24;
    std::size_t column = 0;
    for (const Row& row : rows) {
        const std::size_t length = std::char_traits<char>::length(row.Action);
        if (length <= LongestAligned) {
            column = std::max(column, length);
        }
    }
    std::string text = std::string(heading) + "\n";
    for (const Row& row : rows) {
        const std::string action = row.Action;
        text += "  " + action +
                std::string(std::max(column, action.size()) - action.size() + 2, ' ') + row.Effect +
                "\n";
    }
    return text;
}

std::string Escaped(const char* text) {
    std::string escaped;
    for (const char* c = text; *c != '\0'; ++c) {
        switch (*c) {
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
                escaped += *c;
        }
    }
    return escaped;
}

// For the box, whose font is proportional: a table of two columns.
template <std::size_t N>
std::string TableRows(const char* heading, const Row (&rows)[N]) {
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
        mouse += std::string("  ") + row.Action + ": " + row.Effect + "\n";
    }
    return PlainRows("Keys", KeyRows) + "\n" + mouse;
}

}  // namespace

std::string ProgramNameAndVersion() {
    return "Lumark " + std::to_string(VersionMajor) + "." + std::to_string(VersionMinor) + "." +
           std::to_string(VersionRevision);
}

std::string AboutHtml() {
    return "<p>" + ProgramNameAndVersion() + "</p><p>" + Escaped(Summary) + "</p>" +
           TableRows("Keys", KeyRows) + TableRows("Mouse", MouseRows);
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
