#include "Befehlszeile.h"

#include <algorithm>
#include <vector>

namespace lumark::Befehlszeile {

namespace {

constexpr char Quote = '"';

// The path from `start` to the end of the line, or up to the next double quote when a double
// quote opens it. An opening quote without a closing one gives the rest of the line.
std::string PathFrom(const std::string& commandLine, std::size_t start) {
    std::size_t end = commandLine.size();
    if (start > 0 && commandLine[start - 1] == Quote) {
        const std::size_t closing = commandLine.find(Quote, start);
        // A quote in the path's very first place closes nothing: the line's end counts then.
        if (closing != std::string::npos && closing > start) {
            end = closing;
        }
    }
    return commandLine.substr(start, end - start);
}

std::string WindowsPath(const std::string& commandLine) {
    const std::size_t marker = commandLine.find(":\\");
    // The drive letter stands right before ":\"; at the very start there is none.
    if (marker != std::string::npos && marker > 0) {
        return PathFrom(commandLine, marker - 1);
    }
    // A path on a network share, "\\server\share\...", where an argument starts.
    const std::size_t share = commandLine.find("\\\\");
    if (share != std::string::npos &&
        (share == 0 || commandLine[share - 1] == Quote || commandLine[share - 1] == ' ')) {
        return PathFrom(commandLine, share);
    }
    return {};
}

std::string PosixPath(const std::string& commandLine) {
    for (std::size_t i = 0; i < commandLine.size(); ++i) {
        if (commandLine[i] != '/') {
            continue;
        }
        if (i == 0 || commandLine[i - 1] == ' ' || commandLine[i - 1] == Quote) {
            return PathFrom(commandLine, i);
        }
    }
    return {};
}

// "/a/./b//c" as "/a/b/c" (a Windows root, "C:" or "\\server", goes first). ".." steps
// stay: "link/.." need not lead back to where "link" is.
std::string WithoutDotSteps(const std::string& absolute, PathStyle style = PathStyle::Posix,
                            const std::string& root = {}) {
    const char separator = PathSeparator(style);
    std::vector<std::string> steps;
    std::size_t start = 0;
    while (start <= absolute.size()) {
        std::size_t end = absolute.find(separator, start);
        if (end == std::string::npos) {
            end = absolute.size();
        }
        const std::string step = absolute.substr(start, end - start);
        if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        start = end + 1;
    }
    std::string path = root;
    for (const std::string& step : steps) {
        path += separator + step;
    }
    return path.size() == root.size() ? path + separator : path;
}

// The root of a Windows path: "C:", "\\server" or nothing (a path relative to its drive
// or folder).
std::string WindowsRoot(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') {
        return path.substr(0, 2);
    }
    if (path.compare(0, 2, "\\\\") == 0) {
        return path.substr(0, path.find('\\', 2));
    }
    return {};
}

// Windows: "/" as "\"; a name relative to the current folder, or to its drive ("\data\v.txt"),
// made whole. "C:v.txt" (relative to the folder current on another drive) stays as it is.
std::string AbsoluteWindowsArgument(std::string argument, const std::string& currentDir) {
    std::replace(argument.begin(), argument.end(), '/', '\\');
    std::string root = WindowsRoot(argument);
    if (!root.empty()) {
        if (root.size() == 2 && argument.compare(2, 1, "\\") != 0) {
            return argument;
        }
        return WithoutDotSteps(argument.substr(root.size()), PathStyle::Windows, root);
    }
    root = WindowsRoot(currentDir);
    if (argument.front() == '\\') {
        return WithoutDotSteps(argument, PathStyle::Windows, root);
    }
    return WithoutDotSteps(currentDir.substr(root.size()) + '\\' + argument, PathStyle::Windows,
                           root);
}

}  // namespace

std::string AbsoluteArgument(const std::string& argument, const std::string& currentDir,
                             PathStyle style) {
    if (argument.empty() || argument[0] == '-') {
        return argument;
    }
    if (style == PathStyle::Windows) {
        return AbsoluteWindowsArgument(argument, currentDir);
    }
    if (argument[0] == '/') {
        return argument;
    }
    return WithoutDotSteps(currentDir + '/' + argument);
}

std::string ExtractCommandLinePath(const std::string& commandLine, PathStyle style) {
    if (commandLine.empty()) {
        return {};
    }
    return style == PathStyle::Windows ? WindowsPath(commandLine) : PosixPath(commandLine);
}

std::string JoinCommandLine(const std::vector<std::string>& arguments) {
    std::string commandLine;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) {
            commandLine += ' ';
        }
        const std::string& argument = arguments[i];
        if (argument.find(' ') != std::string::npos) {
            commandLine += Quote + argument + Quote;
        } else {
            commandLine += argument;
        }
    }
    return commandLine;
}

}  // namespace lumark::Befehlszeile
