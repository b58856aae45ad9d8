// The child editor of the crash test: the real window, offscreen, keeping recovery records.
// Usage: crash_editor FILE RECOVERY_FOLDER LOG SEED
//
// At its start it answers Yes to a recovery question and reports what it found: the state
// recovered, whether undoing every step gives the file's bytes, whether redoing as many gives
// the recovered state again, and how many records are left once that is saved. Then it edits
// at random until it is killed, reporting each action as it begins and ends.
//
// Where the system's write and flush calls can be wrapped (CrashSlowDisk.cpp), they tell a page
// shared with the test what the editor is doing, so that the test can kill it in the middle of
// one.
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "../document/TestFiles.h"
#include "CrashPhase.h"
#include "DocumentSession.h"
#include "RandomEdits.h"
#include "RecoveryNames.h"
#include "VisibilityWriter.h"

namespace lumark::crash {
volatile int* phase = nullptr;
std::string recordFolder;
}  // namespace lumark::crash

namespace {

std::FILE* logFile = nullptr;

void Log(const std::string& line) {
    std::fputs((line + "\n").c_str(), logFile);
    std::fflush(logFile);
}

int RecordFiles(const std::string& folder) {
    int count = 0;
    std::error_code ignored;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::u8path(folder), ignored)) {
        count += lumark::RecoveryNames::IsRecord(entry.path().filename().u8string()) ? 1 : 0;
    }
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: crash_editor FILE RECOVERY_FOLDER LOG SEED\n");
        return 2;
    }
    const std::string file = argv[1];
    const std::string recordFolder = argv[2];
    lumark::crash::recordFolder = recordFolder;
    logFile = std::fopen(argv[3], "ab");
    const unsigned seed = static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10));

    QApplication app(argc, argv);
    QFile page(qEnvironmentVariable("LUMARK_CRASH_PHASE"));
    if (page.open(QIODevice::ReadWrite)) {
        lumark::crash::phase = reinterpret_cast<volatile int*>(page.map(0, sizeof(int)));
    }
    lumark::crash::EditorDialogs dialogs;
    lumark::LumarkMain window(dialogs, std::string(argv[3]) + ".ini", file, recordFolder);
    QObject::connect(&window.Session(), &lumark::DocumentSession::DiskStateChanged, [&] {
        if (window.Session().DiskState().rfind("No recovery copy", 0) == 0) {
            Log("problem " + window.Session().DiskState());
        }
    });
    window.show();
    while (!window.FirstActivationDone()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    const lumark::VisibilityDocument& doc = window.Document();
    const std::uint64_t found = lumark::crash::RelationHash(doc);
    const bool recovered = dialogs.recoveryQuestions > 0;
    bool bottomIsFile = true;
    bool bottomClean = true;
    bool redoneAll = true;
    int left = 0;
    if (recovered) {
        const lumark::EditHistory& steps = window.History();
        int undone = 0;
        for (; steps.CanUndo(); ++undone) {
            window.Undo_Activated();
        }
        bottomIsFile = lumark::FormatVisibilityFile(doc) == lumark::test::ReadBytes(file);
        bottomClean = !window.Session().UnsavedChanges();
        for (; undone > 0; --undone) {
            window.Redo_Activated();
        }
        redoneAll = lumark::crash::RelationHash(doc) == found;
        window.Savecmd_Click();
        left = RecordFiles(recordFolder);
        window.OpenVisibilityFile(file);  // a history of this run's edits alone
    }
    Log("start " + std::to_string(recovered) + " " + std::to_string(found) + " " +
        std::to_string(bottomIsFile) + " " + std::to_string(bottomClean) + " " +
        std::to_string(redoneAll) + " " + std::to_string(left) + " " +
        std::to_string(dialogs.unreadableRecords) + " " +
        std::to_string(dialogs.unexpected.size()));
    for (const std::string& text : dialogs.unexpected) {
        Log("unexpected " + text);
    }
    dialogs.unexpected.clear();
    Log("ready " + std::to_string(lumark::crash::RelationHash(doc)));

    lumark::crash::RandomEdits edits(window, dialogs, seed);
    std::mt19937 pace(seed ^ 0x9e3779b9u);
    int action = 0;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        Log("begin " + std::to_string(action));
        edits.Next();
        Log("done " + std::to_string(action) + " " +
            std::to_string(lumark::crash::RelationHash(doc)) + " " +
            std::to_string(lumark::crash::MonotonicNs()));
        for (const std::string& text : dialogs.unexpected) {
            Log("unexpected " + text);
        }
        dialogs.unexpected.clear();
        ++action;
        timer.start(static_cast<int>(pace() % 12));
    });
    timer.start(0);
    return QApplication::exec();
}
