#if LUMARK_POSIX_TESTS
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "../document/TestFiles.h"
#include "DocumentSession.h"
#include "MatrixEdits.h"
#include "MatrixGridModel.h"
#include "RingDocument.h"
#include "ScriptedDialogs.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

// Another program's version of the file: a ring of `blocks` seeing `distance` on each side.
std::string Version(int blocks, int distance) {
    return FormatVisibilityFile(MakeRingDocument(blocks, distance, "1.2"));
}

// The session with the file open, and another program that changes the file under it.
class DiskChangesTest : public ::testing::Test {
  protected:
    DiskChangesTest() {
        test::WriteBytes(path, Version(6, 1));
        session.Open(path);
    }

    // As another program does it: new bytes renamed over the file.
    void OtherProgramWrites(const std::string& bytes) {
        test::WriteBytes(path + ".new", bytes);
        std::filesystem::rename(path + ".new", path);
    }
    void Edit() {
        session.History().Record(QStringLiteral("toggle"), [&] {
            std::int16_t c = 1;
            std::int16_t r = 4;
            ToggleVisibilityCell(session.Document(), c, r);
        });
    }
    bool Sees(int viewer, int seen) const { return session.Document().IsVisible(viewer, seen); }
    // Lets the watcher and the delayed check run, until `done` or a few seconds pass.
    template <typename Done>
    bool WaitFor(Done done) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return done();
    }

    test::TempDir dir;
    const std::string path = dir.File("visibility.txt");
    ScriptedDialogs dialogs;
    DocumentSession session{dialogs, dir.File("Lumark.ini"), dir.File("state")};
};

// Fault caught: a clean window keeps showing a file that is no longer on disk.
TEST_F(DiskChangesTest, ACleanWindowReloadsAsOneUndoStep) {
    OtherProgramWrites(Version(6, 2));
    ASSERT_TRUE(WaitFor([&] { return !session.DiskState().empty(); }));  // the watcher's doing
    EXPECT_EQ(session.DiskState(), "Reloaded: changed on disk");
    EXPECT_TRUE(Sees(1, 3));
    EXPECT_FALSE(session.UnsavedChanges());
    dialogs.ExpectNoDialog();

    EXPECT_TRUE(session.Undo());
    EXPECT_FALSE(Sees(1, 3));
    EXPECT_TRUE(session.UnsavedChanges());  // the window no longer matches the disk
    EXPECT_EQ(session.History().RedoText(), QStringLiteral("Reload from disk"));

    // The watch survives the rename: a second change is seen too.
    session.Redo();
    OtherProgramWrites(Version(8, 1));
    ASSERT_TRUE(WaitFor([&] { return session.Document().BlockCount == 8; }));
}

// Faults caught: the next Save silently writes over the other program's change; a question
// that loses the edits.
TEST_F(DiskChangesTest, UnsavedEditsAskAndSaveAsksBeforeReplacing) {
    Edit();
    OtherProgramWrites(Version(6, 2));
    dialogs.AnswerMsgBox(UserDialogs::vbNo);
    session.CheckDisk();
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].Title, "Changed on disk");
    EXPECT_NE(dialogs.calls[0].Text.find("block 0 now sees 2\n"), std::string::npos);
    EXPECT_NE(dialogs.calls[0].Text.find("and 2 more\n"), std::string::npos);  // 12 listed
    EXPECT_FALSE(Sees(1, 3));
    session.CheckDisk();  // the same version is not asked about twice
    EXPECT_EQ(dialogs.calls.size(), 1u);

    // Save: its own question, then the one about the changed file; No writes nothing.
    dialogs.AnswerMsgBox(UserDialogs::vbYes).AnswerMsgBox(UserDialogs::vbNo);
    session.Save();
    EXPECT_EQ(dialogs.calls.back().Title, "Replace changed file");
    EXPECT_NE(dialogs.calls.back().Text.find("Replace it with the window's version?"),
              std::string::npos);
    EXPECT_EQ(test::ReadBytes(path), Version(6, 2));
    EXPECT_TRUE(session.UnsavedChanges());
    // The closing prompt's Yes asks the same, and No keeps the window open.
    dialogs.AnswerMsgBox(UserDialogs::vbYes).AnswerMsgBox(UserDialogs::vbNo);
    EXPECT_FALSE(session.MayClose());
    EXPECT_EQ(test::ReadBytes(path), Version(6, 2));

    dialogs.AnswerMsgBox(UserDialogs::vbYes)
        .AnswerMsgBox(UserDialogs::vbYes)
        .AnswerMsgBox(UserDialogs::vbOK);
    session.Save();
    EXPECT_NE(test::ReadBytes(path), Version(6, 2));
    EXPECT_FALSE(session.UnsavedChanges());
    session.CheckDisk();  // Lumark's own save is no outside change
    EXPECT_EQ(dialogs.calls.size(), 8u);
    EXPECT_EQ(session.DiskState(), "");
}

TEST_F(DiskChangesTest, YesReloadsAndTheEditsStayInTheHistory) {
    Edit();
    OtherProgramWrites(Version(6, 2));
    dialogs.AnswerMsgBox(UserDialogs::vbYes);
    session.CheckDisk();
    EXPECT_TRUE(Sees(1, 3));
    EXPECT_FALSE(Sees(1, 4));
    session.Undo();
    EXPECT_TRUE(Sees(1, 4));  // the edit is back
    EXPECT_FALSE(Sees(1, 3));
}

TEST_F(DiskChangesTest, DeletedUnreadableAndSameBytes) {
    // The same bytes under a new identity are no change.
    OtherProgramWrites(Version(6, 1));
    session.CheckDisk();
    EXPECT_EQ(session.DiskState(), "");
    EXPECT_EQ(session.History().Count(), 0);

    // Cut short mid-write: kept as it is until the next change.
    OtherProgramWrites(Version(6, 2).substr(0, 40));
    session.CheckDisk();
    EXPECT_EQ(session.DiskState(), "Changed on disk; cannot be read yet");
    EXPECT_FALSE(Sees(1, 3));
    OtherProgramWrites(Version(6, 2));
    session.CheckDisk();
    EXPECT_TRUE(Sees(1, 3));

    ASSERT_EQ(std::remove(path.c_str()), 0);
    session.CheckDisk();
    EXPECT_EQ(session.DiskState(), "Deleted on disk");
    dialogs.AnswerMsgBox(UserDialogs::vbYes).AnswerMsgBox(UserDialogs::vbOK);
    session.Save();  // written again, without asking about a replacement
    EXPECT_EQ(test::ReadBytes(path), Version(6, 2));
    EXPECT_EQ(dialogs.calls.size(), 2u);
}

// Fault caught: "cannot be read yet" stayed for good once the other program wrote back the
// bytes the window holds.
TEST_F(DiskChangesTest, TheSameBytesBackAfterAnUnreadableVersionAreNoChange) {
    OtherProgramWrites(Version(6, 2).substr(0, 40));
    session.CheckDisk();
    ASSERT_EQ(session.DiskState(), "Changed on disk; cannot be read yet");
    OtherProgramWrites(Version(6, 1));
    session.CheckDisk();
    EXPECT_EQ(session.DiskState(), "");
    EXPECT_EQ(session.History().Count(), 0);  // nothing reloaded
    EXPECT_FALSE(session.UnsavedChanges());
    dialogs.ExpectNoDialog();
}

#if LUMARK_POSIX_TESTS
// Fault caught: an hour of edits before learning that Save will fail.
TEST_F(DiskChangesTest, AReadOnlyFileSaysSoWhenItOpens) {
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    // Root may write any file, so the check runs as nobody where the tests run as root.
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(2);
        }
        ScriptedDialogs quiet;
        DocumentSession reader(quiet, dir.File("other.ini"));
        reader.Open(path);
        ::_exit(reader.DiskState() == "Read-only" ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(session.DiskState(), "");  // this file was writable when it opened
}
#endif

TEST_F(DiskChangesTest, SaveAsIsNoOutsideChange) {
    Edit();
    const std::string copy = dir.File("copy.txt");
    dialogs.ChooseSaveFile(copy);
    session.SaveAs();
    session.CheckDisk();
    EXPECT_EQ(session.FilePath(), copy);
    EXPECT_EQ(session.DiskState(), "");
    EXPECT_EQ(dialogs.calls.size(), 1u);  // the dialog alone
}

}  // namespace
}  // namespace lumark
