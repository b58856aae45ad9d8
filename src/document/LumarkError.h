#pragma once

#include <stdexcept>
#include <string>

namespace lumark {

// The one error type of the program: every failure that a handler shows the user. An error
// about a file keeps its parts apart (path, line, problem) so that callers can lay them out
// their own way; what() is the message as the window shows it.
class LumarkError : public std::runtime_error {
  public:
    // An error that names no file.
    explicit LumarkError(const std::string& message) : LumarkError({}, {}, 0, message) {}

    // Something wrong in a file, at a line (0 for the file as a whole):
    // "PATH, line N: problem" or "PATH: problem".
    LumarkError(const std::string& path, long line, const std::string& problem)
        : LumarkError({}, path, line, problem) {}

    // An operation on a file that the system refused: "cannot open PATH: reason".
    static LumarkError FileOperation(const std::string& operation, const std::string& path,
                                     const std::string& reason) {
        return LumarkError(operation, path, 0, reason);
    }

    const std::string& Path() const { return path_; }
    long Line() const { return line_; }
    // What went wrong without the path and line: "the file ends ..." or, for a refused
    // operation, "cannot open: reason".
    std::string Problem() const {
        return operation_.empty() ? problem_ : operation_ + ": " + problem_;
    }

  private:
    LumarkError(const std::string& operation, const std::string& path, long line,
                const std::string& problem)
        : std::runtime_error(Format(operation, path, line, problem)),
          operation_(operation),
          path_(path),
          line_(line),
          problem_(problem) {}

    static std::string Format(const std::string& operation, const std::string& path, long line,
                              const std::string& problem) {
        if (!operation.empty()) {
            return operation + ' ' + path + ": " + problem;
        }
        if (line > 0) {
            return path + ", line " + std::to_string(line) + ": " + problem;
        }
        return path.empty() ? problem : path + ": " + problem;
    }

    std::string operation_;
    std::string path_;
    long line_;
    std::string problem_;
};

}  // namespace lumark
