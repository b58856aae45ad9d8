#include "LineReader.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "FileSystem.h"
#include "LumarkError.h"

namespace lumark {

namespace {
constexpr std::size_t ChunkSize = 64 * 1024;
// Room for an unfinished line at its longest held length, a held-back CR and one more chunk.
constexpr std::size_t BufferSize = LineReader::HeldLineLength + 2 + ChunkSize;

bool IsLineEnd(char c) {
    return c == '\n' || c == '\r';
}
}  // namespace

LineReader::LineReader(const std::string& path, std::vector<std::string> markers)
    : path_(path), file_(platform::OpenForReading(path)), condenser_(std::move(markers)) {
    if (!file_) {
        throw LumarkError::FileOperation("cannot open", path, platform::ErrorText(errno));
    }
    // Left uninitialised: every byte handed out has been read first.
    buffer_.reset(new char[BufferSize + 1]);
    buffer_[0] = '\n';
}

void LineReader::Condense(const char* start, std::size_t length, std::string_view& line) {
    condenser_.Begin();
    condenser_.Add(std::string_view(start, length));
    ++lineNumber_;
    line = condenser_.Finish();
}

bool LineReader::NextAfterRefill(std::string_view& line) {
    for (;;) {
        if (atEnd_) {
            if (begin_ == end_) {
                return false;
            }
            // The last line, with no line end after it.
            const char* const start = buffer_.get() + begin_;
            const std::size_t length = end_ - begin_;
            begin_ = end_;
            if (length > HeldLineLength) {
                Condense(start, length, line);
                return true;
            }
            ++lineNumber_;
            line = std::string_view(start, length);
            return true;
        }
        // What is left holds no line end, except perhaps a final CR.
        if (end_ - begin_ > HeldLineLength + 1) {
            return StreamLongLine(line);
        }
        Refill();
        if (TakeBufferedLine(line)) {
            return true;
        }
    }
}

// The buffered bytes start a line longer than can be held; they and the rest of the line go to
// the condenser chunk by chunk.
bool LineReader::StreamLongLine(std::string_view& line) {
    condenser_.Begin();
    bool afterCr = false;
    for (;;) {
        const char* const start = buffer_.get() + begin_;
        const char* const stop = buffer_.get() + end_;
        const char* p = start;
        while (p != stop && !IsLineEnd(*p)) {
            ++p;
        }
        condenser_.Add(std::string_view(start, static_cast<std::size_t>(p - start)));
        if (p != stop) {
            afterCr = *p == '\r';
            begin_ = static_cast<std::size_t>(p + 1 - buffer_.get());
            break;
        }
        begin_ = end_;
        if (atEnd_) {
            break;
        }
        Refill();
    }
    // A CR ends the line; an LF right after it belongs to the same line end.
    if (afterCr) {
        if (begin_ == end_ && !atEnd_) {
            Refill();
        }
        if (begin_ != end_ && buffer_[begin_] == '\n') {
            ++begin_;
        }
    }
    ++lineNumber_;
    line = condenser_.Finish();
    return true;
}

void LineReader::Refill() {
    const std::size_t pending = end_ - begin_;
    std::memmove(buffer_.get(), buffer_.get() + begin_, pending);
    begin_ = 0;
    end_ = pending;
    const std::size_t wanted = BufferSize - end_;
    const std::size_t got = std::fread(buffer_.get() + end_, 1, wanted, file_.get());
    end_ += got;
    buffer_[end_] = '\n';
    if (got < wanted) {
        if (std::ferror(file_.get())) {
            throw LumarkError::FileOperation("cannot read", path_, std::strerror(errno));
        }
        atEnd_ = true;
    }
}

}  // namespace lumark
