#include "LineReader.h"

#include <cerrno>
#include <cstring>

#include "LumarkError.h"

namespace lumark {

namespace {
constexpr std::size_t ChunkSize = 64 * 1024;
// Room for an unfinished line at its longest, a held-back CR and one more chunk.
constexpr std::size_t BufferSize = LineReader::MaxLineLength + 2 + ChunkSize;
}  // namespace

LineReader::LineReader(const std::string& path)
    : path_(path), file_(std::fopen(path.c_str(), "rb")) {
    if (!file_) {
        throw LumarkError("cannot open " + path + ": " + std::strerror(errno));
    }
    // Left uninitialised: every byte handed out has been read first.
    buffer_.reset(new char[BufferSize + 1]);
    buffer_[0] = '\n';
}

bool LineReader::NextAfterRefill(std::string_view& line) {
    for (;;) {
        if (atEnd_) {
            if (begin_ == end_) {
                return false;
            }
            // The last line, with no line end after it.
            const std::size_t length = end_ - begin_;
            if (length > MaxLineLength) {
                ThrowTooLong();
            }
            ++lineNumber_;
            line = std::string_view(buffer_.get() + begin_, length);
            begin_ = end_;
            return true;
        }
        Refill();
        if (TakeBufferedLine(line)) {
            return true;
        }
    }
}

void LineReader::Refill() {
    // What is left holds no line end, except perhaps a final CR.
    const std::size_t pending = end_ - begin_;
    if (pending > MaxLineLength + 1) {
        ThrowTooLong();
    }
    std::memmove(buffer_.get(), buffer_.get() + begin_, pending);
    begin_ = 0;
    end_ = pending;
    const std::size_t wanted = BufferSize - end_;
    const std::size_t got = std::fread(buffer_.get() + end_, 1, wanted, file_.get());
    end_ += got;
    buffer_[end_] = '\n';
    if (got < wanted) {
        if (std::ferror(file_.get())) {
            throw LumarkError("cannot read " + path_ + ": " + std::strerror(errno));
        }
        atEnd_ = true;
    }
}

void LineReader::ThrowTooLong() const {
    throw LumarkError(path_ + ", line " + std::to_string(lineNumber_ + 1) +
                      ": line is longer than " + std::to_string(MaxLineLength) + " bytes");
}

}  // namespace lumark
