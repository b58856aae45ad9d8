// Kills a child editor (crash_editor, the real window offscreen) as the system kills a process
// (SIGKILL, or TerminateProcess on Windows) at random moments of a seeded random sequence of
// edits on a 300-block file, where its slow disk allows some in the middle of writing its
// recovery record and some in the middle of flushing it; starts it again, which answers Yes,
// and checks what comes back. LUMARK_CRASH_KILLS sets how many kills (200 by default),
// LUMARK_CRASH_SEED the first seed.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "../document/TestFiles.h"
#include "RandomEdits.h"
#include "RingDocument.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
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
    QObject::connect(&window.History(), &lumark::EditHistory::Changed, &window,
                     [&] { states.insert(crash::RelationHash(window.Document())); });
    edits.Next();
    QCoreApplication::processEvents();
    states.insert(crash::RelationHash(window.Document()));
    window.Session().Adopt(window.Document(), file);  // nothing to ask on the way out
    return states;
}

// The child editor stands beside this test.
void StartEditor(QProcess& child, const std::string& file, const std::string& folder,
                 const std::string& log, unsigned seed, const std::string& phasePage) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("LUMARK_CRASH_PHASE", QString::fromStdString(phasePage));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationDirPath() + "/crash_editor",
                {QString::fromStdString(file), QString::fromStdString(folder),
                 QString::fromStdString(log), QString::number(seed)});
}

// The system's end of a process: no handler of the child runs.
void Kill(QProcess& child) {
    child.kill();
    child.waitForFinished(-1);
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
    QFile page(QString::fromStdString(phasePage));
    ASSERT_TRUE(page.open(QIODevice::ReadWrite));
    uchar* const shared = page.map(0, sizeof(int));
    ASSERT_NE(shared, nullptr);
    volatile int* const phase = reinterpret_cast<volatile int*>(shared);

    std::mt19937 random(firstSeed);
    int inWrite = 0, inFlush = 0, recovered = 0, lost = 0, torn = 0, replayed = 0;
    std::optional<Expectation> pending;
    for (int round = 0; round <= kills; ++round) {
        const unsigned seed = firstSeed + static_cast<unsigned>(round);
        const std::string logPath = dir.File("round-" + std::to_string(round) + ".log");
        *phase = 0;
        QProcess child;
        StartEditor(child, file, folder, logPath, seed, phasePage);
        ASSERT_TRUE(child.waitForStarted(-1)) << child.errorString().toStdString();
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
            Kill(child);
            break;
        }

        // Mostly within a quarter of a second, some after more than a second; some the moment
        // the record is written, some the moment it is flushed (about a second after the first
        // edit).
        const int mode = static_cast<int>(random() % 20);
        const int target = mode < 4 ? 1 : mode < 6 ? 2 : 0;  // in a write, a flush, anywhere
        if (target != 2 || !LUMARK_CRASH_PHASES) {
            SleepMs(target == 0 && random() % 12 == 0 ? 1000 + static_cast<int>(random() % 300)
                                                      : 10 + static_cast<int>(random() % 240));
        }
        for (int waited = 0;
             LUMARK_CRASH_PHASES && target != 0 && *phase != target && waited < 3000000;
             waited += 50) {
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        ASSERT_EQ(child.state(), QProcess::Running)
            << "round " << round << ": the editor ended by itself";
        child.kill();
        const std::int64_t killed = crash::MonotonicNs();
        child.waitForFinished(-1);
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
    if (LUMARK_CRASH_PHASES) {
        EXPECT_GT(inWrite, 0);
        EXPECT_GT(inFlush, 0);
    }
}

}  // namespace
}  // namespace lumark
