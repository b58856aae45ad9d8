#include "LineCondenser.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "MessageText.h"
#include "TextTrim.h"

namespace lumark {

namespace {

// Parts the stand-in's pieces, so that no marker can run from one piece into the next.
constexpr char Separator = '\x1f';
// More significant digits than any width the reader converts to can hold.
constexpr std::size_t KeptSignificantDigits = MessageTextLength + 1;

constexpr auto IsBlank = IsSpaceOrTab;
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsSign(char c) {
    return c == '-' || c == '+';
}

// Only such a byte can tell a marker apart from the digits and blanks of a number.
bool SetsMarkerApart(char c) {
    return !IsBlank(c) && !IsDigit(c) && !IsSign(c) && static_cast<unsigned char>(c) >= 0x20;
}

}  // namespace

void LineCondenser::DigitRun::Add(std::string_view digits) {
    if (significant_.empty()) {
        const std::size_t zeros = std::min(digits.find_first_not_of('0'), digits.size());
        zeros_ += zeros;
        digits.remove_prefix(zeros);
    }
    significant_.append(digits.substr(0, KeptSignificantDigits - significant_.size()));
}

void LineCondenser::DigitRun::AppendTo(std::string& out) const {
    out.append(std::min(zeros_, MessageTextLength + 1), '0');
    out += significant_;
}

LineCondenser::LineCondenser(std::vector<std::string> markers) : markers_(std::move(markers)) {
    for (const std::string& marker : markers_) {
        // The byte that sets a marker apart must not be its first: the stand-in's numeric
        // tail is one byte of any kind followed by digits.
        if (marker.size() < 2 || std::none_of(marker.begin() + 1, marker.end(), SetsMarkerApart)) {
            throw std::invalid_argument("marker \"" + marker + "\" could be part of a number");
        }
        longestMarker_ = std::max(longestMarker_, marker.size());
    }
    found_.resize(markers_.size());
    Begin();
}

void LineCondenser::Begin() {
    std::fill(found_.begin(), found_.end(), false);
    overlap_.clear();
    head_.clear();
    shape_ = Shape::LeadingBlanks;
    leadingBlanks_ = false;
    sign_ = 0;
    number_.Clear();
    trailingBlanks_ = false;
    tail_ = Tail::None;
    anyByte_ = false;
    previous_ = 0;
    beforeTail_ = 0;
    hasBeforeTail_ = false;
    tailDigits_.Clear();
}

void LineCondenser::Add(std::string_view piece) {
    const std::size_t forHead = std::min(piece.size(), MessageTextLength - head_.size());
    head_.append(piece.data(), forHead);
    FindMarkers(piece);
    // Run by run: a line of millions of digits or blanks changes the state once per run.
    const char* p = piece.data();
    const char* const end = p + piece.size();
    while (p != end) {
        const char* q = p;
        if (IsDigit(*p)) {
            while (q != end && IsDigit(*q)) {
                ++q;
            }
            AddDigits(std::string_view(p, static_cast<std::size_t>(q - p)));
        } else if (IsBlank(*p)) {
            while (q != end && IsBlank(*q)) {
                ++q;
            }
            AddBlanks();
        } else {
            while (q != end && !IsDigit(*q) && !IsBlank(*q)) {
                ++q;
            }
            AddOther(std::string_view(p, static_cast<std::size_t>(q - p)));
        }
        previous_ = q[-1];
        anyByte_ = true;
        p = q;
    }
}

void LineCondenser::FindMarkers(std::string_view piece) {
    if (std::find(found_.begin(), found_.end(), false) != found_.end()) {
        // A marker that starts in an earlier piece ends within the first bytes of this one.
        const std::string joint = overlap_ + std::string(piece.substr(0, longestMarker_ - 1));
        for (std::size_t i = 0; i < markers_.size(); ++i) {
            found_[i] = found_[i] || joint.find(markers_[i]) != std::string::npos ||
                        piece.find(markers_[i]) != std::string_view::npos;
        }
    }
    const std::size_t keep = longestMarker_ - 1;
    if (piece.size() >= keep) {
        overlap_.assign(piece.substr(piece.size() - keep));
    } else {
        overlap_.append(piece);
        overlap_.erase(0, overlap_.size() - std::min(overlap_.size(), keep));
    }
}

void LineCondenser::AddDigits(std::string_view digits) {
    switch (shape_) {
        case Shape::LeadingBlanks:
        case Shape::Sign:
        case Shape::Digits:
            number_.Add(digits);
            shape_ = Shape::Digits;
            break;
        case Shape::TrailingBlanks:
        case Shape::Other:
            shape_ = Shape::Other;
            break;
    }
    if (tail_ != Tail::Digits) {
        tailDigits_.Clear();
        hasBeforeTail_ = anyByte_;
        beforeTail_ = previous_;
        tail_ = Tail::Digits;
    }
    tailDigits_.Add(digits);
}

void LineCondenser::AddBlanks() {
    switch (shape_) {
        case Shape::LeadingBlanks:
            leadingBlanks_ = true;
            break;
        case Shape::Digits:
        case Shape::TrailingBlanks:
            trailingBlanks_ = true;
            shape_ = Shape::TrailingBlanks;
            break;
        case Shape::Sign:
        case Shape::Other:
            shape_ = Shape::Other;
            break;
    }
    if (tail_ != Tail::None) {
        tail_ = Tail::BlanksAfterDigits;
    }
}

void LineCondenser::AddOther(std::string_view bytes) {
    if (shape_ == Shape::LeadingBlanks && bytes.size() == 1 && IsSign(bytes[0])) {
        sign_ = bytes[0];
        shape_ = Shape::Sign;
    } else {
        shape_ = Shape::Other;
    }
    tail_ = Tail::None;
}

std::string_view LineCondenser::Finish() {
    condensed_.clear();
    if (shape_ == Shape::Digits || shape_ == Shape::TrailingBlanks) {
        if (leadingBlanks_) {
            condensed_ += ' ';
        }
        if (sign_ != 0) {
            condensed_ += sign_;
        }
        number_.AppendTo(condensed_);
        if (trailingBlanks_) {
            condensed_ += ' ';
        }
        return condensed_;
    }
    condensed_ = head_;
    condensed_ += Separator;
    for (std::size_t i = 0; i < markers_.size(); ++i) {
        if (found_[i]) {
            condensed_ += markers_[i];
            condensed_ += Separator;
        }
    }
    if (tail_ != Tail::None) {
        if (hasBeforeTail_) {
            condensed_ += beforeTail_;
        }
        tailDigits_.AppendTo(condensed_);
        if (tail_ == Tail::BlanksAfterDigits) {
            condensed_ += ' ';
        }
    }
    return condensed_;
}

}  // namespace lumark
