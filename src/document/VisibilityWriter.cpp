#include "VisibilityWriter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "AtomicFile.h"
#include "Layouts.h"

namespace lumark {

namespace {

constexpr int EntriesPerSection = 300;

// The line of every block number, "0\r\n" to "299\r\n", made once: a file is mostly these.
struct NumberLine {
    std::array<char, 8> text{};
    std::size_t size = 0;
};

const std::array<NumberLine, VisibilityMatrix::MaxBlocks>& BlockNumberLines() {
    static const auto lines = [] {
        std::array<NumberLine, VisibilityMatrix::MaxBlocks> made{};
        for (int number = 0; number < VisibilityMatrix::MaxBlocks; ++number) {
            NumberLine& line = made[static_cast<std::size_t>(number)];
            char* end = std::to_chars(line.text.data(), line.text.data() + 4, number).ptr;
            *end++ = '\r';
            *end++ = '\n';
            line.size = static_cast<std::size_t>(end - line.text.data());
        }
        return made;
    }();
    return lines;
}

// Appends to a buffer sized beforehand for the longest file the document can give.
class LineBuffer {
  public:
    explicit LineBuffer(char* start) : cursor_(start) {}

    void Append(std::string_view text) {
        std::memcpy(cursor_, text.data(), text.size());
        cursor_ += text.size();
    }
    void AppendNumberLine(int number) {
        if (number >= 0 && number < VisibilityMatrix::MaxBlocks) {
            const NumberLine& line = BlockNumberLines()[static_cast<std::size_t>(number)];
            std::memcpy(cursor_, line.text.data(), line.text.size());
            cursor_ += line.size;
            return;
        }
        cursor_ = std::to_chars(cursor_, cursor_ + 12, number).ptr;
        Append("\r\n");
    }
    char* cursor() const { return cursor_; }

  private:
    char* cursor_;
};

// The longest line of a number is "-32768" and CR LF; the copy of a block number line may
// write its whole 8-byte slot.
constexpr std::size_t NumberLineRoom = 12;
// A section is a header ("Block: 299"), at most 300 entry lines and a terminator.
constexpr std::size_t SectionRoom = 16 + (EntriesPerSection + 2) * NumberLineRoom;

class StringAppender {
  public:
    explicit StringAppender(std::string& out) : out_(out) {}
    void AppendNumberLine(int number) {
        char text[NumberLineRoom];
        LineBuffer line(text);
        line.AppendNumberLine(number);
        out_.append(text, static_cast<std::size_t>(line.cursor() - text));
    }

  private:
    std::string& out_;
};

template <class Out>
std::int16_t WriteIfVisibleTo(const VisibilityDocument& doc, Out& out, std::int16_t viewer,
                              std::int16_t candidate) {
    if (candidate > doc.BlockCount || !doc.IsVisible(viewer, candidate)) {
        return -1;
    }
    const auto number = static_cast<std::int16_t>(candidate - 1);
    out.AppendNumberLine(number);
    return number;
}

// One block's section after its header: the block itself, then the other blocks it sees in
// ring order (forward neighbour first), then the layout's end of section.
void AppendSectionEntries(const VisibilityDocument& doc, LineBuffer& out, std::int16_t block,
                          bool oldLayout) {
    const std::int16_t count = doc.BlockCount;
    out.AppendNumberLine(block - 1);
    int entries = 1;
    std::int16_t forward = block;
    std::int16_t backward = block;
    bool goForward = true;
    bool done = false;
    bool terminated = false;
    do {
        if (done) {
            if (oldLayout) {
                out.Append("-1\r\n");
            } else if (!terminated) {
                out.Append("-1\r\n\r\n");
                terminated = true;
            }
            ++entries;
        } else if (goForward) {
            forward = forward + 1 > count ? 1 : static_cast<std::int16_t>(forward + 1);
            if (forward == backward) {
                done = true;
            } else if (WriteIfVisibleTo(doc, out, block, forward) != -1) {
                ++entries;
            }
        } else {
            backward = backward - 1 < 1 ? count : static_cast<std::int16_t>(backward - 1);
            if (backward == forward) {
                done = true;
            } else if (WriteIfVisibleTo(doc, out, block, backward) != -1) {
                ++entries;
            }
        }
        goForward = !goForward;
    } while (entries != EntriesPerSection);
}

}  // namespace

std::int16_t WriteIfVisible(const VisibilityDocument& doc, std::string& out, std::int16_t viewer,
                            std::int16_t candidate) {
    StringAppender appender(out);
    return WriteIfVisibleTo(doc, appender, viewer, candidate);
}

std::string FormatVisibilityFile(const VisibilityDocument& doc) {
    const bool oldLayout = IsOldLayout(doc.VersionText);
    const int count = doc.BlockCount;
    std::string out;
    // A count above 300 fails on its first section, where a cursor wraps past the matrix.
    out.reserve(32 + doc.VersionText.size() +
                static_cast<std::size_t>(std::clamp(count, 0, 300)) * SectionRoom);
    if (oldLayout) {
        out.append(doc.VersionText).append("\r\n");
    } else {
        out.append("Version: ").append(doc.VersionText).append("\r\nBlocks: ");
    }
    StringAppender(out).AppendNumberLine(count);
    // Each section is made in a local buffer and appended whole.
    std::array<char, SectionRoom> section;
    for (std::int16_t block = 1; block <= count; ++block) {
        LineBuffer buffer(section.data());
        if (!oldLayout) {
            buffer.Append("Block: ");
        }
        buffer.AppendNumberLine(block - 1);
        AppendSectionEntries(doc, buffer, block, oldLayout);
        out.append(section.data(), static_cast<std::size_t>(buffer.cursor() - section.data()));
    }
    return out;
}

void WriteVisibilityFile(const VisibilityDocument& doc, const std::string& path) {
    WriteFileAtomically(path, FormatVisibilityFile(doc));
}

}  // namespace lumark
