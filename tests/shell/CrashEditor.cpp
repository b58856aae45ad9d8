// The child editor of the crash test: the real window, offscreen, keeping recovery records.
// Usage: crash_editor FILE RECOVERY_FOLDER LOG SEED
//
// At its start it answers Yes to a recovery question and reports what it found: the state
// recovered, whether undoing every step gives the file's bytes, whether redoing as many gives
// the recovered state again, and how many records are left once that is saved. Then it edits
// at random until it is killed, reporting each action as it begins and ends.
//
// The calls to write(2) and fdatasync(2) are wrapped at link time (--wrap): for the record's
// files they tell a page shared with the test what the editor is doing, so that the test can
// kill it in the middle of one, and they take longer, as a slow disk would: a write is split
// in two with a pause between, a flush waits.
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "../document/TestFiles.h"
#include "DocumentSession.h"
#include "RandomEdits.h"
#include "RecoveryNames.h"
#include "VisibilityWriter.h"

extern "C" ssize_t __real_write(int fd, const void* bytes, size_t count);
extern "C" int __real_fdatasync(int fd);

namespace {

// Shared with the test: 0 editing, 1 writing a record, 2 flushing one.
volatile int* phase = nullptr;
std::string recordFolder;
int logFd = -1;

void Pause(long ns) {
    const timespec pause{0, ns};
    ::nanosleep(&pause, nullptr);
}

bool IsRecordFile(int fd) {
    if (recordFolder.empty()) {
        return false;
    }
    char link[64];
    char target[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = ::readlink(link, target, sizeof target - 1);
    return length > 0 &&
           std::string(target, static_cast<std::size_t>(length)).rfind(recordFolder + "/", 0) == 0;
}

void SetPhase(int value) {
    if (phase != nullptr) {
        *phase = value;
    }
}

void Log(const std::string& line) {
    const std::string text = line + "\n";
    __real_write(logFd, text.data(), text.size());
}

int RecordFiles(const std::string& folder) {
    int count = 0;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            count += lumark::RecoveryNames::IsRecord(entry->d_name) ? 1 : 0;
        }
        ::closedir(dir);
    }
    return count;
}

}  // namespace

extern "C" ssize_t __wrap_write(int fd, const void* bytes, size_t count) {
    if (count < 2 || !IsRecordFile(fd)) {
        return __real_write(fd, bytes, count);
    }
    SetPhase(1);
    const size_t half = count / 2;
    const ssize_t first = __real_write(fd, bytes, half);
    if (first <= 0) {
        SetPhase(0);
        return first;
    }
    Pause(2000000);
    const ssize_t second = __real_write(fd, static_cast<const char*>(bytes) + first,
                                        count - static_cast<size_t>(first));
    SetPhase(0);
    return second < 0 ? first : first + second;
}

extern "C" int __wrap_fdatasync(int fd) {
    SetPhase(2);
    Pause(5000000);
    const int result = __real_fdatasync(fd);
    SetPhase(0);
    return result;
}

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: crash_editor FILE RECOVERY_FOLDER LOG SEED\n");
        return 2;
    }
    const std::string file = argv[1];
    recordFolder = argv[2];
    logFd = ::open(argv[3], O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    const unsigned seed = static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10));
    if (const char* page = std::getenv("LUMARK_CRASH_PHASE")) {
        const int fd = ::open(page, O_RDWR | O_CLOEXEC);
        void* shared = ::mmap(nullptr, sizeof(int), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        phase = shared == MAP_FAILED ? nullptr : static_cast<volatile int*>(shared);
    }

    QApplication app(argc, argv);
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
        const QUndoStack& steps = window.History().Steps();
        int undone = 0;
        for (; steps.canUndo(); ++undone) {
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
