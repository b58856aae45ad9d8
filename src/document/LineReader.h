#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "LineCondenser.h"

namespace lumark {

// Streams a text file line by line without allocating per line. A line ends at CR LF, a lone
// CR or a lone LF; the end of the file ends the last line only when that line is not empty.
// Lines of up to HeldLineLength bytes are handed out whole. A longer line is never held: it is
// streamed through a LineCondenser and handed out as its short stand-in, which contains the
// given markers where the line does and has the line's numeric shape (see LineCondenser).
// So memory stays bounded whatever the file holds.
class LineReader {
  public:
    static constexpr std::size_t HeldLineLength = 65536;

    // Throws a LumarkError ("cannot open <path>: <reason>") when the file cannot be opened.
    explicit LineReader(const std::string& path, std::vector<std::string> markers = {});

    // Hands out the next line, valid until the next call; false at the end of the file.
    bool Next(std::string_view& line) { return TakeBufferedLine(line) || NextAfterRefill(line); }

    // The 1-based number of the line last handed out; 0 before the first.
    long LineNumber() const { return lineNumber_; }
    const std::string& Path() const { return path_; }

  private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    bool TakeBufferedLine(std::string_view& line);
    bool NextAfterRefill(std::string_view& line);
    void Refill();
    // Hands out a line that is too long to hand out whole.
    void Condense(const char* start, std::size_t length, std::string_view& line);
    bool StreamLongLine(std::string_view& line);

    std::string path_;
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::unique_ptr<char[]> buffer_;  // one byte longer than the data, for the sentinel
    std::size_t begin_ = 0;           // first byte not yet handed out
    std::size_t end_ = 0;             // one past the last byte read
    bool atEnd_ = false;              // the file has no more bytes to read
    long lineNumber_ = 0;
    LineCondenser condenser_;
};

// The fast path: a complete line already in the buffer. The buffered bytes are followed by a
// LF sentinel, so the scan needs no end test. A CR as the last buffered byte waits for the next
// chunk, which may start with its LF.
inline bool LineReader::TakeBufferedLine(std::string_view& line) {
    const char* const start = buffer_.get() + begin_;
    const char* const stop = buffer_.get() + end_;
    const char* p = start;
    for (;;) {
        // One test for the common byte: both line-end bytes are below 14.
        while (static_cast<unsigned char>(*p) > '\r') {
            ++p;
        }
        if (*p == '\n' || *p == '\r') {
            break;
        }
        ++p;
    }
    if (p == stop) {
        return false;
    }
    const char* next = p + 1;
    if (*p == '\r') {
        if (next == stop) {
            if (!atEnd_) {
                return false;
            }
        } else if (*next == '\n') {
            ++next;
        }
    }
    const auto length = static_cast<std::size_t>(p - start);
    begin_ = static_cast<std::size_t>(next - buffer_.get());
    if (length > HeldLineLength) {
        Condense(start, length, line);
        return true;
    }
    ++lineNumber_;
    line = std::string_view(start, length);
    return true;
}

}  // namespace lumark
