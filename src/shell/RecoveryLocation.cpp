#include "RecoveryLocation.h"

#include <cstdlib>

#include "Lumark_Allgemein.h"

namespace lumark {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

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
    return ChooseRecoveryFolder(HostPathStyle, Environment("XDG_STATE_HOME"), Environment("HOME"),
                                Environment("LOCALAPPDATA"));
}

}  // namespace lumark
