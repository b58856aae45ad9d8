#pragma once

namespace lumark {

// Paths are taken apart by the rules of the system they come from: drive letters and
// backslashes on Windows, slashes elsewhere.
enum class PathStyle { Windows, Posix };

#ifdef _WIN32
constexpr PathStyle HostPathStyle = PathStyle::Windows;
#else
constexpr PathStyle HostPathStyle = PathStyle::Posix;
#endif

constexpr char PathSeparator(PathStyle style = HostPathStyle) {
    return style == PathStyle::Windows ? '\\' : '/';
}

}  // namespace lumark
