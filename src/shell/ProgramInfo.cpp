#include "ProgramInfo.h"

#include "LumarkVersion.h"

namespace lumark {

namespace {

const char* const Summary =
    "Lumark edits block-visibility files (visibility.txt): for every block of a ring of up to "
    "300 blocks, the blocks it sees.\n";

const char* const Keys =
    "Keys\n"
    "  Ctrl+O  Load                      Ctrl+S  Save\n"
    "  Ctrl+Shift+S  Save As             Ctrl+W, Ctrl+Q  Close\n"
    "  Ctrl+Z  Undo                      Ctrl+Shift+Z, Ctrl+Y  Redo\n"
    "  Ctrl+A, Ctrl+Shift+A  Select all blocks\n"
    "  Ctrl+B  Select blocks by a list such as 100-140, 290-5 or 3, 7, 10-12\n"
    "  Esc  Select no block              Ctrl+D  Set an exact view distance\n"
    "  Ctrl+M  Cross Fw & Bw             Ctrl+Shift+M  Remove one-way\n"
    "  Ctrl+G  Go to block               F2  Overview of the whole relation\n"
    "  Space  Click the focused cell     Ctrl+Space  Select its block\n"
    "  Ctrl+Shift+Space  Add its block to the selection\n"
    "  + and -  Increase, Decrease the selected blocks' view\n"
    "  Shift+Right/Left on a diagonal cell  Extend the selection\n"
    "  Menu, Shift+F10  Every command, with its key\n"
    "  Tab, Shift+Tab  Next, previous control\n"
    "  Arrows, Page Up/Down, Home/End  Move in the grid\n"
    "  F1  This box\n"
    "\n"
    "Mouse\n"
    "  Click a cell: the column's block sees the row's block, or no longer does\n"
    "    (with Edge Setting ticked: that block becomes the edge of the view)\n"
    "  Click a column header: select that block; Ctrl+click: add it\n"
    "  Shift+click a header: select from the last header clicked to it\n"
    "  Ctrl+Shift+click a header: add that range\n"
    "  Drag along the headers: select the blocks between\n"
    "  Right click on the grid or a header: every command, with its key\n"
    "  Drop a file on the window: open it\n";

}  // namespace

std::string ProgramNameAndVersion() {
    return "Lumark " + std::to_string(VersionMajor) + "." + std::to_string(VersionMinor) + "." +
           std::to_string(VersionRevision);
}

std::string AboutText() {
    return ProgramNameAndVersion() + "\n\n" + Summary + "\n" + Keys;
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
                   Keys;
        }
    }
    return std::nullopt;
}

}  // namespace lumark
