#include "SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "PathStyle.h"
#include "PathText.h"

namespace lumark {

namespace {

constexpr const char* SettingsFileName = "Lumark.ini";

// The settings file is replaced through a temporary file beside it, so the directory itself
// must take new files: the permission bits alone do not tell (read-only mounts, ACLs).
bool CanCreateFilesIn(const QString& directory) {
    if (!QFileInfo(directory).isWritable()) {
        return false;
    }
    QTemporaryFile probe(directory + QStringLiteral("/.lumark-probe-XXXXXX"));
    return probe.open();
}

}  // namespace

std::string SettingsFilePathIn(const std::string& executableDir) {
    const char separator = HostPathStyle == PathStyle::Windows ? '\\' : '/';
    return executableDir + separator + SettingsFileName;
}

std::string SettingsFilePath() {
    QString directory = QCoreApplication::applicationDirPath();
    if (!CanCreateFilesIn(directory)) {
        const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        if (!config.isEmpty() && QDir().mkpath(config)) {
            directory = config;
        }
    }
    return SettingsFilePathIn(PathFromQString(QDir::toNativeSeparators(directory)));
}

}  // namespace lumark
