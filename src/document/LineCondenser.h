#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lumark {

// Turns a line of any length, fed in pieces, into a short stand-in that answers every question
// the reader asks of a line exactly as the whole line would:
//   - whether it contains each of the given markers;
//   - whether it is a whole number (blanks, an optional sign, digits, blanks) and its value,
//     up to the point where every larger value is equally "too large";
//   - the digits of its longest numeric tail, the sign before them and their value, likewise;
//   - its first 40 bytes, and whether there are more, for error messages; the same for the
//     digits of either number.
// Memory stays the same however long the line is.
class LineCondenser {
  public:
    // Each marker must hold a byte that is neither a digit, a blank, a sign nor a control
    // byte, so that no number can contain one and the stand-in's separators never form one.
    explicit LineCondenser(std::vector<std::string> markers);

    void Begin();
    void Add(std::string_view piece);
    // Valid until the next Begin().
    std::string_view Finish();

  private:
    // A run of digits kept as its leading zeros (counted) and its first significant digits.
    class DigitRun {
      public:
        void Clear() {
            zeros_ = 0;
            significant_.clear();
        }
        void Add(std::string_view digits);
        // Short runs come out whole; long ones keep the first 40 bytes of the run and enough
        // digits to be too large for any width the reader uses.
        void AppendTo(std::string& out) const;

      private:
        std::size_t zeros_ = 0;
        std::string significant_;
    };

    // Where the line stands as a whole number.
    enum class Shape { LeadingBlanks, Sign, Digits, TrailingBlanks, Other };
    // Where the line stands as text with a numeric tail.
    enum class Tail { None, Digits, BlanksAfterDigits };

    // One run of bytes of a kind: digits, blanks, or bytes that are neither.
    void AddDigits(std::string_view digits);
    void AddBlanks();
    void AddOther(std::string_view bytes);
    void FindMarkers(std::string_view piece);

    std::vector<std::string> markers_;
    std::size_t longestMarker_ = 0;
    std::vector<bool> found_;
    std::string overlap_;  // the last bytes fed, for markers split between pieces

    std::string head_;
    Shape shape_ = Shape::LeadingBlanks;
    bool leadingBlanks_ = false;
    char sign_ = 0;
    DigitRun number_;
    bool trailingBlanks_ = false;

    Tail tail_ = Tail::None;
    bool anyByte_ = false;
    char previous_ = 0;
    char beforeTail_ = 0;
    bool hasBeforeTail_ = false;
    DigitRun tailDigits_;

    std::string condensed_;
};

}  // namespace lumark
