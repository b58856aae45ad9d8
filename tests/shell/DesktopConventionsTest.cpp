#include <QApplication>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

#include "GridInteraction.h"
#include "Ini.h"
#include "ListViewFunktionen.h"
#include "MatrixGridView.h"
#include "WindowFixture.h"

namespace lumark {
namespace {

// The window shown and active, so that keys reach it as they reach a user's window.
class DesktopTest : public WindowTest {
  protected:
    void Show() {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    std::string Open(const std::string& name, int blocks) {
        const std::string path = MakeVisibilityFile(name, blocks);
        window->OpenVisibilityFile(path);
        QCoreApplication::processEvents();
        return path;
    }

    void Keys(QKeyCombination keys) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QTest::keyClick(target, keys.key(), keys.keyboardModifiers());
        QCoreApplication::processEvents();
    }

    QString Modified() const { return window->StatusPanel(5)->text(); }

    void ClickCell(int row, int column) {
        const QRect cell = window->ListView->visualRect(window->Grid().index(row, column));
        QTest::mouseClick(window->ListView->viewport(), Qt::LeftButton, {}, cell.center());
    }

    void TearDown() override {
        TreatAsSaved(*window);
        WindowTest::TearDown();
    }
};

TEST_F(DesktopTest, TabLeavesTheLoadedGridBothWays) {
    Show();
    Open("visibility.txt", 3);
    ASSERT_EQ(QApplication::focusWidget(), window->ListView);
    Keys(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window->cmdIncrease);
    window->ListView->setFocus();
    Keys(Qt::SHIFT | Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), window->Loadcmd);
    // Arrows still move inside the grid.
    window->ListView->setFocus();
    const QModelIndex before = window->ListView->currentIndex();
    Keys(Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), window->ListView);
    EXPECT_NE(window->ListView->currentIndex(), before);
}

TEST_F(DesktopTest, ShortcutsRunTheirCommandsWhereverTheFocusIs) {
    Show();
    const std::string first = Open("visibility.txt", 3);
    const std::string second = MakeVisibilityFile("second.txt", 5);
    window->chEdge->setFocus();

    dialogs.ChooseFile(second);
    Keys(Qt::CTRL | Qt::Key_O);
    EXPECT_EQ(window->Session().FilePath(), second);
    EXPECT_EQ(window->Document().BlockCount, 5);

    dialogs.AnswerMsgBox(UserDialogs::vbNo);
    Keys(Qt::CTRL | Qt::Key_S);
    ASSERT_FALSE(dialogs.calls.empty());
    EXPECT_EQ(dialogs.calls.back().Title, "Save Visibility");

    dialogs.ChooseSaveFile("");
    Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
    EXPECT_EQ(dialogs.calls.back().Kind, DialogKind::SaveFile);

    dialogs.AnswerMsgBox(UserDialogs::vbOK);
    Keys(Qt::Key_F1);
    const DialogCall& about = dialogs.calls.back();
    EXPECT_EQ(about.Title, "About Lumark");
    QTextDocument shown;
    shown.setHtml(QString::fromStdString(about.Text));
    for (const char* part : {"Lumark 0.9.35", "visibility", "Ctrl+O", "Ctrl+Shift+S", "Ctrl+Z",
                             "Ctrl+G", "F2", "Space", "Drop", "Cross Fw & Bw"}) {
        EXPECT_TRUE(shown.toPlainText().contains(QString::fromLatin1(part))) << part;
    }
    // The keys and what they do stand in two columns of a table, whatever the font.
    const auto* keys = qobject_cast<const QTextTable*>(shown.rootFrame()->childFrames().value(0));
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys->columns(), 2);
    EXPECT_EQ(keys->cellAt(0, 1).firstCursorPosition().block().text(), QStringLiteral("Load"));

    // Ctrl+A selects every block, also with the focus on a button.
    window->cmdDecrease->setFocus();
    Keys(Qt::CTRL | Qt::Key_A);
    for (int b = 1; b <= 5; ++b) {
        EXPECT_TRUE(SelectedBlock(window->Grid().Selection(), static_cast<std::int16_t>(b)));
    }
    (void)first;
}

TEST_F(DesktopTest, CtrlWAndCtrlQCloseThroughTheUnsavedChangesPrompt) {
    Show();
    Open("visibility.txt", 3);
    for (const QKeyCombination keys : {Qt::CTRL | Qt::Key_W, Qt::CTRL | Qt::Key_Q}) {
        window->Session().MarkChanged();
        dialogs.AnswerMsgBox(UserDialogs::vbCancel);
        Keys(keys);
        EXPECT_EQ(dialogs.calls.back().Title, "Visibility hasn't been saved yet !");
        EXPECT_TRUE(window->isVisible());
    }
    dialogs.AnswerMsgBox(UserDialogs::vbNo);
    Keys(Qt::CTRL | Qt::Key_Q);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(DesktopTest, ModifiedPanelFollowsEditsSavesAndOpens) {
    Show();
    const std::string path = Open("visibility.txt", 3);
    EXPECT_EQ(Modified(), QString());
    ClickCell(0, 2);
    EXPECT_EQ(Modified(), QStringLiteral("Modified"));
    dialogs.AnswerMsgBox(UserDialogs::vbYes).AnswerMsgBox(UserDialogs::vbOK);
    window->Savecmd->click();
    EXPECT_EQ(Modified(), QString());
    window->XCheckcmd->click();  // block 2 sees 1 now: Cross changes something
    EXPECT_EQ(Modified(), QStringLiteral("Modified"));
    dialogs.AnswerMsgBox(UserDialogs::vbNo).ChooseFile(path);
    window->Loadcmd->click();
    EXPECT_EQ(Modified(), QString());
}

TEST_F(DesktopTest, SaveAsWritesElsewhereAndTheWindowFollows) {
    Show();
    const std::string original = Open("visibility.txt", 3);
    const std::string before = ReadBytes(original);
    ClickCell(0, 2);  // block 1 now sees block 0
    const std::string copy = Path("copy.txt");
    dialogs.ChooseSaveFile(copy);
    window->SaveAs();
    EXPECT_EQ(dialogs.calls.back().ProposedPath, original);
    EXPECT_EQ(dialogs.calls.back().Title, "Save visibility file as");
    EXPECT_EQ(ReadBytes(original), before);
    EXPECT_NE(ReadBytes(copy).find("Block: 1\r\n1\r\n0\r\n"), std::string::npos) << ReadBytes(copy);
    EXPECT_EQ(window->Session().FilePath(), copy);
    EXPECT_EQ(window->windowTitle().toStdString(), "Lumark    " + copy);
    EXPECT_FALSE(window->Session().UnsavedChanges());
    EXPECT_EQ(Ini::ReadIniValue("Main", "LastDir", "", settings), Folder());
    // The saved state is the clean one for undo too.
    Keys(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(Modified(), QStringLiteral("Modified"));
    Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    EXPECT_EQ(Modified(), QString());
}

TEST_F(DesktopTest, SaveAsCancelledRefusedOrFailedChangesNothing) {
    Show();
    const std::string original = Open("visibility.txt", 3);
    ClickCell(0, 2);
    const std::string existing = MakeVisibilityFile("existing.txt", 1);
    const std::string existingBytes = ReadBytes(existing);
    const auto unchanged = [&] {
        EXPECT_EQ(window->Session().FilePath(), original);
        EXPECT_EQ(window->windowTitle().toStdString(), "Lumark    " + original);
        EXPECT_TRUE(window->Session().UnsavedChanges());
    };

    dialogs.ChooseSaveFile("");
    window->SaveAs();
    unchanged();

    dialogs.ChooseSaveFile(existing).AnswerMsgBox(UserDialogs::vbNo);
    window->SaveAs();
    EXPECT_EQ(dialogs.calls.back().Title, "Save As");
    EXPECT_NE(dialogs.calls.back().Text.find(existing), std::string::npos);
    EXPECT_EQ(ReadBytes(existing), existingBytes);
    unchanged();

    dialogs.ChooseSaveFile(Path("no such folder/v.txt")).AnswerMsgBox(UserDialogs::vbOK);
    window->SaveAs();
    EXPECT_EQ(dialogs.calls.back().Title, "Lumark");
    EXPECT_NE(dialogs.calls.back().Text.find("Nothing was saved"), std::string::npos);
    unchanged();
}

TEST_F(DesktopTest, FailedSaveSaysTheEditsCanBeSavedElsewhere) {
    Show();
    QDir(dir.path()).mkdir("moved");
    const std::string path = Path("moved/visibility.txt");
    MakeVisibilityFile("moved/visibility.txt", 3);
    window->OpenVisibilityFile(path);
    ClickCell(0, 2);
    MakeWritingFail(path);

    dialogs.AnswerMsgBox(UserDialogs::vbYes).AnswerMsgBox(UserDialogs::vbOK);
    window->Savecmd->click();
    EXPECT_NE(dialogs.calls.back().Text.find("Save As (Ctrl+Shift+S)"), std::string::npos);
    EXPECT_TRUE(window->Session().UnsavedChanges());
    EXPECT_EQ(Modified(), QStringLiteral("Modified"));

    // Save As then starts in the last folder used, since the file's own has gone (on Windows
    // the folder stays, so there it starts in that folder).
    Ini::WriteIniValue("Main", "LastDir", Folder(), settings);
    dialogs.ChooseSaveFile("");
    window->SaveAs();
    EXPECT_EQ(dialogs.calls.back().ProposedPath,
              LUMARK_POSIX_TESTS ? Path("visibility.txt") : path);

    // A path with no folder at all (as a bare name) is proposed in the last folder too.
    window->Session().Adopt(window->Document(), "visibility.txt");
    dialogs.ChooseSaveFile("");
    window->SaveAs();
    EXPECT_EQ(dialogs.calls.back().ProposedPath, Path("visibility.txt"));
    window->Session().Adopt(window->Document(), path);
    window->Session().MarkChanged();

    // Closing: Yes fails the same way and keeps the window open.
    dialogs.AnswerMsgBox(UserDialogs::vbYes).AnswerMsgBox(UserDialogs::vbOK);
    EXPECT_FALSE(window->close());
    EXPECT_NE(dialogs.calls.back().Text.find("Save As (Ctrl+Shift+S)"), std::string::npos);
}

TEST_F(DesktopTest, CtrlAtAHeaderClickIsTheKeyboardsNotTheLastGridKey) {
    Show();
    Open("visibility.txt", 4);
    QHeaderView* header = window->ListView->horizontalHeader();
    const auto clickHeader = [&](int section, Qt::KeyboardModifiers modifiers) {
        const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, modifiers, at);
    };
    clickHeader(1, {});
    window->cmdDecrease->setFocus();  // the grid never sees the Ctrl key
    clickHeader(3, Qt::ControlModifier);
    const auto selected = [&](int b) {
        return SelectedBlock(window->Grid().Selection(), static_cast<std::int16_t>(b));
    };
    EXPECT_TRUE(selected(1));
    EXPECT_TRUE(selected(3));
    // And without Ctrl, even after a Ctrl key went down in the grid, a click replaces.
    window->Interaction().CtrlKeyDown = true;
    clickHeader(2, {});
    EXPECT_FALSE(selected(1));
    EXPECT_TRUE(selected(2));
    EXPECT_FALSE(selected(3));
}

TEST_F(DesktopTest, DroppingOneLocalFileOpensItAsLoadWould) {
    Show();
    Open("visibility.txt", 3);
    window->Session().MarkChanged();
    const std::string other = MakeVisibilityFile("other.txt", 6);

    const auto drag = [&](QMimeData& data) {
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.get(), &enter);
        return enter.isAccepted();
    };
    QMimeData text;
    text.setText(QStringLiteral("hello"));
    EXPECT_FALSE(drag(text));
    QMimeData two;
    two.setUrls({QUrl::fromLocalFile(QString::fromStdString(other)),
                 QUrl::fromLocalFile(QString::fromStdString(other))});
    EXPECT_FALSE(drag(two));
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("https://example.org/visibility.txt"))});
    EXPECT_FALSE(drag(remote));

    QMimeData one;
    one.setUrls({QUrl::fromLocalFile(QString::fromStdString(other))});
    ASSERT_TRUE(drag(one));
    dialogs.AnswerMsgBox(UserDialogs::vbNo);  // the unsaved-changes prompt comes first
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &one, Qt::LeftButton, {});
    QCoreApplication::sendEvent(window.get(), &drop);
    EXPECT_EQ(dialogs.calls.back().Text, "Save Visibility now ?");
    EXPECT_EQ(window->Session().FilePath(), other);
    EXPECT_EQ(window->Document().BlockCount, 6);
    EXPECT_EQ(Ini::ReadIniValue("Main", "LastDir", "", settings), Folder());

    // A file that cannot be read is reported and changes nothing.
    const std::string broken = Path("broken.txt");
    WriteBytes(broken, "Version: 1.2\r\nBlocks: 2\r\n");
    dialogs.calls.clear();
    dialogs.AnswerMsgBox(UserDialogs::vbOK);
    window->OpenDroppedFile(broken);
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls.back().Title, "Lumark");
    EXPECT_EQ(window->Session().FilePath(), other);
}

TEST_F(DesktopTest, FirstWindowFitsTheScreen) {
    const QSize room = window->screen()->availableGeometry().size();
    EXPECT_LE(window->height(), room.height());
    EXPECT_LE(window->width(), room.width());
    EXPECT_GE(window->height(), window->minimumHeight());
}

}  // namespace
}  // namespace lumark
