#include "ViewDistance.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "LumarkModule.h"
#include "MatrixEdits.h"
#include "Rounding.h"
#include "TextTrim.h"

namespace lumark::ViewDistance {

namespace {

std::int16_t Behind(std::int16_t j, std::int16_t n) {
    return LumarkModule::WrapBlockIndex(static_cast<std::int16_t>(j - 1), n);
}

std::int16_t Ahead(std::int16_t j, std::int16_t n) {
    return LumarkModule::WrapBlockIndex(static_cast<std::int16_t>(j + 1), n);
}

void Toggle(VisibilityDocument& doc, std::int16_t b, std::int16_t j) {
    std::int16_t column = b;
    std::int16_t row = j;
    ToggleVisibilityCell(doc, column, row);
}

// b -+ N/2 as the nearest 16-bit integer, halves to even.
std::int16_t HalfRingAway(std::int16_t b, std::int16_t n, int sign) {
    const auto j = RoundHalfEven<std::int16_t>(b + sign * static_cast<double>(n) / 2.0);
    return j.value_or(b);  // cannot miss: |b| and |n| stay far inside 16 bits
}

template <typename PerBlock>
int ForEachSelected(const VisibilityDocument& doc, const BlockSelection& selection,
                    PerBlock perBlock) {
    const std::int16_t n = doc.BlockCount;
    int selected = 0;
    for (std::int16_t b = 1; b <= n; ++b) {
        if (SelectedBlock(selection, b)) {
            ++selected;
            perBlock(b);
        }
    }
    return selected;
}

}  // namespace

void IncreaseViewDistance(VisibilityDocument& doc, std::int16_t b) {
    const std::int16_t n = doc.BlockCount;
    std::int16_t j = b;
    do {
        j = Behind(j, n);
    } while (doc.IsVisible(b, j) && j != b);
    if (j != b) {
        Toggle(doc, b, j);
    }
    j = b;
    do {
        j = Ahead(j, n);
    } while (doc.IsVisible(b, j) && j != b);
    if (j != b) {
        Toggle(doc, b, j);
    }
}

void DecreaseViewDistance(VisibilityDocument& doc, std::int16_t b) {
    const std::int16_t n = doc.BlockCount;
    std::int16_t j = HalfRingAway(b, n, -1);
    if (j < 1) {
        j = static_cast<std::int16_t>(j + n);
    }
    while (!doc.IsVisible(b, j) && j != b) {
        j = Ahead(j, n);
    }
    if (j != b) {
        Toggle(doc, b, j);
    }
    j = HalfRingAway(b, n, 1);
    if (j > n) {
        j = static_cast<std::int16_t>(j - n);
    }
    while (!doc.IsVisible(b, j) && j != b) {
        j = Behind(j, n);
    }
    if (j != b) {
        Toggle(doc, b, j);
    }
}

void SetMinimumViewDistance(VisibilityDocument& doc, std::int16_t b, std::int16_t m) {
    const std::int16_t n = doc.BlockCount;
    for (auto step : {Behind, Ahead}) {
        std::int16_t j = b;
        std::int16_t count = 0;
        do {
            j = step(j, n);
            ++count;
            if (!doc.IsVisible(b, j)) {
                Toggle(doc, b, j);
            }
        } while (count != m && j != b);
    }
}

void SetExactViewDistance(VisibilityDocument& doc, std::int16_t b, std::int16_t d) {
    const std::int16_t n = doc.BlockCount;
    for (std::int16_t j = 1; j <= n; ++j) {
        const int apart = j > b ? j - b : b - j;
        const bool near = std::min(apart, n - apart) <= d;
        if (doc.IsVisible(b, j) != near) {
            Toggle(doc, b, j);
        }
    }
}

int SetExactSelected(VisibilityDocument& doc, const BlockSelection& selection, std::int16_t d) {
    return ForEachSelected(doc, selection,
                           [&](std::int16_t b) { SetExactViewDistance(doc, b, d); });
}

std::optional<std::int16_t> ExactDistanceFromReply(const std::string& reply,
                                                   std::int16_t blockCount) {
    const std::optional<std::int16_t> d = MinimumFromReply(reply);
    if (!d || *d < 0 || *d > blockCount / 2) {
        return std::nullopt;
    }
    return d;
}

int IncreaseSelected(VisibilityDocument& doc, const BlockSelection& selection) {
    return ForEachSelected(doc, selection, [&](std::int16_t b) { IncreaseViewDistance(doc, b); });
}

int DecreaseSelected(VisibilityDocument& doc, const BlockSelection& selection) {
    return ForEachSelected(doc, selection, [&](std::int16_t b) { DecreaseViewDistance(doc, b); });
}

int SetMinimumSelected(VisibilityDocument& doc, const BlockSelection& selection, std::int16_t m) {
    return ForEachSelected(doc, selection,
                           [&](std::int16_t b) { SetMinimumViewDistance(doc, b, m); });
}

int SetMinimumCommand(VisibilityDocument& doc, const BlockSelection& selection,
                      const InputBoxFunction& inputBox) {
    const std::int16_t n = doc.BlockCount;
    if (n == 0) {
        return 0;
    }
    const std::string reply =
        inputBox("Enter minimum (1-" + std::to_string(n) + ") : ", "Set View Distance", "5");
    const std::optional<std::int16_t> m = MinimumFromReply(reply);
    if (!m || *m < 1 || *m > n) {
        return 0;
    }
    return SetMinimumSelected(doc, selection, *m);
}

std::optional<std::int16_t> MinimumFromReply(const std::string& reply) {
    // Plain decimal only: sign, digits, an optional fraction and exponent, with a point whatever
    // the locale says.
    const std::string text(TrimSpaceOrTab(reply));
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t from = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++i;
        }
        return i - from;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t mantissa = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) {
        return std::nullopt;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        if (digits() == 0) {
            return std::nullopt;
        }
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);  // from_chars takes no '+'
    double value = 0;
    const std::from_chars_result parsed = std::from_chars(first, text.data() + text.size(), value);
    if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size()) {
        return std::nullopt;  // out of range for a double
    }
    return RoundHalfEven<std::int16_t>(value);
}

}  // namespace lumark::ViewDistance
