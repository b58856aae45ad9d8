#pragma once

#include <string>

#include "PathStyle.h"

namespace lumark {

// "Lumark.ini" in `executableDir`, joined with the host's separator.
std::string SettingsFilePathIn(const std::string& executableDir);

// Where the settings file lives. Windows: always beside the executable. Elsewhere an installed
// program must not write into a system folder such as /usr/bin, so the file beside the
// executable is used only when it is already there (a portable copy); otherwise the file in
// `userConfigDir`, the user's configuration folder for this program. An empty
// `userConfigDir` (no home to put it in) leaves the file beside the executable.
std::string ChooseSettingsFilePath(PathStyle style, const std::string& executableDir,
                                   bool besideExecutableExists, const std::string& userConfigDir);

// The rule above for this host and an executable in `executableDir`, the configuration folder
// being ~/.config/Lumark (or $XDG_CONFIG_HOME/Lumark). The chosen file's folder is created, so
// the first write finds it.
std::string SettingsFilePathFor(const std::string& executableDir);

// The settings file of the running program.
std::string SettingsFilePath();

}  // namespace lumark
