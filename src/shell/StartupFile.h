#pragma once

#include <string>

namespace lumark {

// Why the file named on the command line cannot be opened ("does not exist", "is not a regular
// file", "is a hidden file"), or the empty text when it is an ordinary file. The path is used as
// the bytes it is, so any file name works.
std::string StartupFileProblem(const std::string& path);

// The message that reports it, naming the file.
std::string StartupFileMessage(const std::string& path, const std::string& problem);

}  // namespace lumark
