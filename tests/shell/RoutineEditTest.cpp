#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "../editing/EditingWindow.h"
#include "CommandMenu.h"
#include "EditHistory.h"
#include "OverviewWindow.h"

namespace lumark {
namespace {

class RoutineEdit : public EditingWindowTest {
  protected:
    void Key(QWidget* focus, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        focus->setFocus();
        QTest::keyClick(focus, key, modifiers);
        QCoreApplication::processEvents();
    }
    QPoint HeaderAt(int section) {
        return {View().horizontalHeader()->sectionViewportPosition(section) + 5, 5};
    }
    // Whether the command menu is open; closes it, and it deletes itself.
    bool MenuShown() {
        QWidget* menu = QApplication::activePopupWidget();
        return menu != nullptr && menu->objectName() == QStringLiteral("CommandMenu") &&
               menu->close();
    }
    QString CountPanel() {
        Settle();
        return window->StatusPanelByKey(QStringLiteral("Selected"))->text();
    }
    int Steps() { return window->History().Count(); }
};

TEST_F(RoutineEdit, HeaderRangesByShiftClickAndDragFromTheAnchor) {
    Load(12);
    ClickHeader(3);
    ClickHeader(6, Qt::ShiftModifier);
    ClickHeader(1, Qt::ShiftModifier);  // the anchor stays at 3
    EXPECT_EQ(Selected(), (std::set<int>{1, 2, 3}));
    CtrlClickHeader(9);  // a Ctrl-click moves the anchor too
    ClickHeader(11, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::set<int>{1, 2, 3, 9, 10, 11}));

    QWidget* header = View().horizontalHeader()->viewport();
    QTest::mousePress(header, Qt::LeftButton, {}, HeaderAt(7));
    QTest::mouseMove(header, HeaderAt(5));
    QTest::mouseRelease(header, Qt::LeftButton, {}, HeaderAt(4));
    EXPECT_EQ(Selected(), (std::set<int>{4, 5, 6, 7}));
    ClickHeader(9, Qt::ShiftModifier);  // from where the drag began
    EXPECT_EQ(Selected(), (std::set<int>{7, 8, 9}));
    EXPECT_EQ(CountPanel(), QStringLiteral("3 selected"));
    ClickCell(2, 6);  // ranges count as header clicks: a cell click clears them
    EXPECT_EQ(Selected(), std::set<int>{});
}

// Each command's key, with the focus in the grid, on a button and on the check box.
TEST_F(RoutineEdit, TheKeysWorkWhereverTheFocusIs) {
    for (QWidget* focus :
         {static_cast<QWidget*>(&View()), static_cast<QWidget*>(window->cmdIncrease),
          static_cast<QWidget*>(window->chEdge)}) {
        const std::string where = focus->objectName().toStdString();
        Load(6);
        Sees(1, {1, 4});  // 0 sees 3, not back
        window->History().Clear();
        dialogs.AnswerInputBox("5-0").AnswerInputBox("2");
        Key(focus, Qt::Key_B, Qt::ControlModifier);
        EXPECT_EQ(Selected(), (std::set<int>{6, 1})) << where;  // across the seam
        Key(focus, Qt::Key_D, Qt::ControlModifier);
        EXPECT_EQ(SeenBy(1), (std::set<int>{5, 6, 1, 2, 3})) << where;
        Key(focus, Qt::Key_Escape);
        EXPECT_EQ(Selected(), std::set<int>{}) << where;
        Key(focus, Qt::Key_M, Qt::ControlModifier);  // Cross: 1, 2 and 4 now see 0 too
        EXPECT_TRUE(Document().IsVisible(5, 1)) << where;
        Key(focus, Qt::Key_Z, Qt::ControlModifier);
        // Remove one-way: of 4, 5, 1 and 2 that 0 sees only 5 sees it back, and of 3, 4, 0
        // and 1 that 5 sees only 0 does: six entries go.
        Key(focus, Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(SeenBy(1), (std::set<int>{1, 6})) << where;
        EXPECT_EQ(CountPanel(), QStringLiteral("Removed 6")) << where;
        EXPECT_EQ(Steps(), 2) << where;  // Set distance and Remove one-way
        Key(focus, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(CountPanel(), QString()) << where;  // the note lasts until the next step
        Key(focus, Qt::Key_Menu);
        EXPECT_TRUE(MenuShown()) << where;
        Key(focus, Qt::Key_F10, Qt::ShiftModifier);
        EXPECT_TRUE(MenuShown()) << where;
    }
}

TEST_F(RoutineEdit, GridKeysPlusMinusAndShiftArrowsOnTheDiagonal) {
    Load(8);
    ClickHeader(3);
    Key(&View(), Qt::Key_Plus, Qt::ShiftModifier);  // on the main keyboard
    Key(&View(), Qt::Key_Plus, Qt::KeypadModifier);
    Key(&View(), Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(SeenBy(3), (std::set<int>{2, 3, 4}));

    View().setCurrentIndex(Grid().index(1, 2));  // block 2's diagonal
    Key(&View(), Qt::Key_Right, Qt::ShiftModifier);
    Key(&View(), Qt::Key_Right, Qt::ShiftModifier);
    Key(&View(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::set<int>{2, 3}));
    EXPECT_EQ(View().currentIndex(), Grid().index(2, 3));
}

// Fault caught: a refused reply closed its box, and the user typed it all again.
TEST_F(RoutineEdit, RefusedRepliesAskAgainHoldingWhatWasTyped) {
    Load(8);
    ClickHeader(3);
    // Refused, then cancelled in the box that opened again: nothing changes.
    dialogs.AnswerInputBox("3, x-4").AnswerMsgBox(UserDialogs::vbOK).AnswerInputBox("");
    Key(&View(), Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(dialogs.calls.at(1).Text.substr(0, 5), "\"x-4\"");  // the parser's refusal
    EXPECT_EQ(dialogs.calls.at(2).DefaultReply, "3, x-4");
    dialogs.AnswerInputBox("5").AnswerMsgBox(UserDialogs::vbOK).AnswerInputBox("");
    Key(&View(), Qt::Key_D, Qt::ControlModifier);  // more than half of 8 blocks
    EXPECT_EQ(dialogs.calls.at(4).Text,
              "\"5\" is not a distance from 0 to 4.\nNothing has changed.");
    EXPECT_EQ(dialogs.calls.at(5).DefaultReply, "5");
    EXPECT_EQ(Selected(), std::set<int>{3});
    EXPECT_EQ(Steps(), 0);
}

TEST_F(RoutineEdit, RightClicksOpenTheMenuWhoseEntriesRunTheCommands) {
    QStringList on;  // with no file, only the entries that stand for buttons
    const std::unique_ptr<QMenu> empty(MakeCommandMenu(*window));
    for (const QAction* action : empty->actions()) {
        if (action->isEnabled() && !action->isSeparator()) {
            on << action->text().section(QLatin1Char('\t'), 0, 0);
        }
    }
    EXPECT_EQ(on.join(QLatin1Char(',')), QStringLiteral("Select none,Select All,Increase (+),"
                                                        "Decrease (-),Set Minimum,Cross Fw && Bw"));
    Load(6);
    for (QWidget* target :
         {View().viewport(), View().horizontalHeader()->viewport(),
          View().verticalHeader()->viewport(), static_cast<QWidget*>(window->Savecmd)}) {
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                                target->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(target, &click);
        EXPECT_EQ(MenuShown(), target != window->Savecmd) << target->objectName().toStdString();
    }
    QStringList entries;
    const std::unique_ptr<QMenu> menu(MakeCommandMenu(*window));
    for (const QAction* action : menu->actions()) {
        entries << (action->isEnabled() ? QString() : QStringLiteral("-")) +
                       action->text().replace(QLatin1Char('\t'), QLatin1Char('|'));
    }
    EXPECT_EQ(
        entries.join(QLatin1Char(' ')),
        QString::fromUtf8("Select blocks\u2026|Ctrl+B Select none|Esc Select All|Ctrl+A  "
                          "Set distance\u2026|Ctrl+D Increase (+)|+ Decrease (-)|- Set "
                          "Minimum  Cross Fw && Bw|Ctrl+M Remove one-way|Ctrl+Shift+M  Go "
                          "to block\u2026|Ctrl+G Overview|F2  -Undo|Ctrl+Z -Redo|Ctrl+Shift+Z  "
                          "Save As\u2026|Ctrl+Shift+S"));
    const auto run = [&](int entry) {
        std::unique_ptr<QMenu>(MakeCommandMenu(*window))->actions().at(entry)->trigger();
        QCoreApplication::processEvents();
    };
    // Entries that ask, each by its own box (Set distance without a selection says so).
    dialogs.AnswerInputBox("").AnswerMsgBox(UserDialogs::vbOK).AnswerInputBox("");
    dialogs.AnswerInputBox("");
    for (const int entry : {0, 4, 7, 12}) {
        run(entry);
    }
    ASSERT_EQ(dialogs.calls.size(), 4u);
    EXPECT_EQ(dialogs.calls[0].Title + dialogs.calls[1].Title + dialogs.calls[2].Title +
                  dialogs.calls[3].Title,
              "Select blocksSet distanceSet View DistanceGo to Block");
    run(2);  // Select All
    EXPECT_EQ(Selected(), AllBlocks());
    run(1);  // Select none
    EXPECT_EQ(Selected(), std::set<int>{});
    // Block 1 sees 0 and 2, they see it back, it no longer sees them, their one-way links go.
    ClickHeader(2);
    const std::pair<int, const char*> edits[] = {{5, "Increase (+) on 1 block"},
                                                 {9, "Cross Fw & Bw"},
                                                 {6, "Decrease (-) on 1 block"},
                                                 {10, "Remove one-way"}};
    for (const auto& [entry, step] : edits) {
        run(entry);
        EXPECT_EQ(window->History().UndoText().toStdString(), step) << entry;
    }
    EXPECT_FALSE(Document().IsVisible(1, 2));
    run(15);  // Undo
    EXPECT_TRUE(Document().IsVisible(1, 2));
    run(16);  // Redo
    EXPECT_EQ(window->History().Index(), 4);
    run(13);  // Overview
    EXPECT_NE(window->Overview(), nullptr);
}

}  // namespace
}  // namespace lumark
