#include "RecoveryKeeper.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <QSignalSpy>
#include <ctime>
#include <memory>

#include <gtest/gtest.h>

#include "../document/TestFiles.h"
#include "DocumentSession.h"
#include "Ini.h"
#include "MatrixEdits.h"
#include "MatrixGridModel.h"
#include "RecoveryNames.h"
#include "RingDocument.h"
#include "ScriptedDialogs.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

constexpr int Yes = UserDialogs::vbYes;
constexpr int No = UserDialogs::vbNo;
constexpr int Cancel = UserDialogs::vbCancel;

// Sessions that keep records in a folder of their own. A session that is destroyed stands for a
// Lumark that was killed: its record stays, and nothing holds it any more.
class RecoveryKeeperTest : public ::testing::Test {
  protected:
    RecoveryKeeperTest() {
        WriteVisibilityFile(MakeRingDocument(6, 1, "1.2"), path);
        fileBytes = test::ReadBytes(path);
        session = NewSession();
        session->Open(path);
    }

    std::unique_ptr<DocumentSession> NewSession() {
        auto made = std::make_unique<DocumentSession>(dialogs, settings);
        made->KeepRecoveryRecords(folder);
        return made;
    }

    // The Lumark is killed; another one starts.
    void Restart() { session = NewSession(); }

    static void Toggle(DocumentSession& s, int column, int row) {
        s.History().Record(QStringLiteral("toggle"), [&] {
            std::int16_t c = static_cast<std::int16_t>(column);
            std::int16_t r = static_cast<std::int16_t>(row);
            ToggleVisibilityCell(s.Document(), s.Grid(), c, r);
        });
    }
    void Toggle(int column, int row) { Toggle(*session, column, row); }

    std::vector<std::string> Records() const {
        std::vector<std::string> records;
        for (const std::string& name : recoveryDir.Entries()) {
            if (RecoveryNames::IsRecord(name)) {
                records.push_back(name);
            }
        }
        return records;
    }

    std::string DocumentBytes() const { return FormatVisibilityFile(session->Document()); }

    test::TempDir dir;
    test::TempDir recoveryDir;
    const std::string folder = recoveryDir.path();
    const std::string path = dir.File("visibility.txt");
    const std::string settings = dir.File("Lumark.ini");
    std::string fileBytes;
    ScriptedDialogs dialogs;
    std::unique_ptr<DocumentSession> session;
};

// There is a record exactly while the history stands off the state that matches the file.
TEST_F(RecoveryKeeperTest, ARecordExistsWhileTheWindowDiffersFromTheFile) {
    EXPECT_TRUE(Records().empty());
    session->MarkChanged();  // a click that changed nothing: nothing to recover
    EXPECT_TRUE(Records().empty());

    Toggle(1, 4);
    EXPECT_EQ(Records().size(), 1u);
    session->Undo();
    EXPECT_TRUE(Records().empty());  // undo back to the file's state
    session->Redo();
    EXPECT_EQ(Records().size(), 1u);

    dialogs.AnswerMsgBox(Yes).AnswerMsgBox(UserDialogs::vbOK);
    session->Save();
    EXPECT_TRUE(Records().empty());
    session->Undo();  // below the saved state: differs from the file again
    EXPECT_EQ(Records().size(), 1u);
}

TEST_F(RecoveryKeeperTest, EditsGivenUpTakeTheirRecordWithThem) {
    Toggle(1, 4);
    dialogs.AnswerMsgBox(No);  // "Save Visibility now ?" on closing
    EXPECT_TRUE(session->MayClose());
    EXPECT_TRUE(Records().empty());

    Toggle(2, 5);
    const std::string other = dir.File("other.txt");
    WriteVisibilityFile(MakeRingDocument(5, 1, "1.2"), other);
    dialogs.AnswerMsgBox(No);
    session->OpenAfterAsking(other);
    EXPECT_TRUE(Records().empty());

    Toggle(2, 5);
    dialogs.AnswerMsgBox(No).ChooseFile("");  // Load, cancelled in its dialog: still edited
    session->Load();
    EXPECT_EQ(Records().size(), 1u);
    dialogs.AnswerMsgBox(Cancel);
    EXPECT_FALSE(session->MayClose());
    EXPECT_EQ(Records().size(), 1u);
}

// Yes: the state as the killed window had it, with its undo history down to the file's bytes.
TEST_F(RecoveryKeeperTest, YesPutsBackTheStateAndEveryStep) {
    Toggle(1, 4);
    Toggle(2, 5);
    Toggle(3, 6);
    session->Undo();  // two done, one to redo
    const std::string shown = DocumentBytes();
    Restart();

    dialogs.AnswerMsgBox(Yes);
    session->Open(path);
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].Title, "Recover unsaved changes");
    EXPECT_EQ(DocumentBytes(), shown);
    EXPECT_TRUE(session->UnsavedChanges());
    EXPECT_EQ(session->FilePath(), path);
    EXPECT_EQ(Ini::ReadIniValue("Main", "LastDir", "", settings), dir.path());

    EXPECT_TRUE(session->Undo());
    EXPECT_TRUE(session->Undo());
    EXPECT_FALSE(session->Undo());
    EXPECT_EQ(DocumentBytes(), fileBytes);
    EXPECT_FALSE(session->UnsavedChanges());
    EXPECT_TRUE(Records().empty());
    EXPECT_TRUE(session->Redo());
    EXPECT_TRUE(session->Redo());
    EXPECT_EQ(DocumentBytes(), shown);
    EXPECT_TRUE(session->Redo());  // the step that had been undone
    EXPECT_FALSE(session->Redo());

    // The recovered window goes on writing the record, and a kill now keeps the third step.
    EXPECT_EQ(Records().size(), 1u);
    const std::string third = DocumentBytes();
    Restart();
    dialogs.AnswerMsgBox(Yes).AnswerMsgBox(Yes).AnswerMsgBox(UserDialogs::vbOK);
    session->Open(path);
    EXPECT_EQ(DocumentBytes(), third);
    session->Save();
    EXPECT_TRUE(Records().empty());
    EXPECT_EQ(test::ReadBytes(path), third);
}

TEST_F(RecoveryKeeperTest, AStateSavedOnTheWayIsWhereTheFlagClears) {
    Toggle(1, 4);
    dialogs.AnswerMsgBox(Yes).AnswerMsgBox(UserDialogs::vbOK);
    session->Save();
    const std::string saved = DocumentBytes();
    Toggle(2, 5);
    Restart();

    dialogs.AnswerMsgBox(Yes);
    session->Open(path);
    session->Undo();
    EXPECT_EQ(DocumentBytes(), saved);
    EXPECT_FALSE(session->UnsavedChanges());
    session->Undo();
    EXPECT_EQ(DocumentBytes(), fileBytes);  // the version before the save
    EXPECT_TRUE(session->UnsavedChanges());
}

TEST_F(RecoveryKeeperTest, NoRemovesTheRecordAndCancelKeepsIt) {
    Toggle(1, 4);
    Restart();
    dialogs.AnswerMsgBox(Cancel);
    session->Open(path);
    EXPECT_EQ(DocumentBytes(), fileBytes);  // opened as usual
    EXPECT_FALSE(session->UnsavedChanges());
    ASSERT_EQ(Records().size(), 1u);
    const std::string kept = Records()[0];
    Toggle(2, 5);  // a new record beside the one kept
    EXPECT_EQ(Records().size(), 2u);
    session->Undo();
    ASSERT_EQ(Records().size(), 1u);
    EXPECT_EQ(Records()[0], kept);

    Restart();
    dialogs.AnswerMsgBox(No);
    session->Open(path);
    EXPECT_EQ(DocumentBytes(), fileBytes);
    EXPECT_TRUE(Records().empty());
}

// One question each, oldest first, for the file opened or, at a start with none, for any.
TEST_F(RecoveryKeeperTest, SeveralRecordsAreAskedAboutOldestFirst) {
    const std::string other = dir.File("other.txt");
    WriteVisibilityFile(MakeRingDocument(5, 1, "1.2"), other);
    Toggle(1, 4);
    Restart();
    session->Open(other);
    Toggle(2, 3);
    Restart();
    // Their times order them: the record of `other`, made last, is made the older one.
    for (const std::string& name : Records()) {
        const std::string record = folder + "/" + name;
        if (test::ReadBytes(record).find(other) != std::string::npos) {
            const timespec times[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 60, 0}};
            ASSERT_EQ(::utimensat(AT_FDCWD, record.c_str(), times, 0), 0);
        }
    }

    dialogs.AnswerMsgBox(Cancel).AnswerMsgBox(Yes);
    session->OfferRecoveryRecords();
    ASSERT_EQ(dialogs.calls.size(), 2u);
    EXPECT_NE(dialogs.calls[0].Text.find(other), std::string::npos);
    EXPECT_NE(dialogs.calls[1].Text.find(path), std::string::npos);
    EXPECT_EQ(session->FilePath(), path);
    EXPECT_TRUE(session->UnsavedChanges());
    EXPECT_EQ(Records().size(), 2u);  // the one cancelled stays
}

// Two Lumarks on one file keep two records, and neither offers the other's.
TEST_F(RecoveryKeeperTest, ARunningLumarksRecordIsNotOffered) {
    Toggle(1, 4);
    std::unique_ptr<DocumentSession> second = NewSession();
    second->Open(path);  // no question: the first still runs
    dialogs.ExpectNoDialog();
    Toggle(*second, 2, 5);
    EXPECT_EQ(Records().size(), 2u);
}

TEST_F(RecoveryKeeperTest, TheQuestionSaysWhatItOffers) {
    Toggle(1, 4);
    Toggle(2, 5);
    Restart();
    const std::string record = folder + "/" + Records()[0];
    const std::time_t when = 1700000000;
    const timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, record.c_str(), times, 0), 0);
    char local[32];
    std::strftime(local, sizeof local, "%Y-%m-%d %H:%M:%S", std::localtime(&when));

    dialogs.AnswerMsgBox(Cancel);
    session->Open(path);
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].Text, "Lumark stopped before these changes were saved:\n\n" + path +
                                         "\n\nLast kept: " + local +
                                         ", 2 steps to undo and redo.\n\nRecover them?");
    EXPECT_EQ(dialogs.calls[0].Style, UserDialogs::vbYesNoCancel + UserDialogs::vbExclamation);

    // Changed on disk since the record began: one sentence more; Save asks before replacing.
    WriteVisibilityFile(MakeRingDocument(6, 2, "1.2"), path);
    Restart();
    dialogs.AnswerMsgBox(Yes);
    session->Open(path);
    EXPECT_NE(dialogs.calls.back().Text.find("\nThe file on disk has changed since these changes "
                                             "began; Save will ask before replacing it.\n"),
              std::string::npos);
    dialogs.AnswerMsgBox(Yes).AnswerMsgBox(No);
    session->Save();
    EXPECT_EQ(dialogs.calls.back().Title, "Replace changed file");
    EXPECT_FALSE(Records().empty());
}

// A record that does not read is kept, named once, and nothing of it is loaded.
TEST_F(RecoveryKeeperTest, AnUnreadableRecordIsNamedAndKept) {
    const std::string torn = folder + "/lumark-1-1-00000000.recovery";
    test::WriteBytes(torn, "LMKRECOV\x07");
    Restart();
    dialogs.AnswerMsgBox(UserDialogs::vbOK);
    session->Open(path);
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].Title, "Recover unsaved changes");
    EXPECT_EQ(dialogs.calls[0].Text.rfind("This recovery record cannot be read; it is kept as it "
                                          "is:\n\n" +
                                              torn + ": ",
                                          0),
              0u);
    EXPECT_EQ(DocumentBytes(), fileBytes);
    session->Open(path);  // said once a run
    EXPECT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(test::ReadBytes(torn), std::string("LMKRECOV\x07"));
}

// A folder that cannot be written is said once, and editing goes on.
TEST_F(RecoveryKeeperTest, NoRecoveryCopyIsSaidOnceAndEditingGoesOn) {
    const std::string blocked = dir.File("blocked");
    test::WriteBytes(blocked, "a file where the folder would be");
    session = std::make_unique<DocumentSession>(dialogs, settings);
    session->KeepRecoveryRecords(blocked + "/recovery");
    session->Open(path);
    QSignalSpy said(session.get(), &DocumentSession::DiskStateChanged);

    Toggle(1, 4);
    EXPECT_EQ(session->DiskState(),
              "No recovery copy: cannot create " + blocked + "/recovery: Not a directory");
    Toggle(2, 5);
    session->Undo();
    session->Redo();
    EXPECT_EQ(said.count(), 1);
    EXPECT_EQ(session->History().Steps().count(), 2);
}

// A reload from disk is a new beginning for the record: its history starts there.
TEST_F(RecoveryKeeperTest, AReloadStartsTheRecordAnew) {
    Toggle(1, 4);
    WriteVisibilityFile(MakeRingDocument(6, 2, "1.2"), path);
    const std::string reloaded = test::ReadBytes(path);
    dialogs.AnswerMsgBox(Yes);  // "Changed on disk": reload
    session->CheckDisk();
    EXPECT_TRUE(Records().empty());
    Toggle(2, 4);
    const std::string shown = DocumentBytes();
    Restart();

    dialogs.AnswerMsgBox(Yes);
    session->Open(path);
    EXPECT_EQ(DocumentBytes(), shown);
    EXPECT_TRUE(session->Undo());
    EXPECT_FALSE(session->Undo());
    EXPECT_EQ(DocumentBytes(), reloaded);
}

}  // namespace
}  // namespace lumark
