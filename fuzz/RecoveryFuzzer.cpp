// Feeds arbitrary bytes to the recovery record reader, twice: as they are, and with the checks of
// every entry made good, since almost any change to a record breaks a check and would stop the
// reader before it looks at what the entry says. A read must either succeed or throw a
// LumarkError; what it read must write as a fresh record that reads back the same, and the
// bytes it called valid must read the same on their own. Anything else is a finding.
#include <xxhash.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "LumarkError.h"
#include "RecoveryFormat.h"

namespace {

namespace format = lumark::RecoveryFormat;
using lumark::RecordedHistory;
using lumark::RecoveredRecord;

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

bool SameSteps(const RecordedHistory& a, const RecordedHistory& b) {
    if (a.Steps().size() != b.Steps().size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.Steps().size(); ++i) {
        const lumark::RecordedStep& x = a.Steps()[i];
        const lumark::RecordedStep& y = b.Steps()[i];
        if (x.Text != y.Text || x.Kind != y.Kind || x.Changes.size() != y.Changes.size()) {
            return false;
        }
        for (std::size_t k = 0; k < x.Changes.size(); ++k) {
            const lumark::ElementChange& c = x.Changes[k];
            const lumark::ElementChange& d = y.Changes[k];
            if (c.Column != d.Column || c.Row != d.Row || c.Before != d.Before ||
                c.After != d.After) {
                return false;
            }
        }
    }
    return true;
}

bool Same(const RecoveredRecord& a, const RecoveredRecord& b) {
    const lumark::RecordedFile& f = a.File;
    const lumark::RecordedFile& g = b.File;
    const RecordedHistory& h = a.History;
    const RecordedHistory& k = b.History;
    return f.Path == g.Path && f.State.Identity == g.State.Identity &&
           f.State.Hash == g.State.Hash && f.VersionText == g.VersionText &&
           h.BlockCount() == k.BlockCount() && h.Base() == k.Base() && h.Current() == k.Current() &&
           h.Position() == k.Position() && h.SavedPosition() == k.SavedPosition() &&
           SameSteps(h, k);
}

std::uint32_t ReadU32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;) {
        value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    }
    return value;
}

void WriteLittle(std::string& bytes, std::size_t at, std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
    }
}

// The bytes with a good header and good checks on every entry. An entry whose length runs past
// the end is made to end there, so that bytes the fuzzer puts into the last entry stay in it.
std::string WithGoodChecks(std::string_view input) {
    std::string bytes(input);
    const std::string header = format::FileHeader();
    if (bytes.size() < header.size()) {
        return bytes;
    }
    bytes.replace(0, header.size(), header);
    constexpr std::size_t HeadSize = 5;  // length and type, which the first check covers
    constexpr std::size_t CheckedHead = HeadSize + 4;
    std::size_t offset = header.size();
    while (bytes.size() - offset >= format::EntryOverhead) {
        const std::size_t room = bytes.size() - offset - format::EntryOverhead;
        std::uint32_t length = ReadU32(bytes, offset);
        if (length > room) {
            length = static_cast<std::uint32_t>(room);
            WriteLittle(bytes, offset, length, 4);
        }
        const auto check = static_cast<std::uint32_t>(XXH3_64bits(bytes.data() + offset, HeadSize));
        WriteLittle(bytes, offset + HeadSize, check, 4);
        const std::size_t payload = offset + CheckedHead;
        WriteLittle(bytes, payload + length,
                    XXH3_64bits_withSeed(bytes.data() + payload, length, check), 8);
        offset = payload + length + 8;
    }
    return bytes;
}

void Check(std::string_view bytes) {
    std::optional<format::ParsedRecord> parsed;
    try {
        parsed.emplace(format::Parse(bytes));
    } catch (const lumark::LumarkError&) {
        return;
    }
    const std::size_t valid = parsed->ValidLength;
    Require(valid >= format::HeaderSize && valid <= bytes.size(),
            "the valid length lies outside the record");
    const RecoveredRecord& record = parsed->Record;
    try {
        if (valid < bytes.size()) {
            Require(Same(format::Parse(bytes.substr(0, valid)).Record, record),
                    "the valid part reads differently");
        }
        const std::string fresh =
            format::FileHeader() +
            format::Entry(format::EntryType::Snapshot,
                          format::SnapshotPayload(record.File, record.History));
        const format::ParsedRecord again = format::Parse(fresh);
        Require(again.ValidLength == fresh.size(), "a fresh record is not valid to its end");
        Require(Same(again.Record, record), "a record read back differs from the one written");
    } catch (const lumark::LumarkError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        Require(false, "what was read does not read again");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Check(bytes);
    const std::string repaired = WithGoodChecks(bytes);
    if (repaired != bytes) {
        Check(repaired);
    }
    return 0;
}
