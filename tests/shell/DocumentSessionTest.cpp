#include "DocumentSession.h"

#include <gtest/gtest.h>

#include "../document/TestFiles.h"
#include "Ini.h"
#include "LumarkError.h"
#include "MatrixEdits.h"
#include "MatrixGridModel.h"
#include "RingDocument.h"
#include "ScriptedDialogs.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

// The session on its own: no window, scripted answers, a settings file of its own.
class DocumentSessionTest : public ::testing::Test {
  protected:
    DocumentSessionTest() {
        WriteVisibilityFile(MakeRingDocument(6, 1, "1.2"), path);
        session.Open(path);
    }

    // An edit as a handler records it.
    void Toggle(int column, int row) {
        session.History().Record(QStringLiteral("toggle"), [&] {
            std::int16_t c = static_cast<std::int16_t>(column);
            std::int16_t r = static_cast<std::int16_t>(row);
            ToggleVisibilityCell(session.Document(), c, r);
        });
    }

    test::TempDir dir;
    const std::string path = dir.File("visibility.txt");
    const std::string settings = dir.File("Lumark.ini");
    ScriptedDialogs dialogs;
    DocumentSession session{dialogs, settings};
};

// Unsaved changes are what the history says about the file, plus the clicks that count as a
// change on their own; a step back or forward drops the latter, a save both.
TEST_F(DocumentSessionTest, UnsavedChangesFollowTheHistoryAndTheMarkedClicks) {
    EXPECT_FALSE(session.UnsavedChanges());
    EXPECT_EQ(session.FilePath(), path);
    EXPECT_EQ(Ini::ReadIniValue("Main", "LastDir", "", settings), dir.path());

    session.MarkChanged();
    EXPECT_TRUE(session.UnsavedChanges());
    EXPECT_FALSE(session.Undo());  // nothing to undo: the mark stays
    EXPECT_TRUE(session.UnsavedChanges());

    Toggle(1, 4);
    EXPECT_TRUE(session.Undo());
    EXPECT_FALSE(session.UnsavedChanges());  // back at the file's state
    EXPECT_TRUE(session.Redo());
    EXPECT_TRUE(session.UnsavedChanges());

    // A recorded action that changed nothing adds no step and leaves the flag as it was.
    session.Undo();
    session.History().Record(QStringLiteral("Cross Fw & Bw"),
                             [&] { EXPECT_EQ(MakeVisibilityMutual(session.Document()), 0); });
    EXPECT_FALSE(session.UnsavedChanges());

    session.Redo();
    dialogs.AnswerMsgBox(UserDialogs::vbYes).AnswerMsgBox(UserDialogs::vbOK);
    session.Save();
    EXPECT_FALSE(session.UnsavedChanges());
    EXPECT_TRUE(session.Undo());
    EXPECT_TRUE(session.UnsavedChanges());  // the file now holds the toggled state
}

// The relation changes only through the document, so an edit's recorder sees every change.
TEST_F(DocumentSessionTest, EveryElementChangeReachesTheRecorder) {
    MatrixChangeRecorder recorder(session.Document());
    session.Document().SetElement(2, 5, True16);
    session.Document().SetElement(2, 5, True16);  // no change
    session.Document().ClearRow(3);
    ASSERT_EQ(recorder.Changes().size(), 4u);  // (2,5) and the three blocks row 3 saw
    EXPECT_EQ(recorder.Changes()[0].Column, 2);
    EXPECT_EQ(recorder.Changes()[0].Row, 5);
    const VisibilityDocument copy = session.Document();
    EXPECT_EQ(copy.Recorder(), nullptr);  // a copy is a document of its own
}

TEST_F(DocumentSessionTest, AFailedOpenChangesNothing) {
    Toggle(1, 4);
    const VisibilityMatrix before = session.Document().Matrix;
    EXPECT_THROW(session.Open(dir.File("missing.txt")), LumarkError);
    EXPECT_EQ(session.FilePath(), path);
    EXPECT_TRUE(session.Document().Matrix == before);
    EXPECT_TRUE(session.UnsavedChanges());
    EXPECT_EQ(session.History().Count(), 1);
}

TEST_F(DocumentSessionTest, TheCloseDecision) {
    EXPECT_TRUE(session.MayClose());  // nothing to save: nothing asked
    dialogs.ExpectNoDialog();
    Toggle(1, 4);
    const std::string before = test::ReadBytes(path);
    dialogs.AnswerMsgBox(UserDialogs::vbCancel).AnswerMsgBox(UserDialogs::vbNo);
    EXPECT_FALSE(session.MayClose());
    EXPECT_TRUE(session.MayClose());
    EXPECT_EQ(test::ReadBytes(path), before);
    dialogs.AnswerMsgBox(UserDialogs::vbYes);
    EXPECT_TRUE(session.MayClose());
    EXPECT_NE(test::ReadBytes(path), before);
    EXPECT_FALSE(session.UnsavedChanges());
}

}  // namespace
}  // namespace lumark
