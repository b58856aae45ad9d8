#include "VisibilityWriter.h"

#include <charconv>

#include "AtomicFile.h"

namespace lumark {

namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr int EntriesPerSection = 300;
// The longest line the writer makes for a number: "-32768" plus CR LF, with room to spare.
constexpr std::size_t LongestNumberLine = 16;

void AppendNumberLine(std::string& out, int value) {
    char text[LongestNumberLine];
    char* const end = std::to_chars(text, text + sizeof text, value).ptr;
    out.append(text, static_cast<std::size_t>(end - text));
    out.append(LineEnd);
}

void AppendTextLine(std::string& out, std::string_view text) {
    out.append(text);
    out.append(LineEnd);
}

// One block's section after its header: the block itself, then the other blocks it sees in
// ring order (forward neighbour first), then the layout's end of section.
void AppendSectionEntries(const VisibilityDocument& doc, std::string& out, std::int16_t block,
                          bool oldLayout) {
    const std::int16_t count = doc.BlockCount;
    AppendNumberLine(out, block - 1);
    int entries = 1;
    std::int16_t forward = block;
    std::int16_t backward = block;
    bool goForward = true;
    bool done = false;
    bool terminated = false;
    do {
        if (done) {
            if (oldLayout) {
                out.append("-1\r\n");
            } else if (!terminated) {
                out.append("-1\r\n\r\n");
                terminated = true;
            }
            ++entries;
        } else if (goForward) {
            forward = forward + 1 > count ? 1 : static_cast<std::int16_t>(forward + 1);
            if (forward == backward) {
                done = true;
            } else if (WriteIfVisible(doc, out, block, forward) != -1) {
                ++entries;
            }
        } else {
            backward = backward - 1 < 1 ? count : static_cast<std::int16_t>(backward - 1);
            if (backward == forward) {
                done = true;
            } else if (WriteIfVisible(doc, out, block, backward) != -1) {
                ++entries;
            }
        }
        goForward = !goForward;
    } while (entries != EntriesPerSection);
}

}  // namespace

std::int16_t WriteIfVisible(const VisibilityDocument& doc, std::string& out, std::int16_t viewer,
                            std::int16_t candidate) {
    if (candidate > doc.BlockCount || !doc.IsVisible(viewer, candidate)) {
        return -1;
    }
    const auto number = static_cast<std::int16_t>(candidate - 1);
    AppendNumberLine(out, number);
    return number;
}

std::string FormatVisibilityFile(const VisibilityDocument& doc) {
    const bool oldLayout = doc.VersionText == "1.000000";
    const int count = doc.BlockCount;
    std::string out;
    // Every section fits in 301 lines of at most "299" or "-1" plus CR LF.
    const std::size_t sections = count > 0 ? static_cast<std::size_t>(count) : 0;
    out.reserve(64 + doc.VersionText.size() + sections * (16 + EntriesPerSection * 5));
    if (oldLayout) {
        AppendTextLine(out, doc.VersionText);
        AppendNumberLine(out, count);
    } else {
        out.append("Version: ");
        AppendTextLine(out, doc.VersionText);
        out.append("Blocks: ");
        AppendNumberLine(out, count);
    }
    for (std::int16_t block = 1; block <= count; ++block) {
        if (!oldLayout) {
            out.append("Block: ");
        }
        AppendNumberLine(out, block - 1);
        AppendSectionEntries(doc, out, block, oldLayout);
    }
    return out;
}

void WriteVisibilityFile(const VisibilityDocument& doc, const std::string& path) {
    WriteFileAtomically(path, FormatVisibilityFile(doc));
}

}  // namespace lumark
