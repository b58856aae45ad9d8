#pragma once

#include <string>

namespace lumark {

// "Lumark.ini" in `executableDir`, joined with the host's separator.
std::string SettingsFilePathIn(const std::string& executableDir);

// The settings file beside the executable, or in the user's configuration directory when the
// executable's directory cannot be written.
std::string SettingsFilePath();

}  // namespace lumark
