#pragma once

#include <string>
#include <vector>

#include "PathStyle.h"

namespace lumark::Befehlszeile {

// The path of a visibility file named in the command line, or the empty text. Windows: the
// path starts at the drive letter before the first ":\", else at a "\\" (a network share)
// that starts the line or follows a blank or a double quote. Posix: at the first "/" that starts
// the line or follows a blank or a double quote. Either runs to the end of the line, or to the
// next double quote when a double quote stands right before it.
std::string ExtractCommandLinePath(const std::string& commandLine, PathStyle style = HostPathStyle);

// The command line as the program sees it: the arguments after the program name (argv[1]
// on), each one that holds a blank wrapped in double quotes, joined by single blanks.
std::string JoinCommandLine(const std::vector<std::string>& arguments);

// An argument that names a file relative to `currentDir` (neither empty, nor starting with
// "-", nor absolute) becomes that absolute path, without "." steps, so that the path rule
// above finds it and the caption names the file in full. Windows: "/" is taken for "\", and
// a name relative to the current drive ("\data\v.txt") gets the drive of `currentDir`.
// Options and absolute Posix paths stay as they are.
std::string AbsoluteArgument(const std::string& argument, const std::string& currentDir,
                             PathStyle style = HostPathStyle);

}  // namespace lumark::Befehlszeile
