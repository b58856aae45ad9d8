#pragma once

#include <string>

#include "PathStyle.h"

namespace lumark {

// "Lumark.ini" in `executableDir`, joined with the host's separator.
std::string SettingsFilePathIn(const std::string& executableDir);

// What decides where the settings file lives.
struct SettingsPlace {
    std::string ExecutableDir;
    bool BesideExecutableExists;
    bool ExecutableDirWritable;
    // The user's configuration folder for this program; empty when there is no home for it.
    std::string UserConfigDir;
};

// Where the settings file lives: beside the executable when a Lumark.ini already stands there
// (a portable copy). Otherwise an installed program must not write into a folder shared by
// all users (Program Files, /usr/bin): on Windows the file beside the executable is still used
// when its folder can be written (a copy unpacked anywhere else), elsewhere never; the file in
// `UserConfigDir` is used instead. An empty `UserConfigDir` leaves the file beside the
// executable.
std::string ChooseSettingsFilePath(PathStyle style, const SettingsPlace& place);

// The rule above for this host and an executable in `executableDir`, the configuration folder
// being %APPDATA%\Lumark on Windows and ~/.config/Lumark (or $XDG_CONFIG_HOME/Lumark)
// elsewhere. The chosen file's folder is created, so the first write finds it.
std::string SettingsFilePathFor(const std::string& executableDir);

// The settings file of the running program.
std::string SettingsFilePath();

}  // namespace lumark
