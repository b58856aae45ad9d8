#include "WriterForm.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "FileSystem.h"
#include "LumarkError.h"
#include "MessageText.h"

namespace lumark::tool {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

[[noreturn]] void ThrowReadError(const std::string& path) {
    throw LumarkError("cannot read " + path + ": " + std::strerror(errno));
}

// A line's text after "is" or "writes".
std::string LineText(std::string_view text) {
    return text.empty() ? "an empty line" : QuotedInMessage(text);
}

// The length of the prefix that the file shares with `written`; `written.size()` plus one
// when the file holds more.
std::size_t CommonPrefix(std::FILE* file, const std::string& path, std::string_view written) {
    std::vector<char> chunk(64 * 1024);
    std::size_t matched = 0;
    for (;;) {
        const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), file);
        if (got == 0) {
            if (std::ferror(file)) {
                ThrowReadError(path);
            }
            return matched;
        }
        const std::size_t comparable = std::min(got, written.size() - matched);
        const auto* const start = chunk.data();
        const auto differs =
            std::mismatch(start, start + comparable, written.begin() + matched).first;
        matched += static_cast<std::size_t>(differs - start);
        if (differs != start + comparable || got > comparable) {
            return differs == start + comparable ? written.size() + 1 : matched;
        }
    }
}

// A line as the file holds it: its text and how it ends.
struct FileLine {
    std::string text;
    std::string ending;  // "CR LF", "CR", "LF" or "" at the end of the file
};

// Reads the file's line that starts at byte `start`, at most `longest` bytes of its text.
FileLine LineAt(std::FILE* file, const std::string& path, std::size_t start, std::size_t longest) {
    if (fseeko(file, static_cast<off_t>(start), SEEK_SET) != 0) {
        ThrowReadError(path);
    }
    std::vector<char> bytes(longest + 2);
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    if (got < bytes.size() && std::ferror(file)) {
        ThrowReadError(path);
    }
    const std::string_view read(bytes.data(), got);
    const std::size_t end = std::min(read.find_first_of("\r\n"), longest);
    FileLine line{std::string(read.substr(0, std::min(end, read.size()))), ""};
    if (end < read.size()) {
        if (read[end] == '\n') {
            line.ending = "LF";
        } else if (read[end] == '\r') {
            line.ending = end + 1 < read.size() && read[end + 1] == '\n' ? "CR LF" : "CR";
        }
    }
    return line;
}

}  // namespace

std::optional<std::string> FirstDifferenceFromWriter(const std::string& path,
                                                     std::string_view written) {
    const File file(platform::OpenForReading(path));
    if (!file) {
        throw LumarkError("cannot open " + path + ": " + platform::ErrorText(errno));
    }
    const std::size_t common = CommonPrefix(file.get(), path, written);
    if (common == written.size()) {
        return std::nullopt;
    }
    // The writer's line in which the file departs from it; lines end in CR LF.
    const std::size_t at = std::min(common, written.size());
    const std::size_t lineStart = at == 0 ? 0 : written.rfind('\n', at - 1) + 1;
    const std::string number =
        std::to_string(1 + std::count(written.begin(), written.begin() + lineStart, '\n'));
    if (lineStart == written.size()) {
        return "the file goes on at line " + number + ", after the last line a save writes";
    }
    const std::string_view expected =
        written.substr(lineStart, written.find("\r\n", lineStart) - lineStart);
    const FileLine found =
        LineAt(file.get(), path, lineStart, std::max<std::size_t>(expected.size() + 1, 40));
    if (found.text.empty() && found.ending.empty()) {
        return "the file ends before line " + number + ", where a save writes " +
               LineText(expected);
    }
    if (found.text != expected) {
        return "line " + number + " is " + LineText(found.text) + ", a save writes " +
               LineText(expected);
    }
    const std::string ending =
        found.ending.empty() ? " has no line end" : " ends in " + found.ending;
    return "line " + number + ending + ", a save ends every line in CR LF";
}

}  // namespace lumark::tool
