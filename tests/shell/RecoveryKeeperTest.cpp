#include "RecoveryKeeper.h"

#include <QSignalSpy>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "../document/TestFiles.h"
#include "DocumentSession.h"
#include "MatrixEdits.h"
#include "MatrixGridModel.h"
#include "RecoveryNames.h"
#include "RingDocument.h"
#include "ScriptedDialogs.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

// The file clock's epoch lies a whole number of seconds from the system clock's, so the two
// clocks read at once give it.
void SetModifiedTime(const std::string& path, std::time_t when) {
    using namespace std::chrono;
    using FileTime = std::filesystem::file_time_type;
    const auto offset = round<seconds>(FileTime::clock::now().time_since_epoch() -
                                       system_clock::now().time_since_epoch());
    std::filesystem::last_write_time(
        path, FileTime(duration_cast<FileTime::duration>(
                  system_clock::from_time_t(when).time_since_epoch() + offset)));
}

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
            ToggleVisibilityCell(s.Document(), c, r);
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

// Every way the edits end up on disk or given up takes the record with it.
TEST_F(RecoveryKeeperTest, TheRecordGoesWhenTheEditsAreSavedOrGivenUp) {
    const std::string other = dir.File("other.txt");
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"Save",
         [&] { dialogs.AnswerMsgBox(Yes).AnswerMsgBox(UserDialogs::vbOK), session->Save(); }},
        {"Save As", [&] { dialogs.ChooseSaveFile(dir.File("copy.txt")), session->SaveAs(); }},
        {"Yes on closing", [&] { dialogs.AnswerMsgBox(Yes), session->MayClose(); }},
        {"No on closing", [&] { dialogs.AnswerMsgBox(No), session->MayClose(); }},
        {"undo to the file", [&] { session->Undo(); }},
        {"another file opened", [&] { dialogs.AnswerMsgBox(No), session->OpenAfterAsking(other); }},
    };
    for (const auto& [way, run] : ways) {
        WriteVisibilityFile(MakeRingDocument(5, 1, "1.2"), other);
        session->Open(path);
        Toggle(1, 4);
        ASSERT_EQ(Records().size(), 1u) << way;
        run();
        EXPECT_TRUE(Records().empty()) << way;
    }
}

// Nothing to recover, nothing kept; edits still in the window keep their record.
TEST_F(RecoveryKeeperTest, ARecordExistsWhileTheWindowDiffersFromTheFile) {
    session->MarkChanged();  // a click that changed nothing
    EXPECT_TRUE(Records().empty());
    Toggle(1, 4);
    session->Undo();
    session->Redo();
    dialogs.AnswerMsgBox(No).ChooseFile("");  // Load, cancelled in its dialog
    session->Load();
    dialogs.AnswerMsgBox(Cancel);  // on closing
    EXPECT_FALSE(session->MayClose());
    EXPECT_EQ(Records().size(), 1u);
    dialogs.AnswerMsgBox(Yes).AnswerMsgBox(UserDialogs::vbOK);
    session->Save();
    session->Undo();  // below the saved state: differs from the file again
    EXPECT_EQ(Records().size(), 1u);
}

// Yes: the state as the killed window had it, the step it had undone still to redo, and a
// record that goes on, so that a second kill keeps that step too.
TEST_F(RecoveryKeeperTest, YesPutsBackTheStateAndEveryStep) {
    Toggle(1, 4);
    Toggle(2, 5);
    Toggle(3, 6);
    session->Undo();
    const std::string shown = DocumentBytes();
    Restart();
    dialogs.AnswerMsgBox(Yes);
    session->Open(path);
    EXPECT_EQ(DocumentBytes(), shown);
    EXPECT_TRUE(session->UnsavedChanges());
    EXPECT_TRUE(session->Redo());
    EXPECT_FALSE(session->Redo());

    const std::string third = DocumentBytes();
    Restart();
    dialogs.AnswerMsgBox(Yes);
    session->Open(path);
    EXPECT_EQ(DocumentBytes(), third);
    EXPECT_TRUE(session->Undo() && session->Undo() && session->Undo());
    EXPECT_FALSE(session->Undo());
    EXPECT_EQ(DocumentBytes(), fileBytes);
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
            SetModifiedTime(record, std::time(nullptr) - 60);
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

// A kill between the undo back to the file's state and the record's removal leaves a record
// that stands at that state: recovered, nothing is unsaved.
TEST_F(RecoveryKeeperTest, ARecordBackAtTheFilesStateRecoversUnmodified) {
    Toggle(1, 4);
    const std::string left = folder + "/lumark-1-1-00000000.recovery";
    std::filesystem::create_hard_link(folder + "/" + Records().at(0), left);
    session->Undo();  // the undo is written, then the record removed: the link keeps it
    Restart();
    dialogs.AnswerMsgBox(Yes);
    session->Open(path);
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(DocumentBytes(), fileBytes);
    EXPECT_FALSE(session->UnsavedChanges());
    EXPECT_TRUE(session->Redo());
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

// The question, and its answers: Cancel opens the file as usual and keeps the record (beside a
// new one for new edits), No removes it; Yes, when the file changed since, warns of Save's
// question.
TEST_F(RecoveryKeeperTest, TheQuestionSaysWhatItOffersAndEachAnswerDoesIt) {
    Toggle(1, 4);
    Toggle(2, 5);
    Restart();
    const std::string kept = Records().at(0);
    const std::time_t when = 1700000000;
    SetModifiedTime(folder + "/" + kept, when);
    char local[32];
    std::strftime(local, sizeof local, "%Y-%m-%d %H:%M:%S", std::localtime(&when));

    dialogs.AnswerMsgBox(Cancel);
    session->Open(path);
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].Text, "Lumark stopped before these changes were saved:\n\n" + path +
                                         "\n\nLast kept: " + local +
                                         ", 2 steps to undo and redo.\n\nRecover them?");
    EXPECT_EQ(dialogs.calls[0].Style, UserDialogs::vbYesNoCancel + UserDialogs::vbExclamation);
    EXPECT_EQ(DocumentBytes(), fileBytes);
    EXPECT_FALSE(session->UnsavedChanges());
    Toggle(3, 6);
    EXPECT_EQ(Records().size(), 2u);
    session->Undo();
    EXPECT_EQ(Records(), std::vector<std::string>{kept});

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
    EXPECT_EQ(Records().size(), 1u);

    Restart();
    dialogs.AnswerMsgBox(No);
    session->Open(path);
    EXPECT_TRUE(Records().empty());
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
    // Each system names the fault its own way.
    const std::string reason = LUMARK_POSIX_TESTS ? "Not a directory" : "No such file or directory";
    EXPECT_EQ(session->DiskState(),
              "No recovery copy: cannot create " + blocked + "/recovery: " + reason);
    Toggle(2, 5);
    session->Undo();
    session->Redo();
    EXPECT_EQ(said.count(), 1);
    EXPECT_EQ(session->History().Count(), 2);
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
