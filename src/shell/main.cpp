#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "Befehlszeile.h"
#include "ListViewModel.h"
#include "LumarkMain.h"
#include "MatrixGridView.h"
#include "PathText.h"
#include "ProgramInfo.h"
#include "QtUserDialogs.h"
#include "QuitAfterPaint.h"
#include "RecoveryLocation.h"
#include "SettingsFile.h"
#include "WindowSnapshot.h"

namespace {

// The arguments left once Qt has taken its own options out. On Windows argv holds them in the
// ANSI code page, which cannot hold every name: there they come from Qt, which reads the wide
// command line. Elsewhere they are argv's bytes as they are.
std::vector<std::string> EditorArguments(int argc, char** argv) {
    if constexpr (lumark::HostPathStyle == lumark::PathStyle::Windows) {
        std::vector<std::string> arguments;
        const QStringList all = QCoreApplication::arguments();
        for (qsizetype i = 1; i < all.size(); ++i) {
            arguments.push_back(lumark::PathFromQString(all[i]));
        }
        return arguments;
    }
    return std::vector<std::string>(argv + 1, argv + argc);
}

std::string CurrentFolder() {
    if constexpr (lumark::HostPathStyle == lumark::PathStyle::Windows) {
        return lumark::PathFromQString(QDir::toNativeSeparators(QDir::currentPath()));
    }
    std::error_code error;
    return std::filesystem::current_path(error).string();
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before Qt starts, so they work without a display.
    if (const auto answer =
            lumark::CommandLineAnswer(std::vector<std::string>(argv + 1, argv + argc))) {
        std::fwrite(answer->data(), 1, answer->size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    QApplication app(argc, argv);  // takes its own options, such as -platform, out of argv
    QApplication::setApplicationName(QStringLiteral("Lumark"));
    // Links the window to its installed desktop entry (icon and name on Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.lumark.Lumark"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/lumark/lumark.png")));

    const std::string currentDir = CurrentFolder();
    std::vector<std::string> arguments;
    for (const std::string& argument : EditorArguments(argc, argv)) {
        arguments.push_back(lumark::Befehlszeile::AbsoluteArgument(argument, currentDir));
    }
    lumark::QtUserDialogs dialogs;
    lumark::LumarkMain window(dialogs, lumark::SettingsFilePath(),
                              lumark::Befehlszeile::JoinCommandLine(arguments),
                              lumark::RecoveryFolder());
    dialogs.SetOwner(&window);
    // For start-up measurements: end once the grid has been painted with the start-up file.
    if (qEnvironmentVariableIsSet("LUMARK_QUIT_AFTER_PAINT")) {
        lumark::QuitAfterPaint(*window.ListView->viewport(), [&window, argc] {
            return argc < 2 || window.Grid().rowCount() > 0;
        });
    }
    window.show();

    // For machines without a display: render the window, once the start-up file is open, to
    // the PNG named here, and end.
    const QString snapshot = qEnvironmentVariable("LUMARK_SNAPSHOT");
    if (!snapshot.isEmpty()) {
        QTimer::singleShot(0, &window, [&window, snapshot] {
            const bool saved = lumark::SaveWindowSnapshot(window, snapshot);
            QCoreApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
