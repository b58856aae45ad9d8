#include "RecoveryLocation.h"

#include "FileSystem.h"
#include "Lumark_Allgemein.h"

namespace lumark {

std::string ChooseRecoveryFolder(PathStyle style, const std::string& stateHome,
                                 const std::string& home, const std::string& localAppData) {
    using Lumark_Allgemein::StripTrailingBackslash;
    if (style == PathStyle::Windows) {
        return localAppData.empty()
                   ? std::string()
                   : StripTrailingBackslash(localAppData, style) + "\\Lumark\\recovery";
    }
    if (!stateHome.empty() && stateHome.front() == '/') {
        return StripTrailingBackslash(stateHome, style) + "/Lumark/recovery";
    }
    return home.empty() ? std::string()
                        : StripTrailingBackslash(home, style) + "/.local/state/Lumark/recovery";
}

std::string RecoveryFolder() {
    return ChooseRecoveryFolder(HostPathStyle, platform::EnvironmentText("XDG_STATE_HOME"),
                                platform::EnvironmentText("HOME"),
                                platform::EnvironmentText("LOCALAPPDATA"));
}

}  // namespace lumark
