#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QUndoStack>

#include "../editing/EditingWindow.h"
#include "CommandMenu.h"
#include "EditHistory.h"
#include "OverviewWindow.h"

namespace lumark {
namespace {

// The window shown and active, so that keys reach it as they reach a user's window.
class RoutineEdit : public EditingWindowTest {
  protected:
    void SetUp() override {
        EditingWindowTest::SetUp();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    void Key(QWidget* focus, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        focus->setFocus();
        QTest::keyClick(focus, key, modifiers);
        QCoreApplication::processEvents();
    }

    QPoint HeaderPoint(int section) {
        QHeaderView* header = View().horizontalHeader();
        return {header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                header->height() / 2};
    }
    QWidget* HeaderViewport() { return View().horizontalHeader()->viewport(); }

    void FocusCell(int row, int block) {
        View().setFocus();
        View().setCurrentIndex(Grid().index(row - 1, block));
    }

    QMenu* OpenMenu() {
        return window->findChild<QMenu*>(QStringLiteral("CommandMenu"), Qt::FindDirectChildrenOnly);
    }
    bool MenuShown() { return OpenMenu() != nullptr && OpenMenu()->isVisible(); }
    void CloseMenu() {
        if (QMenu* menu = OpenMenu()) {
            menu->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString CountPanel() { return window->StatusPanelByKey(QStringLiteral("Selected"))->text(); }
    int Steps() { return window->History().Steps().count(); }
};

TEST_F(RoutineEdit, ShiftClickSelectsFromTheAnchorAndCtrlShiftClickAdds) {
    Load(12);
    ClickHeader(3);
    ClickHeader(6, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::set<int>{3, 4, 5, 6}));
    ClickHeader(1, Qt::ShiftModifier);  // the anchor stays at 3; the range replaces
    EXPECT_EQ(Selected(), (std::set<int>{1, 2, 3}));
    CtrlClickHeader(9);  // a Ctrl-click moves the anchor too
    ClickHeader(11, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::set<int>{1, 2, 3, 9, 10, 11}));
    Settle();
    EXPECT_EQ(CountPanel(), QStringLiteral("6 selected"));
    dialogs.ExpectNoDialog();
}

TEST_F(RoutineEdit, RangesCountAsHeaderClicks) {
    Load(8);
    Click(window->cmdSelAll);  // before any header click nothing clears the selection
    ClickHeader(4, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), std::set<int>{4});  // no anchor yet: the block alone, replacing
    ClickCell(2, 6);
    EXPECT_EQ(Selected(), std::set<int>{});
}

TEST_F(RoutineEdit, ADragAlongTheHeaderSelectsTheHeadersBetween) {
    Load(12);
    QTest::mousePress(HeaderViewport(), Qt::LeftButton, {}, HeaderPoint(7));
    QTest::mouseMove(HeaderViewport(), HeaderPoint(5));
    QTest::mouseRelease(HeaderViewport(), Qt::LeftButton, {}, HeaderPoint(4));
    EXPECT_EQ(Selected(), (std::set<int>{4, 5, 6, 7}));
    QTest::mousePress(HeaderViewport(), Qt::LeftButton, Qt::ControlModifier, HeaderPoint(10));
    QTest::mouseRelease(HeaderViewport(), Qt::LeftButton, Qt::ControlModifier, HeaderPoint(11));
    EXPECT_EQ(Selected(), (std::set<int>{4, 5, 6, 7, 10, 11}));
    ClickHeader(8, Qt::ShiftModifier);  // from where the last drag began
    EXPECT_EQ(Selected(), (std::set<int>{8, 9, 10}));
}

TEST_F(RoutineEdit, SelectBlocksTakesAListAndRefusesWhatDoesNotRead) {
    Load(20);
    ClickHeader(2);
    dialogs.AnswerInputBox("18-1, 5").AnswerInputBox("3, x-4").AnswerMsgBox(UserDialogs::vbOK);
    dialogs.AnswerInputBox("");
    Key(&View(), Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(Selected(), (std::set<int>{19, 20, 1, 2, 6}));  // file numbers 18, 19, 0, 1, 5
    Key(&View(), Qt::Key_B, Qt::ControlModifier);
    Key(&View(), Qt::Key_B, Qt::ControlModifier);  // cancelled
    EXPECT_EQ(Selected(), (std::set<int>{19, 20, 1, 2, 6}));
    ASSERT_EQ(dialogs.calls.size(), 4u);
    EXPECT_EQ(dialogs.calls[0].Title, "Select blocks");
    EXPECT_EQ(dialogs.calls[0].Text,
              "Blocks to select (0 to 19), such as 100-140 or 3, 7, 10-12;\n290-5 runs across "
              "the seam:");
    dialogs.ExpectMsgBox(
        "\"x-4\" does not read as a block or a range of blocks, such as 7 or 100-140.\nThe "
        "selection has not changed.",
        "Select blocks", UserDialogs::vbOKOnly + UserDialogs::vbExclamation);
    Settle();
    EXPECT_EQ(CountPanel(), QStringLiteral("5 selected"));
    ClickHeader(3);  // a plain header click clears the list's selection first
    EXPECT_EQ(Selected(), std::set<int>{3});
}

// Each command's key, with the focus in the grid, on a button and on the check box.
TEST_F(RoutineEdit, TheKeysWorkWhereverTheFocusIs) {
    for (QWidget* focus :
         std::initializer_list<QWidget*>{&View(), window->cmdIncrease, window->chEdge}) {
        const std::string where = focus->objectName().toStdString();
        Load(6);
        Sees(1, {1, 4});  // 0 sees 3, not back
        const int steps = Steps();
        dialogs.AnswerInputBox("0-1").AnswerInputBox("2");
        Key(focus, Qt::Key_B, Qt::ControlModifier);
        EXPECT_EQ(Selected(), (std::set<int>{1, 2})) << where;
        Key(focus, Qt::Key_D, Qt::ControlModifier);
        EXPECT_EQ(SeenBy(1), (std::set<int>{5, 6, 1, 2, 3})) << where;
        Key(focus, Qt::Key_Escape);
        EXPECT_EQ(Selected(), std::set<int>{}) << where;
        Key(focus, Qt::Key_M, Qt::ControlModifier);  // Cross: 5 and 6 now see 0 too
        EXPECT_TRUE(Document().IsVisible(6, 1)) << where;
        Key(focus, Qt::Key_Z, Qt::ControlModifier);
        // Remove one-way: of 4, 5, 1 and 2 that 0 sees, only 1 sees it back.
        Key(focus, Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(SeenBy(1), (std::set<int>{1, 2})) << where;
        EXPECT_EQ(Steps(), steps + 2) << where;  // Set distance and Remove one-way
        for (const auto& [key, modifiers] :
             {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
            Key(focus, key, modifiers);
            EXPECT_TRUE(MenuShown()) << where << " " << key;
            CloseMenu();
        }
        EXPECT_EQ(QApplication::focusWidget(), focus) << where;
    }
}

TEST_F(RoutineEdit, PlusAndMinusInTheGridAreIncreaseAndDecrease) {
    Load(8);
    ClickHeader(3);
    FocusCell(1, 1);
    Key(&View(), Qt::Key_Plus, Qt::ShiftModifier);  // on the main keyboard
    EXPECT_EQ(SeenBy(3), (std::set<int>{2, 3, 4}));
    Key(&View(), Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(SeenBy(3), (std::set<int>{1, 2, 3, 4, 5}));
    Key(&View(), Qt::Key_Minus);
    EXPECT_EQ(SeenBy(3), (std::set<int>{2, 3, 4}));
    Key(&View(), Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(SeenBy(3), std::set<int>{3});
    Key(window->cmdDecrease, Qt::Key_Plus, Qt::ShiftModifier);  // not a grid key elsewhere
    EXPECT_EQ(SeenBy(3), std::set<int>{3});
    EXPECT_EQ(View().currentIndex(), Grid().index(0, 1));  // keys that were taken, not searched
}

TEST_F(RoutineEdit, ShiftArrowsOnADiagonalCellExtendTheSelection) {
    Load(8);
    FocusCell(2, 2);
    Key(&View(), Qt::Key_Right, Qt::ShiftModifier);
    Key(&View(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::set<int>{2, 3, 4}));
    EXPECT_EQ(View().currentIndex(), Grid().index(3, 4));  // on block 4's diagonal
    Key(&View(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::set<int>{2, 3}));
    Key(&View(), Qt::Key_Right);  // off the diagonal Shift+Right only moves the focus
    Key(&View(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::set<int>{2, 3}));
    EXPECT_EQ(View().currentIndex(), Grid().index(2, 5));
    FocusCell(6, 6);  // elsewhere on the diagonal a new range starts
    Key(&View(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::set<int>{5, 6}));
}

TEST_F(RoutineEdit, SetDistanceAsksOnceAndIsOneUndoStep) {
    Load(8);
    dialogs.AnswerMsgBox(UserDialogs::vbOK);
    Key(&View(), Qt::Key_D, Qt::ControlModifier);  // nothing selected: said, not asked
    dialogs.ExpectMsgBox(
        "No block is selected. Select blocks first: click or Shift+click their headers, or use "
        "Select blocks\u2026 (Ctrl+B).",
        "Set distance", UserDialogs::vbOKOnly + UserDialogs::vbExclamation);
    ClickHeader(3);
    dialogs.AnswerInputBox("5").AnswerInputBox("two").AnswerInputBox("").AnswerInputBox(" 2 ");
    for (int i = 0; i < 4; ++i) {
        Key(&View(), Qt::Key_D, Qt::ControlModifier);
        EXPECT_EQ(Steps(), i < 3 ? 0 : 1);  // 5 is more than half of 8 blocks
    }
    EXPECT_EQ(dialogs.calls.back().Title, "Set distance");
    EXPECT_EQ(dialogs.calls.back().Text,
              "Blocks that each selected block sees on each side, exactly\n(1 selected; a number "
              "from 0 to 4):");
    EXPECT_EQ(SeenBy(3), (std::set<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(window->History().Steps().undoText(), QStringLiteral("Set distance 2 on 1 block"));
    EXPECT_EQ(window->StatusPanel(5)->text(), QStringLiteral("Modified"));
    Key(&View(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(SeenBy(3), std::set<int>{3});
    EXPECT_FALSE(Document().UnsavedChanges);
}

TEST_F(RoutineEdit, RemoveOneWaySaysHowManyEntriesWentUntilTheNextStep) {
    Load(5);
    Sees(1, {1, 3});
    Sees(4, {4, 2});
    ClickHeader(2);
    Key(&View(), Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
    Settle();
    EXPECT_EQ(CountPanel(), QStringLiteral("Removed 2"));
    EXPECT_EQ(window->StatusPanelByKey(QStringLiteral("Selected"))->toolTip(),
              QStringLiteral("Remove one-way removed 2 entries seen only one way"));
    EXPECT_EQ(SeenBy(1), std::set<int>{1});
    EXPECT_EQ(SeenBy(4), std::set<int>{4});
    EXPECT_TRUE(Document().UnsavedChanges);
    Key(&View(), Qt::Key_Z, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(SeenBy(1), (std::set<int>{1, 3}));
    EXPECT_EQ(CountPanel(), QStringLiteral("1 selected"));
}

TEST_F(RoutineEdit, RightClicksOnTheGridAndItsHeadersOpenTheMenuOfEveryCommand) {
    Load(6);
    const QPoint cell = CellCentre(3, 3);
    QWidget* const targets[] = {View().viewport(), HeaderViewport(),
                                View().verticalHeader()->viewport()};
    for (QWidget* target : targets) {
        const QPoint at = target == View().viewport() ? cell : QPoint(5, 5);
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
        QApplication::sendEvent(target, &click);
        ASSERT_TRUE(MenuShown()) << target->objectName().toStdString();
        EXPECT_EQ(QApplication::activePopupWidget(), OpenMenu());
        CloseMenu();
    }
    // The Menu key where the platform turns it into a context menu event of the focused control.
    window->cmdSetMinimum->setFocus();
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(2, 2),
                              window->cmdSetMinimum->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(window->cmdSetMinimum, &menuKey);
    EXPECT_TRUE(MenuShown());
    // A right click on a button is not on the grid.
    CloseMenu();
    QContextMenuEvent onButton(QContextMenuEvent::Mouse, QPoint(2, 2),
                               window->Savecmd->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(window->Savecmd, &onButton);
    EXPECT_FALSE(MenuShown());

    std::unique_ptr<QMenu> menu(MakeCommandMenu(*window));
    QStringList entries;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            entries << action->text();
            EXPECT_FALSE(action->statusTip().isEmpty()) << action->text().toStdString();
        }
    }
    EXPECT_EQ(
        entries,
        QStringList({QString::fromUtf8("Select blocks\u2026\tCtrl+B"), "Select none\tEsc",
                     "Select All\tCtrl+A", QString::fromUtf8("Set distance\u2026\tCtrl+D"),
                     "Increase (+)\t+", "Decrease (-)\t-", "Set Minimum", "Cross Fw && Bw\tCtrl+M",
                     "Remove one-way\tCtrl+Shift+M", QString::fromUtf8("Go to block\u2026\tCtrl+G"),
                     "Overview\tF2", "Undo\tCtrl+Z", "Redo\tCtrl+Shift+Z"}));
}

TEST_F(RoutineEdit, TheMenusEntriesRunTheCommands) {
    Load(6);
    const auto run = [&](const char* entry) {
        std::unique_ptr<QMenu> menu(MakeCommandMenu(*window));
        for (QAction* action : menu->actions()) {
            const QString text = action->text().section(QLatin1Char('\t'), 0, 0);
            if (QString(text).replace(QStringLiteral("&&"), QStringLiteral("&")) ==
                QString::fromUtf8(entry)) {
                action->trigger();
                QCoreApplication::processEvents();
                return;
            }
        }
        ADD_FAILURE() << "no entry " << entry;
    };
    dialogs.AnswerInputBox("1-2").AnswerInputBox("1").AnswerInputBox("2").AnswerInputBox("");
    run("Select blocks\u2026");
    EXPECT_EQ(Selected(), (std::set<int>{2, 3}));
    run("Select none");
    EXPECT_EQ(Selected(), std::set<int>{});
    run("Select All");
    EXPECT_EQ(Selected(), AllBlocks());
    run("Set distance\u2026");  // 1
    EXPECT_EQ(SeenBy(1), (std::set<int>{6, 1, 2}));
    ClickHeader(2);
    run("Increase (+)");
    EXPECT_EQ(SeenBy(2), (std::set<int>{6, 1, 2, 3, 4}));
    run("Decrease (-)");
    EXPECT_EQ(SeenBy(2), (std::set<int>{1, 2, 3}));
    run("Set Minimum");  // 2
    EXPECT_EQ(SeenBy(2), (std::set<int>{6, 1, 2, 3, 4}));
    run("Remove one-way");  // 6 and 4 do not see 2 back
    EXPECT_EQ(SeenBy(2), (std::set<int>{1, 2, 3}));
    Sees(4, {4, 1});
    run("Cross Fw & Bw");
    EXPECT_TRUE(Document().IsVisible(1, 4));
    run("Undo");
    EXPECT_FALSE(Document().IsVisible(1, 4));
    run("Redo");
    EXPECT_TRUE(Document().IsVisible(1, 4));
    run("Go to block\u2026");  // cancelled
    EXPECT_EQ(dialogs.calls.back().Title, "Go to Block");
    run("Overview");
    ASSERT_NE(window->Overview(), nullptr);
    EXPECT_TRUE(window->Overview()->isVisible());
}

}  // namespace
}  // namespace lumark
