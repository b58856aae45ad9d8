#include "RecoveryFormat.h"

#include <xxhash.h>

#include <algorithm>
#include <cstring>
#include <tuple>
#include <utility>

#include "LumarkError.h"

namespace lumark::RecoveryFormat {

namespace {

constexpr char Magic[8] = {'L', 'M', 'K', 'R', 'E', 'C', 'O', 'V'};
constexpr std::uint32_t Version = 1;
constexpr std::size_t EntryHeaderSize = 9;
// Far beyond any step's text or any path: a longer one is damage.
constexpr std::size_t MaxTextBytes = 1 << 20;
constexpr int RelationSide = VisibilityMatrix::MaxBlocks;

// The head of a run: the column in the low 9 bits, then the direction, a length that follows,
// and the value after; bits 12 to 14 are unused.
constexpr std::uint16_t IndexMask = 0x1FF;
constexpr int DirectionShift = 9;
constexpr std::uint16_t MoreBit = 1 << 11;
constexpr std::uint16_t VisibleBit = 1 << 15;
constexpr std::uint16_t UnusedBits = 0x7000;

enum Direction { NextRow, PreviousRow, NextColumn, PreviousColumn };

class Writer {
  public:
    void U8(std::uint8_t value) { bytes_.push_back(static_cast<char>(value)); }
    void U16(std::uint16_t value) { Little(value, 2); }
    void U32(std::uint32_t value) { Little(value, 4); }
    void U64(std::uint64_t value) { Little(value, 8); }
    void Varint(std::uint64_t value) {
        while (value >= 0x80) {
            U8(static_cast<std::uint8_t>(value | 0x80));
            value >>= 7;
        }
        U8(static_cast<std::uint8_t>(value));
    }
    void Text(std::string_view text) {
        Varint(text.size());
        bytes_.append(text);
    }
    void Raw(std::string_view bytes) { bytes_.append(bytes); }
    std::string Take() { return std::move(bytes_); }

  private:
    void Little(std::uint64_t value, int count) {
        for (int i = 0; i < count; ++i) {
            U8(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    }
    std::string bytes_;
};

class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    std::uint8_t U8() { return static_cast<std::uint8_t>(Take(1)[0]); }
    std::uint16_t U16() { return static_cast<std::uint16_t>(Little(2)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Little(4)); }
    std::uint64_t U64() { return Little(8); }
    std::uint64_t Varint() {
        std::uint64_t value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            const std::uint8_t byte = U8();
            value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0) {
                return value;
            }
        }
        throw LumarkError("a number too long");
    }
    // A count that cannot exceed `limit`.
    std::size_t Count(std::uint64_t limit, const char* what) {
        const std::uint64_t value = Varint();
        if (value > limit) {
            throw LumarkError(std::string(what) + " " + std::to_string(value) + " is out of range");
        }
        return static_cast<std::size_t>(value);
    }
    std::string Text(std::size_t limit, const char* what) {
        return std::string(Take(Count(limit, what)));
    }
    std::string_view Take(std::size_t count) {
        if (count > bytes_.size()) {
            throw LumarkError("an entry ends early");
        }
        const std::string_view part = bytes_.substr(0, count);
        bytes_.remove_prefix(count);
        return part;
    }
    void ExpectEnd() const {
        if (!bytes_.empty()) {
            throw LumarkError("an entry has " + std::to_string(bytes_.size()) + " bytes too many");
        }
    }

  private:
    std::uint64_t Little(int count) {
        const std::string_view part = Take(static_cast<std::size_t>(count));
        std::uint64_t value = 0;
        for (int i = count; i-- > 0;) {
            value = value << 8 | static_cast<std::uint8_t>(part[static_cast<std::size_t>(i)]);
        }
        return value;
    }
    std::string_view bytes_;
};

std::uint32_t HeaderCheck(std::string_view head) {
    return static_cast<std::uint32_t>(XXH3_64bits(head.data(), head.size()));
}

std::uint64_t PayloadCheck(std::string_view payload, std::uint32_t headerCheck) {
    return XXH3_64bits_withSeed(payload.data(), payload.size(), headerCheck);
}

// The element one ring step from (column, row) in `direction`.
std::pair<int, int> Neighbour(int column, int row, int direction, int blockCount) {
    const auto next = [&](int i) { return i >= blockCount ? 1 : i + 1; };
    const auto previous = [&](int i) { return i <= 1 ? blockCount : i - 1; };
    switch (direction) {
        case NextRow:
            return {column, next(row)};
        case PreviousRow:
            return {column, previous(row)};
        case NextColumn:
            return {next(column), row};
        default:
            return {previous(column), row};
    }
}

bool Continues(const ElementChange& from, const ElementChange& to, int direction, int blockCount) {
    return to.After == from.After && Neighbour(from.Column, from.Row, direction, blockCount) ==
                                         std::pair<int, int>(to.Column, to.Row);
}

void WriteStep(Writer& out, const RecordedStep& step, std::int16_t blockCount) {
    out.U8(static_cast<std::uint8_t>(step.Kind));
    out.Text(step.Text);
    const std::vector<ElementChange>& changes = step.Changes;
    const std::size_t maxRun = static_cast<std::size_t>(std::max<int>(blockCount, 1));
    Writer runs;
    std::size_t runCount = 0;
    for (std::size_t start = 0; start < changes.size();) {
        int direction = NextRow;
        std::size_t length = 1;
        if (start + 1 < changes.size()) {
            for (int d = NextRow; d <= PreviousColumn; ++d) {
                if (Continues(changes[start], changes[start + 1], d, blockCount)) {
                    direction = d;
                    while (start + length < changes.size() && length < maxRun &&
                           Continues(changes[start + length - 1], changes[start + length], d,
                                     blockCount)) {
                        ++length;
                    }
                    break;
                }
            }
        }
        const ElementChange& first = changes[start];
        runs.U16(static_cast<std::uint16_t>(
            (static_cast<std::uint16_t>(first.Column) & IndexMask) | direction << DirectionShift |
            (length > 1 ? MoreBit : 0) | (first.After == True16 ? VisibleBit : 0)));
        runs.U16(static_cast<std::uint16_t>(first.Row) & IndexMask);
        if (length > 1) {
            runs.Varint(length - 2);
        }
        ++runCount;
        start += length;
    }
    out.Varint(runCount);
    out.Raw(runs.Take());
}

RecordedStep ReadStep(Reader& in, std::int16_t blockCount) {
    RecordedStep step;
    const std::uint8_t kind = in.U8();
    if (kind > static_cast<std::uint8_t>(StepKind::DoubleClick)) {
        throw LumarkError("a step of unknown kind " + std::to_string(kind));
    }
    step.Kind = static_cast<StepKind>(kind);
    step.Text = in.Text(MaxTextBytes, "a step text of length");
    const int maxRun = std::max<int>(blockCount, 1);
    // Each run takes at least 4 bytes: a count beyond what the entry holds is damage.
    const std::size_t runCount = in.Count(1u << 30, "a run count");
    for (std::size_t i = 0; i < runCount; ++i) {
        const std::uint16_t head = in.U16();
        const std::uint16_t row = in.U16();
        if ((head & UnusedBits) != 0 || (row & ~IndexMask) != 0) {
            throw LumarkError("a run with unknown bits");
        }
        std::size_t length = 1;
        if ((head & MoreBit) != 0) {
            if (maxRun < 2) {
                throw LumarkError("a run longer than the ring");
            }
            length = in.Count(static_cast<std::uint64_t>(maxRun - 2), "a run of length") + 2;
        }
        const int direction = head >> DirectionShift & 3;
        const std::int16_t after = (head & VisibleBit) != 0 ? True16 : False16;
        int c = head & IndexMask;
        int r = row;
        for (std::size_t k = 0; k < length; ++k) {
            step.Changes.push_back({static_cast<std::int16_t>(c), static_cast<std::int16_t>(r),
                                    static_cast<std::int16_t>(~after), after});
            std::tie(c, r) = Neighbour(c, r, direction, blockCount);
        }
    }
    return step;
}

std::size_t BitOf(int column, int row) {
    return static_cast<std::size_t>(column - 1) * RelationSide + static_cast<std::size_t>(row - 1);
}

std::string RelationBits(const VisibilityMatrix& relation) {
    std::string bits(RelationBytes, '\0');
    for (int column = 1; column <= RelationSide; ++column) {
        for (int row = 1; row <= RelationSide; ++row) {
            if (relation.Get(column, row) == True16) {
                const std::size_t bit = BitOf(column, row);
                bits[bit / 8] = static_cast<char>(bits[bit / 8] | 1 << (bit % 8));
            }
        }
    }
    return bits;
}

VisibilityMatrix RelationFromBits(std::string_view bits) {
    VisibilityDocument relation;
    for (int column = 1; column <= RelationSide; ++column) {
        for (int row = 1; row <= RelationSide; ++row) {
            const std::size_t bit = BitOf(column, row);
            if ((static_cast<unsigned char>(bits[bit / 8]) >> (bit % 8) & 1) != 0) {
                relation.SetElement(column, row, True16);
            }
        }
    }
    return relation.Matrix;
}

RecoveredRecord ReadSnapshot(std::string_view payload) {
    Reader in(payload);
    RecordedFile file;
    file.Path = in.Text(MaxTextBytes, "a path of length");
    file.State.Identity.Device = in.U64();
    file.State.Identity.Inode = in.U64();
    file.State.Identity.Size = static_cast<std::int64_t>(in.U64());
    file.State.Identity.ModifiedNs = static_cast<std::int64_t>(in.U64());
    file.State.Hash = in.U64();
    file.VersionText = in.Text(MaxTextBytes, "a version text of length");
    const auto blockCount = static_cast<std::int16_t>(in.U16());
    const std::size_t stepCount = in.Count(1u << 30, "a step count");
    const std::size_t position = in.Count(stepCount, "a position");
    const std::size_t saved =
        in.Count(static_cast<std::uint64_t>(stepCount) + 1, "a saved position");
    const VisibilityMatrix base = RelationFromBits(in.Take(RelationBytes));
    std::vector<RecordedStep> steps;
    for (std::size_t i = 0; i < stepCount; ++i) {
        steps.push_back(ReadStep(in, blockCount));
    }
    in.ExpectEnd();
    return {std::move(file),
            RecordedHistory::FromSteps(
                base, blockCount, std::move(steps), position,
                saved == 0 ? std::nullopt : std::optional<std::size_t>(saved - 1))};
}

bool AllZero(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == '\0'; });
}

}  // namespace

std::string FileHeader() {
    Writer out;
    out.Raw(std::string_view(Magic, sizeof Magic));
    out.U32(Version);
    return out.Take();
}

std::string Entry(EntryType type, std::string_view payload) {
    Writer head;
    head.U32(static_cast<std::uint32_t>(payload.size()));
    head.U8(static_cast<std::uint8_t>(type));
    std::string entry = head.Take();
    const std::uint32_t check = HeaderCheck(entry);
    Writer out;
    out.Raw(entry);
    out.U32(check);
    out.Raw(payload);
    out.U64(PayloadCheck(payload, check));
    return out.Take();
}

std::string SnapshotPayload(const RecordedFile& file, const RecordedHistory& history) {
    Writer out;
    out.Text(file.Path);
    out.U64(file.State.Identity.Device);
    out.U64(file.State.Identity.Inode);
    out.U64(static_cast<std::uint64_t>(file.State.Identity.Size));
    out.U64(static_cast<std::uint64_t>(file.State.Identity.ModifiedNs));
    out.U64(file.State.Hash);
    out.Text(file.VersionText);
    out.U16(static_cast<std::uint16_t>(history.BlockCount()));
    out.Varint(history.Steps().size());
    out.Varint(history.Position());
    out.Varint(history.SavedPosition() ? *history.SavedPosition() + 1 : 0);
    out.Raw(RelationBits(history.Base()));
    for (const RecordedStep& step : history.Steps()) {
        WriteStep(out, step, history.BlockCount());
    }
    return out.Take();
}

std::string StepPayload(const RecordedStep& step, std::int16_t blockCount) {
    Writer out;
    WriteStep(out, step, blockCount);
    return out.Take();
}

ParsedRecord Parse(std::string_view bytes) {
    if (bytes.size() < HeaderSize ||
        bytes.substr(0, sizeof Magic) != std::string_view(Magic, sizeof Magic)) {
        throw LumarkError("not a recovery record");
    }
    Reader header(bytes.substr(sizeof Magic, 4));
    const std::uint32_t version = header.U32();
    if (version != Version) {
        throw LumarkError("unknown version " + std::to_string(version));
    }
    std::optional<RecoveredRecord> record;
    // Undos and redos move where the history stands, each checked as it comes, and the move is
    // played when a step is pushed or the record ends: a step undone and redone over and over is
    // then played once, so that the time to read follows the record's size, not its square.
    std::size_t standsAt = 0;
    const auto playMoves = [&] {
        RecordedHistory& history = record->History;
        while (history.Position() > standsAt) {
            history.Undo();
        }
        while (history.Position() < standsAt) {
            history.Redo();
        }
    };
    std::size_t offset = HeaderSize;
    while (offset < bytes.size()) {
        const std::string_view rest = bytes.substr(offset);
        const std::string where = "the entry at byte " + std::to_string(offset);
        // A write cut short leaves a prefix of its entry; a power cut may leave zeros.
        if (rest.size() < EntryHeaderSize) {
            break;
        }
        Reader head(rest.substr(0, EntryHeaderSize));
        const std::uint32_t length = head.U32();
        const auto type = static_cast<EntryType>(head.U8());
        const std::uint32_t check = head.U32();
        if (check != HeaderCheck(rest.substr(0, 5))) {
            if (AllZero(rest)) {
                break;
            }
            throw LumarkError(where + " is damaged");
        }
        if (rest.size() < EntryOverhead || length > rest.size() - EntryOverhead) {
            break;  // ends within this entry
        }
        const std::string_view payload = rest.substr(EntryHeaderSize, length);
        Reader trailer(rest.substr(EntryHeaderSize + length, 8));
        const bool last = EntryOverhead + length == rest.size();
        if (trailer.U64() != PayloadCheck(payload, check)) {
            if (last) {
                break;
            }
            throw LumarkError(where + " is damaged");
        }
        try {
            if (!record) {
                if (type != EntryType::Snapshot) {
                    throw LumarkError("it does not begin with a snapshot");
                }
                record = ReadSnapshot(payload);
                standsAt = record->History.Position();
            } else if (type == EntryType::Push) {
                Reader in(payload);
                RecordedStep step = ReadStep(in, record->History.BlockCount());
                in.ExpectEnd();
                playMoves();
                record->History.Push(std::move(step));
                standsAt = record->History.Position();
            } else if (type == EntryType::Undo && payload.empty()) {
                if (standsAt == 0) {
                    throw LumarkError("an undo with no step to undo");
                }
                --standsAt;
            } else if (type == EntryType::Redo && payload.empty()) {
                if (standsAt == record->History.Steps().size()) {
                    throw LumarkError("a redo with no step to redo");
                }
                ++standsAt;
            } else {
                throw LumarkError("an entry of unknown type " +
                                  std::to_string(static_cast<int>(type)));
            }
        } catch (const LumarkError& error) {
            throw LumarkError(where + ": " + error.what());
        }
        offset += EntryOverhead + length;
    }
    if (!record) {
        throw LumarkError("it holds no complete entry");
    }
    playMoves();
    return {std::move(*record), offset};
}

}  // namespace lumark::RecoveryFormat
