#include "RecoveryRecord.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <tuple>
#include <utility>

#include "LumarkError.h"
#include "RecordedSteps.h"
#include "RecoveryFormat.h"
#include "RecoveryWriter.h"
#include "TestFiles.h"

namespace lumark {
namespace {

constexpr std::int16_t Blocks = 10;

using test::Flip;

auto Tied(const ElementChange& c) {
    return std::tie(c.Column, c.Row, c.Before, c.After);
}

void ExpectSameHistory(const RecordedHistory& read, const RecordedHistory& written) {
    EXPECT_EQ(read.Base(), written.Base());
    EXPECT_EQ(read.Current(), written.Current());
    EXPECT_EQ(read.Position(), written.Position());
    EXPECT_EQ(read.SavedPosition(), written.SavedPosition());
    ASSERT_EQ(read.Steps().size(), written.Steps().size());
    for (std::size_t i = 0; i < read.Steps().size(); ++i) {
        const RecordedStep& a = read.Steps()[i];
        const RecordedStep& b = written.Steps()[i];
        EXPECT_EQ(a.Text, b.Text) << i;
        EXPECT_EQ(a.Kind, b.Kind) << i;
        ASSERT_EQ(a.Changes.size(), b.Changes.size()) << i;
        for (std::size_t k = 0; k < a.Changes.size(); ++k) {
            EXPECT_EQ(Tied(a.Changes[k]), Tied(b.Changes[k])) << i << ": " << k;
        }
    }
}

RecordedFile SomeFile() {
    return {
        "/data/vis/sichtbarkeit \xe4.txt", {{8, 1234, 567, 1700000000123456789}, 0xfeedULL}, "1.2"};
}

int FilesIn(const std::string& folder) {
    int count = 0;
    if (DIR* directory = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(directory)) {
            count += entry->d_name[0] != '.' ? 1 : 0;
        }
        ::closedir(directory);
    }
    return count;
}

std::string ProblemOf(const std::string& bytes) {
    try {
        RecoveryFormat::Parse(bytes);
    } catch (const LumarkError& error) {
        return error.what();
    }
    return "read";
}

// A record in a folder of its own. The base sees (3, 10), so that a walk down column 3 changes
// the value it writes there.
struct Recorded {
    test::TempDir dir;
    std::string folder = dir.File("state/Lumark/recovery");
    RecoveryWriter writer{folder, SomeFile(), RecordedHistory(Base(), Blocks)};

    static VisibilityMatrix Base() {
        VisibilityDocument base;
        base.SetElement(3, 10, True16);
        return base.Matrix;
    }
    const VisibilityMatrix& Now() const { return writer.History().Current(); }
    std::string Bytes() const { return test::ReadBytes(writer.RecordPath()); }
};

TEST(RecoveryRecordTest, ReadsBackAsWrittenAndAnEntryCutShortLeavesThePreviousState) {
    Recorded r;
    // Walks over every direction of the ring, across its end, and single elements.
    r.writer.AppendPush(Flip(r.Now(),
                             {{3, 8},
                              {3, 9},
                              {3, 10},
                              {3, 1},
                              {5, 2},
                              {5, 1},
                              {5, 10},
                              {9, 4},
                              {10, 4},
                              {1, 4},
                              {2, 7},
                              {1, 7},
                              {10, 7},
                              {6, 6}},
                             StepKind::Action, "Set Minimum on 3 blocks"));
    r.writer.AppendPush(Flip(r.Now(), {{4, 5}}, StepKind::CellClick, "Toggle"));
    r.writer.AppendPush(Flip(r.Now(), {{4, 6}}, StepKind::DoubleClick));
    r.writer.AppendPush(Flip(r.Now(), {{7, 7}, {7, 7}, {7, 7}}));
    r.writer.AppendUndo();
    const std::string before = r.Bytes();
    const RecordedHistory previous = r.writer.History();
    EXPECT_TRUE(r.writer.AppendPush(Flip(r.Now(), {{5, 5}, {6, 6}, {7, 7}})));
    EXPECT_TRUE(r.writer.Flush());
    EXPECT_EQ(r.writer.Problem(), "");
    ASSERT_EQ(r.writer.History().Steps().size(), 3u);  // the double click joined its click

    const std::string after = r.Bytes();
    const RecoveryFormat::ParsedRecord read = RecoveryFormat::Parse(after);
    EXPECT_EQ(read.Record.File.Path, SomeFile().Path);
    EXPECT_EQ(read.Record.File.State.Identity, SomeFile().State.Identity);
    EXPECT_EQ(read.Record.File.State.Hash, SomeFile().State.Hash);
    EXPECT_EQ(read.Record.File.VersionText, "1.2");
    EXPECT_EQ(read.Record.History.BlockCount(), Blocks);
    ExpectSameHistory(read.Record.History, r.writer.History());

    for (std::size_t cut = before.size(); cut < after.size(); ++cut) {
        const RecoveryFormat::ParsedRecord part = RecoveryFormat::Parse(after.substr(0, cut));
        ExpectSameHistory(part.Record.History, previous);
        EXPECT_EQ(part.ValidLength, before.size());
    }
    // Damage to the last entry, or zeros where it should be, is the same cut-short write.
    std::string damaged = after;
    damaged.back() = static_cast<char>(damaged.back() ^ 1);
    ExpectSameHistory(RecoveryFormat::Parse(damaged).Record.History, previous);
    const std::string zeros = before + std::string(after.size() - before.size(), '\0');
    ExpectSameHistory(RecoveryFormat::Parse(zeros).Record.History, previous);
}

TEST(RecoveryRecordTest, DamageBeforeTheLastEntryAnUnknownVersionOrMisfitStepsAreUnreadable) {
    Recorded r;
    r.writer.AppendPush(Flip(r.Now(), {{1, 2}}));
    const std::size_t second = r.Bytes().size();
    r.writer.AppendPush(Flip(r.Now(), {{2, 2}}));
    r.writer.AppendUndo();
    const std::string bytes = r.Bytes();
    const std::string at = "the entry at byte " + std::to_string(second) + " is damaged";
    for (const std::size_t offset : {second + 1, second + 12}) {  // its length, its payload
        std::string damaged = bytes;
        damaged[offset] = static_cast<char>(damaged[offset] ^ 0x10);
        EXPECT_EQ(ProblemOf(damaged), at) << offset;
    }
    std::string newer = bytes;
    newer[8] = 2;
    EXPECT_EQ(ProblemOf(newer), "unknown version 2");
    EXPECT_EQ(ProblemOf("LMKRECOV"), "not a recovery record");
    EXPECT_EQ(ProblemOf(bytes.substr(0, 30)), "it holds no complete entry");

    // A step written for more blocks than the record's relation has.
    RecordedHistory wide(VisibilityMatrix(), 20);
    const std::string misfit =
        RecoveryFormat::FileHeader() +
        RecoveryFormat::Entry(RecoveryFormat::EntryType::Snapshot,
                              RecoveryFormat::SnapshotPayload(
                                  SomeFile(), RecordedHistory(VisibilityMatrix(), Blocks))) +
        RecoveryFormat::Entry(RecoveryFormat::EntryType::Push,
                              RecoveryFormat::StepPayload(Flip(wide.Current(), {{15, 2}}), 20));
    EXPECT_NE(ProblemOf(misfit).find("outside blocks 1..10"), std::string::npos)
        << ProblemOf(misfit);
}

// A step of 600,000 changes undone and redone 40,000 times: played each time, that took hours.
TEST(RecoveryRecordTest, UndosAndRedosReadToWhereTheyEndAndNoFurther) {
    namespace format = RecoveryFormat;
    constexpr std::int16_t All = VisibilityMatrix::MaxBlocks;
    RecordedStep large{"Set Maximum on 1 block", StepKind::Action, {}};
    for (int pass = 0; pass < 2001; ++pass) {  // column 1 turned on and off, ending on
        const std::int16_t after = pass % 2 == 0 ? True16 : False16;
        for (std::int16_t row = 1; row <= All; ++row) {
            large.Changes.push_back({1, row, static_cast<std::int16_t>(~after), after});
        }
    }
    const RecordedHistory empty(VisibilityMatrix(), All);
    VisibilityDocument seen;
    for (int row = 1; row <= All; ++row) {
        seen.SetElement(1, row, True16);
    }
    const std::string start =
        format::FileHeader() +
        format::Entry(format::EntryType::Snapshot, format::SnapshotPayload(SomeFile(), empty)) +
        format::Entry(format::EntryType::Push, format::StepPayload(large, All)) +
        format::Entry(format::EntryType::Push,
                      format::StepPayload(Flip(seen.Matrix, {{2, 2}}), All));
    const std::string undo = format::Entry(format::EntryType::Undo, "");
    const std::string redo = format::Entry(format::EntryType::Redo, "");

    std::string many = start;
    for (int i = 0; i < 20000; ++i) {
        many += undo + undo + redo + redo;
    }
    const RecordedHistory read = format::Parse(many + undo).Record.History;
    EXPECT_EQ(read.Position(), 1u);
    EXPECT_EQ(read.Current(), seen.Matrix);

    const struct {
        std::string moves;
        std::string problem;
    } beyond[] = {
        {undo + undo + undo, "an undo with no step to undo"},
        {undo + redo + redo, "a redo with no step to redo"},
    };
    for (const auto& c : beyond) {
        const std::size_t at = start.size() + c.moves.size() - undo.size();
        EXPECT_EQ(ProblemOf(start + c.moves),
                  "the entry at byte " + std::to_string(at) + ": " + c.problem);
    }
}

TEST(RecoveryRecordTest, CompactionFoldsTheOldestStepsAndKeepsTheState) {
    Recorded r;
    // About 1 MB of steps, past the 720 KB that the writer keeps before it folds.
    for (int i = 0; i < 1000; ++i) {
        const int c = 1 + i % Blocks;
        RecordedStep step = Flip(r.Now(), {{c, 1}, {c, 4}, {c, 7}});
        step.Text = std::string(1000, 'x');
        ASSERT_TRUE(r.writer.AppendPush(step));
    }
    for (int i = 0; i < 5; ++i) {
        r.writer.AppendUndo();
    }
    const VisibilityMatrix current = r.Now();
    const std::size_t grown = r.Bytes().size();
    ASSERT_TRUE(r.writer.Flush());
    const std::string compacted = r.Bytes();
    EXPECT_LT(compacted.size(), grown);
    const RecordedHistory read = RecoveryFormat::Parse(compacted).Record.History;
    ExpectSameHistory(read, r.writer.History());
    EXPECT_EQ(read.Current(), current);
    EXPECT_LT(read.Steps().size(), 1000u);
    EXPECT_GT(read.Steps().size(), 100u);
    EXPECT_EQ(read.Steps().size() - read.Position(), 5u);  // the redo steps are all there
    EXPECT_FALSE(read.SavedPosition());
    EXPECT_FALSE(read.Base() == Recorded::Base());
}

// A writer's lock goes with it, as with a kill: only then is its record listed and taken, by
// one claim at a time; a claim dropped (Cancel) leaves it for later.
TEST(RecoveryRecordTest, ARecordIsListedOnceItsWriterHasGoneAndGoesOnWithoutItsTornEnd) {
    test::TempDir dir;
    const std::string folder = dir.File("recovery");
    RecoveryWriter mine(folder, SomeFile(), RecordedHistory(VisibilityMatrix(), Blocks));
    mine.AppendPush(Flip(mine.History().Current(), {{1, 2}}));
    std::string path;
    {
        RecoveryWriter writer(folder, SomeFile(), RecordedHistory(VisibilityMatrix(), Blocks));
        writer.AppendPush(Flip(writer.History().Current(), {{1, 2}}));
        writer.AppendPush(Flip(writer.History().Current(), {{1, 3}}));
        writer.AppendUndo();
        path = writer.RecordPath();
        EXPECT_EQ(FilesIn(folder), 2);
        EXPECT_TRUE(ListRecoveryRecords(folder).empty());  // two live records of one file
    }
    const std::string whole = test::ReadBytes(path);
    test::WriteBytes(path, whole + whole.substr(whole.size() - 20, 7));  // a write cut short
    const std::vector<RecordSummary> listed = ListRecoveryRecords(folder);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].RecordPath, path);
    EXPECT_EQ(listed[0].StepCount, 2u);
    EXPECT_EQ(listed[0].FilePath, SomeFile().Path);
    EXPECT_EQ(listed[0].Problem, "");
    EXPECT_GT(listed[0].UpdatedNs, 0);

    std::optional<RecoveryClaim> claim = RecoveryClaim::Take(path);
    ASSERT_TRUE(claim);
    EXPECT_FALSE(RecoveryClaim::Take(path));
    EXPECT_TRUE(ListRecoveryRecords(folder).empty());
    claim.reset();
    ASSERT_EQ(ListRecoveryRecords(folder).size(), 1u);

    // Recovered, the record goes on after its last whole entry.
    claim = RecoveryClaim::Take(path);
    RecoveredRecord record = claim->Read();
    RecoveryWriter resumed(std::move(*claim), std::move(record));
    ASSERT_TRUE(resumed.AppendPush(Flip(resumed.History().Current(), {{3, 4}})));
    EXPECT_EQ(resumed.RecordPath(), path);
    const RecordedHistory read = RecoveryFormat::Parse(test::ReadBytes(path)).Record.History;
    ExpectSameHistory(read, resumed.History());
    EXPECT_EQ(read.Steps().size(), 2u);  // the redo step gave way to the new one
    resumed.Remove();
    EXPECT_EQ(FilesIn(folder), 1);
}

// As root a read-only folder would still be written, so the writer runs as nobody.
TEST(RecoveryRecordTest, AFolderThatCannotBeWrittenSaysWhy) {
    test::TempDir dir;
    const std::string folder = dir.File("recovery");
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(folder.c_str(), 0555), 0);
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(1);
        }
        RecoveryWriter writer(folder, SomeFile(), RecordedHistory(VisibilityMatrix(), Blocks));
        const bool pushed = writer.AppendPush(Flip(writer.History().Current(), {{1, 2}}));
        const bool flushed = writer.Flush();
        const std::string said = (pushed || flushed ? "wrote: " : "") + writer.Problem();
        ::_exit(::write(report[1], said.data(), said.size()) < 0 ? 1 : 0);
    }
    ::close(report[1]);
    char text[512];
    const ssize_t got = ::read(report[0], text, sizeof text);
    ::close(report[0]);
    ASSERT_EQ(::waitpid(pid, nullptr, 0), pid);
    ASSERT_GT(got, 0);
    EXPECT_EQ(std::string(text, static_cast<std::size_t>(got)),
              "cannot write in " + folder + ": Permission denied");
}

// A full disk, played by a file size limit: the edit goes on, and the record catches up
// once there is room again.
TEST(RecoveryRecordTest, AFailedWriteIsReportedAndMadeGoodByALaterFlush) {
    Recorded r;
    ASSERT_TRUE(r.writer.AppendPush(Flip(r.Now(), {{1, 2}})));
    const std::size_t size = r.Bytes().size();
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = ::signal(SIGXFSZ, SIG_IGN);
    rlimit full = old;
    full.rlim_cur = size + 10;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &full), 0);
    const bool pushed = r.writer.AppendPush(Flip(r.Now(), {{2, 2}, {2, 5}, {2, 8}}));
    const bool flushed = r.writer.Flush();
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(pushed);
    EXPECT_FALSE(flushed);
    EXPECT_EQ(r.writer.Problem(), "cannot write in " + r.folder + ": File too large");
    EXPECT_EQ(r.Bytes().size(), size);  // the part written was taken back
    EXPECT_EQ(r.writer.History().Steps().size(), 2u);

    EXPECT_FALSE(r.writer.AppendUndo());  // still behind until a flush
    ASSERT_TRUE(r.writer.Flush());
    EXPECT_EQ(r.writer.Problem(), "");
    ExpectSameHistory(RecoveryFormat::Parse(r.Bytes()).Record.History, r.writer.History());
    EXPECT_TRUE(r.writer.AppendRedo());
    ExpectSameHistory(RecoveryFormat::Parse(r.Bytes()).Record.History, r.writer.History());
}

// A record that no longer matches the history would recover something never on screen.
TEST(RecoveryRecordTest, AStepThatDoesNotFitRemovesTheRecord) {
    Recorded r;
    ASSERT_TRUE(r.writer.AppendPush(Flip(r.Now(), {{1, 2}})));
    EXPECT_FALSE(r.writer.AppendPush(Flip(Recorded::Base(), {{1, 2}})));
    EXPECT_EQ(r.writer.Problem().rfind("the record no longer follows the edit history: ", 0), 0u);
    EXPECT_EQ(FilesIn(r.folder), 0);
    EXPECT_FALSE(r.writer.Flush());
}

}  // namespace
}  // namespace lumark
