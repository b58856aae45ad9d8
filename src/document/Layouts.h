#pragma once

#include <string_view>

namespace lumark {

// The version texts of the two file layouts.
constexpr std::string_view OldLayoutVersion = "1.000000";
constexpr std::string_view NewLayoutVersion = "1.2";

// The writer's choice: the old layout exactly for "1.000000", the new one for anything else.
inline bool IsOldLayout(std::string_view versionText) {
    return versionText == OldLayoutVersion;
}

}  // namespace lumark
