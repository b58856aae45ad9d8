#pragma once

#include <cstdint>
#include <string>

namespace lumark::Ini {

// The stored value (at most 254 characters); when it is missing or empty, `defaultValue`,
// which is then also written to the file unless it is empty. A settings file that is not a
// regular file, or is larger than 1 MiB, counts as unreadable: its values are missing and it
// is never written.
std::string ReadIniValue(const std::string& section, const std::string& key,
                         const std::string& defaultValue, const std::string& fileName);

// Creates or replaces the entry; -1 on success, 0 on failure.
std::int16_t WriteIniValue(const std::string& section, const std::string& key,
                           const std::string& value, const std::string& fileName);

// The same, but a value that is already stored exactly so leaves the file untouched (-1).
std::int16_t WriteIniValueIfChanged(const std::string& section, const std::string& key,
                                    const std::string& value, const std::string& fileName);

}  // namespace lumark::Ini
