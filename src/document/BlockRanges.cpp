#include "BlockRanges.h"

#include <limits>
#include <optional>

#include "TextTrim.h"

namespace lumark {

namespace {

// Digits only. Past nine digits the value no longer matters: it names no block either way,
// and stopping there keeps it from overflowing.
std::optional<long> Number(std::string_view digits) {
    if (digits.empty()) {
        return std::nullopt;
    }
    long number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number < 100000000L ? number * 10 + (c - '0') : number;
    }
    return number;
}

std::string Quoted(std::string_view part) {
    return "\"" + std::string(part) + "\"";
}

// Splits at commas and at blanks that do not stand beside a '-', so "10 - 12" is one item.
std::vector<std::string_view> Items(std::string_view text) {
    std::vector<std::string_view> items;
    std::size_t start = 0;
    const auto next = [&](std::size_t i) {
        while (i < text.size() && IsWhiteSpace(text[i])) {
            ++i;
        }
        return i < text.size() ? text[i] : '\0';
    };
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size();
        bool split = end || text[i] == ',';
        if (!split && IsWhiteSpace(text[i])) {
            const std::string_view before = TrimWhiteSpace(text.substr(start, i - start));
            split = !before.empty() && before.back() != '-' && next(i) != '-';
        }
        if (split) {
            const std::string_view item = TrimWhiteSpace(text.substr(start, i - start));
            if (!item.empty()) {
                items.push_back(item);
            }
            start = i + 1;
        }
    }
    return items;
}

struct Run {
    int First = 0;
    int Last = 0;
    int Length = 0;
};

// The runs of `shown` in the order they are written: by first block, the run through the seam
// joined into one and written from its first block.
std::vector<Run> RunsOf(const std::vector<bool>& shown) {
    const int n = static_cast<int>(shown.size());
    std::vector<Run> runs;
    for (int i = 0; i < n;) {
        if (!shown[static_cast<std::size_t>(i)]) {
            ++i;
            continue;
        }
        const int first = i;
        while (i < n && shown[static_cast<std::size_t>(i)]) {
            ++i;
        }
        runs.push_back({first, i - 1, i - first});
    }
    if (runs.size() > 1 && runs.front().First == 0 && runs.back().Last == n - 1) {
        runs.back().Last = runs.front().Last;
        runs.back().Length += runs.front().Length;
        runs.erase(runs.begin());
    }
    return runs;
}

void AppendRun(std::string& text, const Run& run) {
    if (!text.empty()) {
        text += ", ";
    }
    text += std::to_string(run.First);
    if (run.Length > 1) {
        text += '-';
        text += std::to_string(run.Last);
    }
}

}  // namespace

BlockList ReadBlockList(std::string_view text, int blockCount) {
    BlockList list;
    std::vector<bool> chosen(static_cast<std::size_t>(blockCount > 0 ? blockCount : 0) + 1, false);
    const std::string last = std::to_string(blockCount - 1);
    for (const std::string_view item : Items(text)) {
        const std::size_t dash = item.find('-');
        const std::optional<long> first = Number(TrimWhiteSpace(item.substr(0, dash)));
        const std::optional<long> second =
            dash == std::string_view::npos ? first : Number(TrimWhiteSpace(item.substr(dash + 1)));
        if (!first || !second) {
            return {{},
                    Quoted(item) +
                        " does not read as a block or a range of blocks, such as 7 or 100-140."};
        }
        for (const long number : {*first, *second}) {
            if (number >= blockCount) {
                return {{},
                        Quoted(item) +
                            (dash == std::string_view::npos ? " is not a block"
                                                            : " leaves the blocks") +
                            " of this file, 0 to " + last + "."};
            }
        }
        // Along the ring, so a range that starts at the larger number crosses the seam.
        for (long number = *first;; number = (number + 1) % blockCount) {
            chosen[static_cast<std::size_t>(number) + 1] = true;
            if (number == *second) {
                break;
            }
        }
    }
    for (std::size_t b = 1; b < chosen.size(); ++b) {
        if (chosen[b]) {
            list.Blocks.push_back(static_cast<std::int16_t>(b));
        }
    }
    if (list.Blocks.empty()) {
        list.Problem = Quoted(TrimWhiteSpace(text)) + " names no block.";
    }
    return list;
}

std::string BlockRangesText(const std::vector<bool>& shown) {
    return BlockRangesText(shown, std::numeric_limits<int>::max());
}

std::string BlockRangesText(const std::vector<bool>& shown, int maxNumbers) {
    const std::vector<Run> runs = RunsOf(shown);
    if (runs.empty()) {
        return "none";
    }
    const int n = static_cast<int>(shown.size());
    if (runs.front().Length == n) {
        return n == 1 ? "0" : "0-" + std::to_string(n - 1);
    }
    std::string text;
    int numbers = 0;
    int left = 0;
    for (const Run& run : runs) {
        left += run.Length;
    }
    for (const Run& run : runs) {
        const int written = run.Length > 1 ? 2 : 1;
        if (numbers + written > maxNumbers) {
            break;
        }
        AppendRun(text, run);
        numbers += written;
        left -= run.Length;
    }
    if (left > 0) {
        text += (text.empty() ? "" : " ") + std::string("and ") + std::to_string(left) + " more";
    }
    return text;
}

}  // namespace lumark
