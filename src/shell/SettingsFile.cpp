#include "SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "PathText.h"

namespace lumark {

namespace {

constexpr const char* SettingsFileName = "Lumark.ini";

char Separator(PathStyle style) {
    return style == PathStyle::Windows ? '\\' : '/';
}

std::string JoinSettingsFileName(PathStyle style, const std::string& directory) {
    return directory + Separator(style) + SettingsFileName;
}

// The folder is named here rather than taken from the application and organisation names, so
// the settings stay where they are whatever those are set to.
QString UserConfigDir() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/Lumark");
}

}  // namespace

std::string SettingsFilePathIn(const std::string& executableDir) {
    return JoinSettingsFileName(HostPathStyle, executableDir);
}

std::string ChooseSettingsFilePath(PathStyle style, const std::string& executableDir,
                                   bool besideExecutableExists, const std::string& userConfigDir) {
    if (style == PathStyle::Windows || besideExecutableExists || userConfigDir.empty()) {
        return JoinSettingsFileName(style, executableDir);
    }
    return JoinSettingsFileName(style, userConfigDir);
}

std::string SettingsFilePathFor(const std::string& executableDir) {
    const bool besideExecutableExists =
        QFileInfo(PathToQString(SettingsFilePathIn(executableDir))).isFile();
    const std::string chosen = ChooseSettingsFilePath(
        HostPathStyle, executableDir, besideExecutableExists, PathFromQString(UserConfigDir()));
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
