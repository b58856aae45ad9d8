#pragma once

#include <string_view>

#include "PathStyle.h"

namespace lumark {

// A path taken apart at its last separator: the folder with that separator ("" when there is
// none) and the name after it.
struct PathParts {
    std::string_view Folder;
    std::string_view Name;
};

constexpr PathParts SplitPath(std::string_view path, PathStyle style = HostPathStyle) {
    const std::size_t separator =
        style == PathStyle::Windows ? path.find_last_of("\\/") : path.rfind('/');
    if (separator == std::string_view::npos) {
        return {std::string_view(), path};
    }
    return {path.substr(0, separator + 1), path.substr(separator + 1)};
}

}  // namespace lumark
