#include "Ini.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <exception>
#include <optional>
#include <vector>

#include "AtomicFile.h"
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

struct Line {
    std::string Text;     // without the line end
    std::string LineEnd;  // "\r\n", "\n" or "" for a last line without one
};

std::string Trim(const std::string& text) {
    return std::string(TrimSpaceOrTab(text));
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::vector<Line> SplitLines(const std::string& content) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t newline = content.find('\n', start);
        if (newline == std::string::npos) {
            lines.push_back({content.substr(start), ""});
            break;
        }
        const bool crlf = newline > start && content[newline - 1] == '\r';
        const std::size_t textEnd = crlf ? newline - 1 : newline;
        lines.push_back({content.substr(start, textEnd - start), crlf ? "\r\n" : "\n"});
        start = newline + 1;
    }
    return lines;
}

std::string JoinLines(const std::vector<Line>& lines) {
    std::string content;
    for (const Line& line : lines) {
        content += line.Text;
        content += line.LineEnd;
    }
    return content;
}

// The name of a section header line "[name]", blanks around it trimmed.
std::optional<std::string> SectionName(const std::string& text) {
    std::string trimmed = Trim(text);
    // An editor may have saved the file with a UTF-8 byte order mark.
    if (trimmed.rfind("\xEF\xBB\xBF", 0) == 0) {
        trimmed = Trim(trimmed.substr(3));
    }
    if (trimmed.empty() || trimmed.front() != '[') {
        return std::nullopt;
    }
    const std::size_t close = trimmed.find(']');
    return Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

struct Entry {
    std::string Key;
    std::string Value;
};

// A "key=value" line; comments (";") and section headers are none.
std::optional<Entry> EntryOf(const std::string& text) {
    const std::string trimmed = Trim(text);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') {
        return std::nullopt;
    }
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string::npos) {
        return std::nullopt;
    }
    return Entry{Trim(trimmed.substr(0, equals)), Trim(trimmed.substr(equals + 1))};
}

// The lines of the first section called `section`: its header and the end of its body.
struct SectionRange {
    std::size_t Header;
    std::size_t End;  // one past the section's last line
};

std::optional<SectionRange> FindSection(const std::vector<Line>& lines,
                                        const std::string& section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i].Text);
        if (!name || !SameName(*name, section)) {
            continue;
        }
        std::size_t end = i + 1;
        while (end < lines.size() && !SectionName(lines[end].Text)) {
            ++end;
        }
        return SectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<Line>& lines, const SectionRange& range,
                                   const std::string& key) {
    for (std::size_t i = range.Header + 1; i < range.End; ++i) {
        const auto entry = EntryOf(lines[i].Text);
        if (entry && SameName(entry->Key, key)) {
            return i;
        }
    }
    return std::nullopt;
}

// The file's bytes; nothing when it is missing, and an error when it exists but cannot be read.
// Only a regular file of at most MaxFileSize bytes is read: a pipe would hang the program and a
// link to a device or a huge file would fill its memory. Such a file is the user's, so a
// failed read also keeps it from being rewritten.
using ReadState = platform::ReadResult;

ReadState ReadFile(const std::string& fileName, std::string& content) {
    return platform::ReadSmallFile(fileName, content, MaxFileSize);
}

// The value after the equals sign as the file holds it, blanks trimmed; nothing when the file,
// the section or the key is missing or the file cannot be read.
std::optional<std::string> StoredText(const std::string& section, const std::string& key,
                                      const std::string& fileName) {
    std::string content;
    if (ReadFile(fileName, content) != ReadState::Read) {
        return std::nullopt;
    }
    const std::vector<Line> lines = SplitLines(content);
    const auto range = FindSection(lines, Trim(section));
    if (!range) {
        return std::nullopt;
    }
    const auto keyLine = FindKey(lines, *range, Trim(key));
    if (!keyLine) {
        return std::nullopt;
    }
    return EntryOf(lines[*keyLine].Text)->Value;
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
    std::vector<Line> lines = SplitLines(content);
    const std::string entryText = key + "=" + value;

    const auto range = FindSection(lines, section);
    if (!range) {
        if (!lines.empty() && lines.back().LineEnd.empty()) {
            lines.back().LineEnd = lineEnd;
        }
        lines.push_back({"[" + section + "]", lineEnd});
        lines.push_back({entryText, lineEnd});
        return JoinLines(lines);
    }
    if (const auto keyLine = FindKey(lines, *range, key)) {
        lines[*keyLine].Text = entryText;
        return JoinLines(lines);
    }
    // A new key goes after the section's last key, ahead of any blank lines or comments that
    // part it from the next section.
    std::size_t after = range->Header;
    for (std::size_t i = range->Header + 1; i < range->End; ++i) {
        if (EntryOf(lines[i].Text)) {
            after = i;
        }
    }
    if (lines[after].LineEnd.empty()) {
        lines[after].LineEnd = lineEnd;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(after + 1), {entryText, lineEnd});
    return JoinLines(lines);
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
        const std::string sectionName = Trim(section);
        const std::string keyName = Trim(key);
        if (!Storable(sectionName, keyName, value)) {
            return 0;
        }
        std::string content;
        if (ReadFile(fileName, content) == ReadState::Failed) {
            // Writing now would replace a file we could not read.
            return 0;
        }
        WriteFileAtomically(fileName, WithEntry(content, sectionName, keyName, value));
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
