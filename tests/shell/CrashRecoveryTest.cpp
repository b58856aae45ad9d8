// Kills a child editor (crash_editor, the real window offscreen) with SIGKILL at random moments
// of a seeded random sequence of edits on a 300-block file, some in the middle of writing its
// recovery record and some in the middle of flushing it; starts it again, which answers Yes,
// and checks what comes back. LUMARK_CRASH_KILLS sets how many kills (200 by default),
// LUMARK_CRASH_SEED the first seed.
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTest>
#include <QUndoStack>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../document/TestFiles.h"
#include "RandomEdits.h"
#include "RingDocument.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

void SleepMs(int ms) {
    const timespec pause{ms / 1000, (ms % 1000) * 1000000L};
    ::nanosleep(&pause, nullptr);
}

int EnvironmentNumber(const char* name, int otherwise) {
    const char* value = std::getenv(name);
    return value != nullptr && std::atoi(value) > 0 ? std::atoi(value) : otherwise;
}

// What a child's log says, line by line.
struct ChildLog {
    bool started = false;
    bool ready = false;
    std::vector<std::uint64_t> start;  // recovered, hash, bottom is file, clean, redone, left,
                                       // unreadable, unexpected
    std::uint64_t readyHash = 0;
    std::map<int, std::pair<std::uint64_t, std::int64_t>> done;  // action: hash, when
    int lastBegun = -1;
    std::vector<std::string> complaints;  // problems and unexpected dialogs

    static ChildLog Read(const std::string& path) {
        ChildLog log;
        std::ifstream in(path);
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream words(line);
            std::string word;
            words >> word;
            if (word == "start") {
                log.started = true;
                for (std::uint64_t value = 0; words >> value;) {
                    log.start.push_back(value);
                }
            } else if (word == "ready") {
                log.ready = static_cast<bool>(words >> log.readyHash);
            } else if (word == "begin") {
                words >> log.lastBegun;
            } else if (word == "done") {
                int action = 0;
                std::uint64_t hash = 0;
                std::int64_t when = 0;
                if (words >> action >> hash >> when) {
                    log.done[action] = {hash, when};
                }
            } else if (word == "problem" || word == "unexpected") {
                log.complaints.push_back(line);
            }
        }
        return log;
    }
};

// The states a recovery may give after a kill at `killedNs`: the state after any action at or
// after the last one that had finished one second before, or the start if none had.
struct Expectation {
    std::set<std::uint64_t> allowed;
    int inFlight = -1;  // an action begun and not reported done: its states are allowed too
    std::string startBytes;
    unsigned seed = 0;
};

Expectation ExpectationAfter(const ChildLog& log, std::int64_t killedNs, unsigned seed,
                             std::string startBytes) {
    Expectation expected;
    expected.seed = seed;
    expected.startBytes = std::move(startBytes);
    int last = -1;
    for (const auto& [action, reported] : log.done) {
        if (reported.second <= killedNs - 1000000000) {
            last = action;
        }
    }
    if (last < 0) {
        expected.allowed.insert(log.readyHash);
    }
    for (const auto& [action, reported] : log.done) {
        if (action >= last) {
            expected.allowed.insert(reported.first);
        }
    }
    if (log.lastBegun >= 0 && log.done.count(log.lastBegun) == 0) {
        expected.inFlight = log.lastBegun;
    }
    return expected;
}

// The states the action in flight passed through, worked out again in this process: each step
// it put in the history (a double click is a click first), and where it ended.
std::set<std::uint64_t> ReplayedStates(const Expectation& expected, const std::string& folder) {
    const std::string file = folder + "/replay.txt";
    test::WriteBytes(file, expected.startBytes);
    crash::EditorDialogs dialogs;
    LumarkMain window(dialogs, folder + "/replay.ini", "");
    window.show();
    while (!window.FirstActivationDone()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    window.OpenVisibilityFile(file);
    crash::RandomEdits edits(window, dialogs, expected.seed);
    for (int i = 0; i < expected.inFlight; ++i) {
        edits.Next();
        QCoreApplication::processEvents();
    }
    std::set<std::uint64_t> states;
    QObject::connect(&window.History().Steps(), &QUndoStack::indexChanged, &window,
                     [&] { states.insert(crash::RelationHash(window.Document())); });
    edits.Next();
    QCoreApplication::processEvents();
    states.insert(crash::RelationHash(window.Document()));
    window.Session().Adopt(window.Document(), file);  // nothing to ask on the way out
    return states;
}

pid_t StartEditor(const std::string& file, const std::string& folder, const std::string& log,
                  unsigned seed, const std::string& phasePage) {
    const std::string seedText = std::to_string(seed);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("LUMARK_CRASH_PHASE", phasePage.c_str(), 1);
        ::execl(CRASH_EDITOR, CRASH_EDITOR, file.c_str(), folder.c_str(), log.c_str(),
                seedText.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

TEST(CrashRecoveryTest, EditsKilledAtAnyMomentComeBackWithTheirHistory) {
    const int kills = EnvironmentNumber("LUMARK_CRASH_KILLS", 200);
    const unsigned firstSeed = static_cast<unsigned>(EnvironmentNumber("LUMARK_CRASH_SEED", 17));
    test::TempDir dir;
    const std::string file = dir.File("visibility.txt");
    const std::string folder = dir.File("recovery");
    WriteVisibilityFile(MakeRingDocument(300, 10, "1.2"), file);
    const std::string phasePage = dir.File("phase");
    test::WriteBytes(phasePage, std::string(sizeof(int), '\0'));
    const int pageFd = ::open(phasePage.c_str(), O_RDWR | O_CLOEXEC);
    void* const shared =
        ::mmap(nullptr, sizeof(int), PROT_READ | PROT_WRITE, MAP_SHARED, pageFd, 0);
    ASSERT_NE(shared, MAP_FAILED);
    volatile int* const phase = static_cast<volatile int*>(shared);

    std::mt19937 random(firstSeed);
    int inWrite = 0, inFlush = 0, recovered = 0, lost = 0, torn = 0, replayed = 0;
    std::optional<Expectation> pending;
    for (int round = 0; round <= kills; ++round) {
        const unsigned seed = firstSeed + static_cast<unsigned>(round);
        const std::string logPath = dir.File("round-" + std::to_string(round) + ".log");
        *phase = 0;
        const pid_t child = StartEditor(file, folder, logPath, seed, phasePage);
        ASSERT_GT(child, 0);
        ChildLog log;
        for (int waited = 0; !log.ready && waited < 120000; waited += 5) {
            SleepMs(5);
            log = ChildLog::Read(logPath);
        }
        ASSERT_TRUE(log.ready) << "round " << round << ": the editor did not start";
        ASSERT_EQ(log.start.size(), 8u);

        if (pending) {
            const std::uint64_t found = log.start[1];
            bool fits = pending->allowed.count(found) > 0;
            if (!fits && pending->inFlight >= 0) {
                ++replayed;
                fits = ReplayedStates(*pending, dir.path()).count(found) > 0;
            }
            lost += fits ? 0 : 1;
            EXPECT_TRUE(fits) << "round " << round << ": the state recovered is none allowed";
            torn += static_cast<int>(log.start[6]);
            if (log.start[0] != 0) {
                ++recovered;
                EXPECT_EQ(log.start[2], 1u) << "round " << round << ": undo all is not the file";
                EXPECT_EQ(log.start[3], 1u) << "round " << round << ": not clean at the file";
                EXPECT_EQ(log.start[4], 1u) << "round " << round << ": redo all differs";
                EXPECT_EQ(log.start[5], 0u) << "round " << round << ": records left after Save";
            }
        }
        EXPECT_TRUE(log.complaints.empty()) << "round " << round << ": " << log.complaints[0];
        if (round == kills) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            break;
        }

        // Mostly within a quarter of a second, some after more than a second; some the moment
        // the record is written, some the moment it is flushed (about a second after the first
        // edit).
        const int mode = static_cast<int>(random() % 20);
        const int target = mode < 4 ? 1 : mode < 6 ? 2 : 0;  // in a write, a flush, anywhere
        if (target != 2) {
            SleepMs(target == 0 && random() % 12 == 0 ? 1000 + static_cast<int>(random() % 300)
                                                      : 10 + static_cast<int>(random() % 240));
        }
        for (int waited = 0; target != 0 && *phase != target && waited < 3000000; waited += 50) {
            const timespec pause{0, 50000};
            ::nanosleep(&pause, nullptr);
        }
        ::kill(child, SIGKILL);
        const std::int64_t killed = crash::MonotonicNs();
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << ": the editor ended by itself";
        inWrite += *phase == 1 ? 1 : 0;
        inFlush += *phase == 2 ? 1 : 0;
        pending = ExpectationAfter(ChildLog::Read(logPath), killed, seed, test::ReadBytes(file));
    }
    std::printf(
        "kills %d: %d while writing the record, %d while flushing it; %d recovered, "
        "%d replayed in this process; lost %d, torn %d\n",
        kills, inWrite, inFlush, recovered, replayed, lost, torn);
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(torn, 0);
    EXPECT_GT(inWrite, 0);
    EXPECT_GT(inFlush, 0);
}

}  // namespace
}  // namespace lumark
