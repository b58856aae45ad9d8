#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "RecoveryRecord.h"

// The bytes of a recovery record, for its reader and writer.
//
// A record is a header and entries, appended one by one and never rewritten in place:
//   header   "LMKRECOV", u32 version (1)
//   entry    u32 payload length, u8 type, u32 check of those 5 bytes,
//            payload, u64 check of the payload (XXH3, seeded with the first check)
// Integers are little-endian. The first entry is a snapshot: the visibility file (path,
// identity, hash, version text), the block count, the base relation as 300 x 300 bits, the
// steps, how many are done and which state matches the file. The others are a pushed step, an
// undo or a redo, which the reader plays through RecordedHistory as the edit history did.
//
// A step: u8 kind, varint text length, text, varint run count, runs. A run is elements changed
// one after the other in one column or one row, one ring step apart, all to the same value:
//   u16 column | direction << 9 | more << 11 | visible << 15, u16 row, [varint length - 2]
// with direction 0/1 the next or previous row, 2/3 the next or previous column, on the ring
// of blocks (after the last comes the first). The value before is the inverse of the value
// after, so a change in a run of its own takes 4 bytes; a run is at most BlockCount long.
namespace lumark::RecoveryFormat {

enum class EntryType : std::uint8_t { Snapshot = 1, Push = 2, Undo = 3, Redo = 4 };

constexpr std::size_t HeaderSize = 12;
constexpr std::size_t EntryOverhead = 17;
// The base relation: one bit per element of blocks 1..300.
constexpr std::size_t RelationBytes = (300 * 300 + 7) / 8;

std::string FileHeader();
std::string Entry(EntryType type, std::string_view payload);
std::string SnapshotPayload(const RecordedFile& file, const RecordedHistory& history);
std::string StepPayload(const RecordedStep& step, std::int16_t blockCount);

struct ParsedRecord {
    RecoveredRecord Record;
    std::size_t ValidLength;  // up to the end of the last whole entry
};

// The record in `bytes`; a LumarkError with the reason when it cannot be read.
ParsedRecord Parse(std::string_view bytes);

}  // namespace lumark::RecoveryFormat
