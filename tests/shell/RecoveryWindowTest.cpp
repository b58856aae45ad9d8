#include <QLabel>
#include <QTest>
#include <memory>

#include <gtest/gtest.h>

#include "../document/TestFiles.h"
#include "DocumentSession.h"
#include "Ini.h"
#include "LumarkMain.h"
#include "MatrixEdits.h"
#include "MatrixGridModel.h"
#include "RingDocument.h"
#include "ScriptedDialogs.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

// The window's wiring: a start without a file offers what a killed Lumark left, and the
// recovered window is one that has just opened its file, with the edits and their keys.
TEST(RecoveryWindowTest, AStartWithoutAFileOffersTheRecordAndShowsItsEdits) {
    test::TempDir dir;
    const std::string path = dir.File("visibility.txt");
    const std::string settings = dir.File("Lumark.ini");
    const std::string folder = dir.File("recovery");
    WriteVisibilityFile(MakeRingDocument(6, 1, "1.2"), path);
    const std::string fileBytes = test::ReadBytes(path);
    ScriptedDialogs dialogs;
    std::string edited;
    {
        DocumentSession killed(dialogs, dir.File("other.ini"));
        killed.KeepRecoveryRecords(folder);
        killed.Open(path);
        killed.History().Record(QStringLiteral("toggle"), [&] {
            std::int16_t c = 2;
            std::int16_t r = 5;
            ToggleVisibilityCell(killed.Document(), c, r);
        });
        edited = FormatVisibilityFile(killed.Document());
    }

    dialogs.AnswerMsgBox(UserDialogs::vbYes);
    LumarkMain window(dialogs, settings, "", folder);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.FirstActivationDone());
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].Title, "Recover unsaved changes");
    EXPECT_EQ(window.windowTitle().toStdString(), "Lumark    " + path);
    EXPECT_EQ(Ini::ReadIniValue("Main", "LastDir", "", settings), dir.path());
    EXPECT_EQ(FormatVisibilityFile(window.Document()), edited);
    EXPECT_EQ(window.StatusPanel(5)->text(), QStringLiteral("Modified"));
    EXPECT_EQ(window.Grid().rowCount(), 6);

    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(FormatVisibilityFile(window.Document()), fileBytes);
    EXPECT_EQ(window.StatusPanel(5)->text(), QString());
    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(FormatVisibilityFile(window.Document()), edited);

    dialogs.AnswerMsgBox(UserDialogs::vbNo);  // closing: the edits are given up
    window.close();
    EXPECT_TRUE(window.Session().Recovery().RecordPath().empty());
}

}  // namespace
}  // namespace lumark
