#include "Ini.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <exception>
#include <optional>
#include <string_view>

#include "AtomicFile.h"
#include "CodePage.h"
#include "FileSystem.h"
#include "TextTrim.h"

namespace lumark::Ini {

namespace {

// The platform's buffer held 255 characters, one of them the closing NUL.
constexpr std::size_t MaxValueLength = 254;
// Far more than any settings file of this program holds.
constexpr std::size_t MaxFileSize = 1024 * 1024;

#ifdef _WIN32
constexpr const char* NewFileLineEnd = "\r\n";
#else
constexpr const char* NewFileLineEnd = "\n";
#endif

// One line of the file, as offsets into its bytes. Lines end with "\r\n" or "\n"; they are
// found as they are needed, so that a file of many short lines costs no more than its bytes.
struct Line {
    std::size_t Start;
    std::size_t TextEnd;  // where its line end begins
    std::size_t End;      // where the next line begins
};

// The line that begins at `start`, before the end of `content`. A CR that ends the file ends its
// last line too: a file cut between CR and LF then reads the same once a line is added after it,
// which completes the pair.
Line LineAt(std::string_view content, std::size_t start) {
    const std::size_t newline = content.find('\n', start);
    if (newline == std::string_view::npos) {
        const bool cr = content.back() == '\r';
        return {start, content.size() - (cr ? 1 : 0), content.size()};
    }
    const bool crlf = newline > start && content[newline - 1] == '\r';
    return {start, crlf ? newline - 1 : newline, newline + 1};
}

std::string_view TextOf(std::string_view content, const Line& line) {
    return content.substr(line.Start, line.TextEnd - line.Start);
}

// What `head`, the file up to the end of a line, needs before another line can follow it.
std::string_view MissingLineEnd(std::string_view head, std::string_view lineEnd) {
    if (head.empty() || head.back() == '\n') {
        return {};
    }
    return head.back() == '\r' ? "\n" : lineEnd;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The name of a section header line "[name]", blanks around it trimmed.
std::optional<std::string_view> SectionName(std::string_view text) {
    std::string_view trimmed = TrimSpaceOrTab(text);
    // An editor may have saved the file with a UTF-8 byte order mark.
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
    if (trimmed.substr(0, ByteOrderMark.size()) == ByteOrderMark) {
        trimmed = TrimSpaceOrTab(trimmed.substr(ByteOrderMark.size()));
    }
    if (trimmed.empty() || trimmed.front() != '[') {
        return std::nullopt;
    }
    const std::size_t close = trimmed.find(']');
    return TrimSpaceOrTab(
        trimmed.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
}

struct Entry {
    std::string_view Key;
    std::string_view Value;
};

// A "key=value" line; comments (";") and section headers are none.
std::optional<Entry> EntryOf(std::string_view text) {
    const std::string_view trimmed = TrimSpaceOrTab(text);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') {
        return std::nullopt;
    }
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return Entry{TrimSpaceOrTab(trimmed.substr(0, equals)),
                 TrimSpaceOrTab(trimmed.substr(equals + 1))};
}

// The first section called `section`: its header line and the end of its body.
struct SectionRange {
    Line Header;
    std::size_t End;  // where the next section's header begins, or the end of the file
};

std::optional<SectionRange> FindSection(std::string_view content, std::string_view section) {
    for (std::size_t at = 0; at < content.size();) {
        const Line header = LineAt(content, at);
        at = header.End;
        const auto name = SectionName(TextOf(content, header));
        if (!name || !SameName(*name, section)) {
            continue;
        }
        while (at < content.size()) {
            const Line line = LineAt(content, at);
            if (SectionName(TextOf(content, line))) {
                break;
            }
            at = line.End;
        }
        return SectionRange{header, at};
    }
    return std::nullopt;
}

// The first line of the section that holds `key`, or else (with `found` false) its last entry
// line, or its header when it has none: where a new key goes.
struct KeyPlace {
    Line At;
    bool Found;
};

KeyPlace FindKey(std::string_view content, const SectionRange& range, std::string_view key) {
    KeyPlace place{range.Header, false};
    for (std::size_t at = range.Header.End; at < range.End;) {
        const Line line = LineAt(content, at);
        at = line.End;
        if (const auto entry = EntryOf(TextOf(content, line))) {
            place.At = line;
            if (SameName(entry->Key, key)) {
                place.Found = true;
                break;
            }
        }
    }
    return place;
}

// The file's bytes; nothing when it is missing, and an error when it exists but cannot be read.
// Only a regular file of at most MaxFileSize bytes is read: a pipe would hang the program and a
// link to a device or a huge file would fill its memory. Such a file is the user's, so a
// failed read also keeps it from being rewritten.
using ReadState = platform::ReadResult;

ReadState ReadFile(const std::string& fileName, std::string& content) {
    return platform::ReadSmallFile(fileName, content, MaxFileSize);
}

// Whether `bytes` are well-formed UTF-8 (shortest forms, no surrogates, at most U+10FFFF).
bool IsUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
        const unsigned char lead = byte(i);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC2 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF5 ? 4
                                                 : 0;
        if (length == 0 || i + length > bytes.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80) {
                return false;
            }
        }
        if (length >= 3) {
            const unsigned char second = byte(i + 1);
            const bool bad = (lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
                             (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90);
            if (bad) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

// Texts go into the file in the system's code page, as other Windows programs reading it
// expect. One the code page cannot hold (a folder named in another script) goes in UTF-8
// instead, so it is remembered as it is; reading tells the two apart, since code-page text
// with letters beyond ASCII is hardly ever well-formed UTF-8.
std::string FileForm(const std::string& text) {
    return platform::ToCodePage(text).value_or(text);
}

std::string TextForm(const std::string& bytes) {
    return IsUtf8(bytes) ? bytes : platform::FromCodePage(bytes);
}

// The value after the equals sign as the file holds it, blanks trimmed; nothing when the file,
// the section or the key is missing or the file cannot be read.
std::optional<std::string> StoredText(const std::string& section, const std::string& key,
                                      const std::string& fileName) {
    std::string content;
    if (ReadFile(fileName, content) != ReadState::Read) {
        return std::nullopt;
    }
    const auto range = FindSection(content, FileForm(std::string(TrimSpaceOrTab(section))));
    if (!range) {
        return std::nullopt;
    }
    const KeyPlace place = FindKey(content, *range, FileForm(std::string(TrimSpaceOrTab(key))));
    if (!place.Found) {
        return std::nullopt;
    }
    return TextForm(std::string(EntryOf(TextOf(content, place.At))->Value));
}

// The stored value as the platform's lookup hands it back: quotes stripped, cut at a NUL and
// to the buffer; empty when missing.
std::string LookUp(const std::string& section, const std::string& key,
                   const std::string& fileName) {
    std::string value = StoredText(section, key, fileName).value_or(std::string());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    value = value.substr(0, value.find('\0'));
    return value.substr(0, MaxValueLength);
}

// Names and values that would change the file's structure, or could not be read back as
// written, are refused instead of being stored.
bool Storable(const std::string& section, const std::string& key, const std::string& value) {
    const auto hasLineBreak = [](const std::string& text) {
        return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
    };
    if (section.empty() || key.empty() || hasLineBreak(section) || hasLineBreak(key) ||
        hasLineBreak(value)) {
        return false;
    }
    return section.find(']') == std::string::npos && key.find('=') == std::string::npos &&
           key.front() != ';' && key.front() != '[';
}

std::string LineEndOf(const std::string& content) {
    if (content.find("\r\n") != std::string::npos) {
        return "\r\n";
    }
    return content.find('\n') != std::string::npos ? "\n" : NewFileLineEnd;
}

std::string WithEntry(const std::string& content, const std::string& section,
                      const std::string& key, const std::string& value) {
    const std::string lineEnd = LineEndOf(content);
    const std::string entryText = key + "=" + value;
    const std::string_view bytes = content;

    const auto range = FindSection(bytes, section);
    if (!range) {
        return content + std::string(MissingLineEnd(bytes, lineEnd)) + "[" + section + "]" +
               lineEnd + entryText + lineEnd;
    }
    const KeyPlace place = FindKey(bytes, *range, key);
    if (place.Found) {
        return content.substr(0, place.At.Start) + entryText + content.substr(place.At.TextEnd);
    }
    // A new key goes after the section's last key, ahead of any blank lines or comments that
    // part it from the next section.
    const std::string_view head = bytes.substr(0, place.At.End);
    return std::string(head) + std::string(MissingLineEnd(head, lineEnd)) + entryText + lineEnd +
           content.substr(place.At.End);
}

}  // namespace

std::string ReadIniValue(const std::string& section, const std::string& key,
                         const std::string& defaultValue, const std::string& fileName) {
    std::string value = LookUp(section, key, fileName);
    if (!value.empty()) {
        return value;
    }
    if (!defaultValue.empty()) {
        WriteIniValue(section, key, defaultValue, fileName);
    }
    return defaultValue;
}

std::int16_t WriteIniValue(const std::string& section, const std::string& key,
                           const std::string& value, const std::string& fileName) {
    try {
        const std::string sectionName(TrimSpaceOrTab(section));
        const std::string keyName(TrimSpaceOrTab(key));
        if (!Storable(sectionName, keyName, value)) {
            return 0;
        }
        std::string content;
        if (ReadFile(fileName, content) == ReadState::Failed) {
            // Writing now would replace a file we could not read.
            return 0;
        }
        WriteFileAtomically(fileName, WithEntry(content, FileForm(sectionName), FileForm(keyName),
                                                FileForm(value)));
        return -1;
    } catch (const std::exception&) {
        return 0;
    }
}

std::int16_t WriteIniValueIfChanged(const std::string& section, const std::string& key,
                                    const std::string& value, const std::string& fileName) {
    if (StoredText(section, key, fileName) == value) {
        return -1;
    }
    return WriteIniValue(section, key, value, fileName);
}

}  // namespace lumark::Ini
