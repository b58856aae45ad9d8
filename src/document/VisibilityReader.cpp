#include "VisibilityReader.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "FileSystem.h"
#include "Layouts.h"
#include "LineReader.h"
#include "LumarkError.h"
#include "MessageText.h"
#include "TextTrim.h"

namespace lumark {

namespace {

constexpr int EntriesPerSection = 300;
// What a line must contain to head a section of the new layout.
constexpr std::string_view SectionMarker = "Block:";
// Digits beyond this only matter as "too large"; saturating keeps the arithmetic exact.
constexpr std::int64_t Saturation = std::int64_t{1} << 40;

constexpr auto IsBlank = IsSpaceOrTab;
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// Accumulates a run of decimal digits, saturating at `limit`.
std::int64_t DigitValue(std::string_view digits, std::int64_t limit) {
    std::int64_t value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
        if (value > limit) {
            return limit;
        }
    }
    return value;
}

// A whole line as an integer: blanks, an optional sign, decimal digits, blanks. Called for
// every line of a file, hence the plain pointer walk.
bool ParseWholeNumber(std::string_view text, std::int64_t& value) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end && IsBlank(*p)) {
        ++p;
    }
    bool negative = false;
    if (p != end && (*p == '-' || *p == '+')) {
        negative = *p == '-';
        ++p;
    }
    const char* const digits = p;
    std::int64_t magnitude = 0;
    for (; p != end; ++p) {
        const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
        if (digit > 9) {
            break;
        }
        magnitude = std::min(magnitude * 10 + digit, Saturation);
    }
    if (p == digits) {
        return false;
    }
    while (p != end && IsBlank(*p)) {
        ++p;
    }
    if (p != end) {
        return false;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

// The digits of the longest numeric tail, found from the end in one pass. Every shorter
// numeric tail is a tail of the same digit run, so the run's own value decides overflow.
struct TrailingDigits {
    std::string_view digits;  // empty when no tail is a number
    bool negative = false;
};

TrailingDigits FindTrailingDigits(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1])) {
        --end;
    }
    std::size_t begin = end;
    while (begin > 0 && IsDigit(text[begin - 1])) {
        --begin;
    }
    TrailingDigits found;
    found.digits = text.substr(begin, end - begin);
    found.negative = begin > 0 && text[begin - 1] == '-';
    return found;
}

constexpr std::int64_t Int16Max = std::numeric_limits<std::int16_t>::max();

// Reads one file into a copy of the document; the caller's document changes only when the
// whole file has been read. Reporting is a template argument so that the plain read's entry
// loop stays as tight as it was.
template <bool Reporting>
class FileReading {
  public:
    FileReading(const VisibilityDocument& doc, const std::string& path, ReadReport* report)
        : path_(path),
          lines_(path, {std::string(OldLayoutVersion), std::string(NewLayoutVersion),
                        std::string(SectionMarker)}),
          staged_(doc),
          report_(report) {}

    void Read() {
        if (!lines_.Next(line_)) {
            FailAt(1, "the file is empty; expected the version line");
        }
        if (Contains(line_, OldLayoutVersion)) {
            ReadCountLine();
            ReadOldSections();
            version_ = OldLayoutVersion;
        } else if (Contains(line_, NewLayoutVersion)) {
            ReadCountLine();
            ReadNewSections();
            version_ = NewLayoutVersion;
        } else {
            Fail(QuotedInMessage(line_) + " is neither version 1.000000 nor 1.2");
        }
    }

    void CommitTo(VisibilityDocument& doc) {
        doc.VersionText = std::string(version_);
        doc.BlockCount = count_;
        doc.Matrix = std::move(staged_.Matrix);
    }

  private:
    [[noreturn]] void FailAt(long lineNumber, const std::string& what) const {
        throw LumarkError(path_, lineNumber, what);
    }
    [[noreturn]] void Fail(const std::string& what) const { FailAt(lines_.LineNumber(), what); }

    // The line after the last one read, which the file does not have.
    [[noreturn]] void FailAtEnd(const std::string& what) const {
        FailAt(lines_.LineNumber() + 1, "the file ends " + what);
    }

    std::string SectionsSoFar(int found) const {
        return "after " + std::to_string(found) + " of " + std::to_string(count_) +
               " block sections";
    }

    void ReadCountLine() {
        if (!lines_.Next(line_)) {
            FailAtEnd("before the block count line");
        }
    }

    // The current line as a number of `bits` bits; small enough to be inlined in the loops.
    std::int64_t WholeNumber(std::string_view what, std::int64_t low, std::int64_t high,
                             int bits) const {
        std::int64_t value = 0;
        if (!ParseWholeNumber(line_, value) || value < low || value > high) {
            FailNumber(what, bits);
        }
        return value;
    }

    [[noreturn]] void FailNumber(std::string_view what, int bits) const {
        std::int64_t value = 0;
        if (!ParseWholeNumber(line_, value)) {
            Fail(QuotedInMessage(line_) + " is not a whole number");
        }
        Fail(std::string(what) + ' ' + ShownInMessage(TrimSpaceOrTab(line_)) + " does not fit in " +
             std::to_string(bits) + " bits");
    }

    std::int32_t Int32Line(std::string_view what) const {
        return static_cast<std::int32_t>(WholeNumber(what, std::numeric_limits<std::int32_t>::min(),
                                                     std::numeric_limits<std::int32_t>::max(), 32));
    }

    std::int16_t TrailingNumberOfLine() const {
        try {
            return GetTrailingNumber(line_);
        } catch (const LumarkError& e) {
            Fail(e.Problem());
        }
    }

    // The section header of block `block` has just been read.
    void StartSection(int block) {
        if (block > VisibilityMatrix::MaxBlocks) {
            Fail("more than 300 blocks (the count is " + std::to_string(count_) + ")");
        }
        staged_.ClearRow(block);
        sectionLine_ = lines_.LineNumber();
    }

    void EndSection(int block) {
        if (Reporting && !staged_.IsVisible(block, block)) {
            report_->WithoutSelf.push_back({sectionLine_, block});
        }
    }

    void NoteEntry(int block, std::int32_t entry) {
        const ReadReport::Entry found{lines_.LineNumber(), block, entry};
        if (staged_.IsVisible(block, static_cast<int>(entry) + 1)) {
            report_->Repeated.push_back(found);
        }
        if (entry >= count_) {
            report_->BeyondCount.push_back(found);
        }
    }

    // Stores an entry line; false for the "-1" that marks no block.
    bool StoreEntry(int block) {
        const std::int32_t entry = Int32Line("entry");
        if (entry == -1) {
            return false;
        }
        if (entry < -1 || entry >= VisibilityMatrix::MaxBlocks) {
            Fail("entry " + std::to_string(entry) + " is outside 0 to 299");
        }
        if constexpr (Reporting) {
            NoteEntry(block, entry);
        }
        staged_.MarkVisible(block, entry);
        return true;
    }

    void ReadOldSections() {
        count_ = static_cast<std::int16_t>(
            WholeNumber("block count", std::numeric_limits<std::int16_t>::min(), Int16Max, 16));
        for (int block = 1; block <= count_; ++block) {
            if (!lines_.Next(line_)) {
                FailAtEnd(SectionsSoFar(block - 1) + "; expected a block number line");
            }
            Int32Line("block number");
            StartSection(block);
            for (int entries = 0; entries < EntriesPerSection; ++entries) {
                if (!lines_.Next(line_)) {
                    FailAtEnd("in block section " + std::to_string(block) + " after " +
                              std::to_string(entries) + " of its 300 entry lines");
                }
                StoreEntry(block);
            }
            EndSection(block);
        }
    }

    void ReadNewSections() {
        count_ = TrailingNumberOfLine();
        for (int block = 1; block <= count_; ++block) {
            do {
                if (!lines_.Next(line_)) {
                    FailAtEnd(SectionsSoFar(block - 1) + "; expected a \"Block:\" line");
                }
            } while (!Contains(line_, SectionMarker));
            TrailingNumberOfLine();
            StartSection(block);
            for (int entries = 0; entries < EntriesPerSection; ++entries) {
                if (!lines_.Next(line_)) {
                    FailAtEnd("in block section " + std::to_string(block) +
                              ", where an entry or \"-1\" was expected");
                }
                if (!StoreEntry(block)) {
                    break;
                }
            }
            EndSection(block);
        }
    }

    const std::string& path_;
    LineReader lines_;
    VisibilityDocument staged_;
    std::string_view line_;
    std::string_view version_;
    std::int16_t count_ = 0;
    ReadReport* report_;
    long sectionLine_ = 0;
};

// Most files were written by the writer and are read again as they are: such a file is read
// whole and taken apart without the line-by-line reading's care for every other form. The
// first byte that departs from the writer's form hands the file to the full reading, which
// then gives the same document, or the error, as always.
class WriterFormReading {
  public:
    // The old layout's 300 sections of 301 lines of at most five bytes, with room to spare.
    static constexpr std::size_t LongestFile = 64 + 300 * 301 * 5;

    // `seen` is kept from file to file, so that a batch reuses its memory.
    WriterFormReading(std::string_view bytes, std::vector<std::int16_t>& seen)
        : rest_(bytes), seen_(seen) {}

    // Whether the bytes are in the writer's form; what each block sees is noted, not stored,
    // so that a file that departs from the form late leaves the document as it was.
    bool Read() {
        seen_.clear();
        bool oldLayout = false;
        if (Take("1.000000\r\n")) {
            oldLayout = true;
        } else if (!Take("Version: 1.2\r\nBlocks: ")) {
            return false;
        }
        int count = 0;
        if (!Number(count, VisibilityMatrix::MaxBlocks + 1)) {
            return false;
        }
        for (int block = 1; block <= count; ++block) {
            if ((!oldLayout && !Take("Block: ")) || !Section(block, count, oldLayout)) {
                return false;
            }
        }
        version_ = oldLayout ? OldLayoutVersion : NewLayoutVersion;
        count_ = static_cast<std::int16_t>(count);
        return rest_.empty();
    }

    // Stores what Read() found into `doc`.
    void CommitTo(VisibilityDocument& doc) const {
        auto next = seen_.begin();
        for (int block = 1; block <= count_; ++block) {
            doc.ClearRow(block);
            for (; *next != EndOfSection; ++next) {
                doc.MarkVisible(block, *next);
            }
            ++next;
        }
        doc.VersionText = std::string(version_);
        doc.BlockCount = count_;
    }

  private:
    static constexpr std::int16_t EndOfSection = -1;

    bool Take(std::string_view text) {
        if (rest_.substr(0, text.size()) != text) {
            return false;
        }
        rest_.remove_prefix(text.size());
        return true;
    }

    // A line of a number below `below` as the writer writes it: no sign, no leading zero.
    bool Number(int& value, int below) {
        std::size_t digits = 0;
        value = 0;
        while (digits < rest_.size() && digits < 4 && IsDigit(rest_[digits])) {
            value = value * 10 + (rest_[digits] - '0');
            ++digits;
        }
        if (digits == 0 || (rest_[0] == '0' && digits > 1) || value >= below) {
            return false;
        }
        rest_.remove_prefix(digits);
        return Take("\r\n");
    }

    // Where the writer's walk from `block`, one step forward, one step back, one further
    // forward and so on, reaches block `seen`; the writer lists the blocks seen in this order.
    static int WalkPosition(int block, int seen, int count) {
        const int forward = seen >= block ? seen - block : seen - block + count;
        const int backward = count - forward;
        return forward <= backward ? 2 * (forward - 1) : 2 * (backward - 1) + 1;
    }

    // A section after its "Block: " (new layout): the block, itself, the blocks it sees in the
    // walk's order, and the layout's end.
    bool Section(int block, int count, bool oldLayout) {
        int number = 0;
        if (!Number(number, count) || number != block - 1) {
            return false;
        }
        int entries = 0;
        int lastPosition = -2;  // itself comes first
        while (entries < EntriesPerSection && rest_.substr(0, 2) != "-1") {
            int seen = 0;
            if (!Number(seen, count)) {
                return false;
            }
            const int position = seen == block - 1 ? -1 : WalkPosition(block, seen + 1, count);
            if (position <= lastPosition || (entries == 0 && position != -1)) {
                return false;
            }
            lastPosition = position;
            seen_.push_back(static_cast<std::int16_t>(seen));
            ++entries;
        }
        if (entries == 0) {
            return false;
        }
        seen_.push_back(EndOfSection);
        if (!oldLayout) {
            return entries == EntriesPerSection || Take("-1\r\n\r\n");
        }
        // The old layout fills the section with "-1" lines: most of its bytes, compared at once.
        const std::size_t fill = 4 * static_cast<std::size_t>(EntriesPerSection - entries);
        if (rest_.substr(0, fill) != NoBlockLines().substr(0, fill)) {
            return false;
        }
        rest_.remove_prefix(fill);
        return true;
    }

    static std::string_view NoBlockLines() {
        static const std::string lines = [] {
            std::string made;
            for (int line = 0; line < EntriesPerSection; ++line) {
                made += "-1\r\n";
            }
            return made;
        }();
        return lines;
    }

    std::string_view rest_;
    std::vector<std::int16_t>& seen_;  // each block's entries, EndOfSection after each
    std::string_view version_;
    std::int16_t count_ = 0;
};

// The read of a file in the writer's form; false, with `doc` untouched, for any other file.
bool ReadWriterForm(VisibilityDocument& doc, const std::string& path) {
    // Kept from file to file: a batch of files reads into memory that is already there.
    thread_local std::string bytes;
    thread_local std::vector<std::int16_t> seen;
    // Room for the longest at once: growing chunk by chunk would copy and fault in far more.
    bytes.reserve(WriterFormReading::LongestFile + 1);
    seen.reserve(VisibilityMatrix::MaxBlocks * (EntriesPerSection + 1));
    if (platform::ReadSmallFile(path, bytes, WriterFormReading::LongestFile) !=
        platform::ReadResult::Read) {
        return false;  // the full reading says why, or reads what is not a plain file
    }
    WriterFormReading reading(bytes, seen);
    if (!reading.Read()) {
        return false;
    }
    reading.CommitTo(doc);
    return true;
}

}  // namespace

void ReadVisibilityFile(VisibilityDocument& doc, const std::string& path) {
    if (ReadWriterForm(doc, path)) {
        return;
    }
    FileReading<false> reading(doc, path, nullptr);
    reading.Read();
    reading.CommitTo(doc);
}

void ReadVisibilityFile(VisibilityDocument& doc, const std::string& path, ReadReport& report) {
    report = ReadReport();
    if (ReadWriterForm(doc, path)) {
        report.InWriterForm = true;
        return;
    }
    FileReading<true> reading(doc, path, &report);
    reading.Read();
    reading.CommitTo(doc);
}

std::int16_t GetTrailingNumber(std::string_view text) {
    const TrailingDigits found = FindTrailingDigits(text);
    const std::int64_t magnitude = DigitValue(found.digits, Int16Max + 1);
    if (magnitude > Int16Max) {
        throw LumarkError("trailing number " + ShownInMessage(found.digits) +
                          " does not fit in 16 bits");
    }
    return static_cast<std::int16_t>(found.negative ? -magnitude : magnitude);
}

}  // namespace lumark
