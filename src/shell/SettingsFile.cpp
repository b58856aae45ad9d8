#include "SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "FileSystem.h"
#include "Lumark_Allgemein.h"
#include "PathText.h"

namespace lumark {

namespace {

constexpr const char* SettingsFileName = "Lumark.ini";

std::string JoinSettingsFileName(PathStyle style, const std::string& directory) {
    return directory + PathSeparator(style) + SettingsFileName;
}

// The folder is named here rather than taken from the application and organisation names, so
// the settings stay where they are whatever those are set to.
// On Windows the roaming folder, as settings that follow the user between machines belong there.
std::string UserConfigDir() {
    if (HostPathStyle == PathStyle::Windows) {
        const std::string appData = platform::EnvironmentText("APPDATA");
        return appData.empty()
                   ? std::string()
                   : Lumark_Allgemein::StripTrailingBackslash(appData, HostPathStyle) + "\\Lumark";
    }
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base.isEmpty() ? std::string() : PathFromQString(base + QStringLiteral("/Lumark"));
}

}  // namespace

std::string SettingsFilePathIn(const std::string& executableDir) {
    return JoinSettingsFileName(HostPathStyle, executableDir);
}

std::string ChooseSettingsFilePath(PathStyle style, const SettingsPlace& place) {
    const bool writableCopy = style == PathStyle::Windows && place.ExecutableDirWritable;
    if (place.BesideExecutableExists || writableCopy || place.UserConfigDir.empty()) {
        return JoinSettingsFileName(style, place.ExecutableDir);
    }
    return JoinSettingsFileName(style, place.UserConfigDir);
}

std::string SettingsFilePathFor(const std::string& executableDir) {
    const SettingsPlace place{
        executableDir, platform::IsRegularFile(SettingsFilePathIn(executableDir)),
        HostPathStyle == PathStyle::Windows && platform::FolderTakesNewFiles(executableDir),
        UserConfigDir()};
    const std::string chosen = ChooseSettingsFilePath(HostPathStyle, place);
    // The settings writer creates the file but not its folder. A failure here shows later as a
    // write that fails, which the callers ignore.
    QDir().mkpath(QFileInfo(PathToQString(chosen)).absolutePath());
    return chosen;
}

std::string SettingsFilePath() {
    return SettingsFilePathFor(
        PathFromQString(QDir::toNativeSeparators(QCoreApplication::applicationDirPath())));
}

}  // namespace lumark
