#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumark::RecoveryNames {

// "lumark-PID-SECONDS-RANDOM.recovery": unique to a writer, so that two processes editing the
// same file keep two records. A rewrite goes to the name with a dot before and ".tmp" after,
// which listing never offers.
constexpr std::string_view Prefix = "lumark-";
constexpr std::string_view Suffix = ".recovery";
constexpr std::string_view TemporarySuffix = ".tmp";

inline std::string RecordName(long pid, std::int64_t seconds, std::uint32_t random) {
    char hex[9];
    static constexpr char digits[] = "0123456789abcdef";
    for (int i = 0; i < 8; ++i) {
        hex[i] = digits[random >> (28 - 4 * i) & 0xF];
    }
    hex[8] = '\0';
    return std::string(Prefix) + std::to_string(pid) + "-" + std::to_string(seconds) + "-" + hex +
           std::string(Suffix);
}

inline std::string TemporaryName(const std::string& recordName) {
    return "." + recordName + std::string(TemporarySuffix);
}

inline bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

inline bool IsRecord(std::string_view name) {
    return name.substr(0, Prefix.size()) == Prefix && EndsWith(name, Suffix);
}

inline bool IsTemporary(std::string_view name) {
    if (name.size() < 1 + TemporarySuffix.size() || name.front() != '.' ||
        !EndsWith(name, TemporarySuffix)) {
        return false;
    }
    return IsRecord(name.substr(1, name.size() - 1 - TemporarySuffix.size()));
}

}  // namespace lumark::RecoveryNames
