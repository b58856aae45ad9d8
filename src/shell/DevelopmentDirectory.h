#pragma once

#include <string>

namespace lumark {

// The developers' source folder: a program started from there works in it.
inline bool IsDevelopmentDirectory(const std::string& executableDir) {
    return executableDir == "C:\\Zediv_EZ\\Lumark\\Source";
}

}  // namespace lumark
