#include <QAccessible>
#include <QCheckBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <map>
#include <set>

#include "AccessibilityRecorder.h"
#include "ListViewFunktionen.h"
#include "MatrixGridView.h"
#include "WindowFixture.h"

namespace lumark {
namespace {

// The shown window with a file loaded, driven through key events on the grid and read through
// its accessibility interfaces.
class AccessibleWindow : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QCoreApplication::processEvents();
    }

    void TearDown() override {
        window->Document().UnsavedChanges = false;  // nothing may ask to save on the way out
        WindowTest::TearDown();
    }

    // A new-layout file: block b (0-based) sees itself and `seen[b]`.
    void Open(int blocks, const std::map<int, std::set<int>>& seen = {}) {
        std::string text = "Version: 1.2\r\nBlocks: " + std::to_string(blocks) + "\r\n";
        for (int b = 0; b < blocks; ++b) {
            text += "Block: " + std::to_string(b) + "\r\n" + std::to_string(b) + "\r\n";
            if (seen.count(b)) {
                for (const int s : seen.at(b)) {
                    text += std::to_string(s) + "\r\n";
                }
            }
            text += "-1\r\n\r\n";
        }
        WriteBytes(Path("visibility.txt"), text);
        window->OpenVisibilityFile(Path("visibility.txt"));
        QCoreApplication::processEvents();
    }

    MatrixGridView& View() { return *window->ListView; }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(&View(), key, modifiers);
        QCoreApplication::processEvents();
    }

    // 0-based block numbers seen by 0-based block `viewer`.
    std::set<int> SeenBy(int viewer) const {
        std::set<int> seen;
        for (int j = 1; j <= window->Document().BlockCount; ++j) {
            if (window->Document().IsVisible(viewer + 1, j)) {
                seen.insert(j - 1);
            }
        }
        return seen;
    }

    // 0-based numbers of the selected blocks.
    std::set<int> Selected() {
        std::set<int> selected;
        for (std::int16_t b = 1; b <= window->Document().BlockCount; ++b) {
            if (SelectedBlock(window->Grid(), b)) {
                selected.insert(b - 1);
            }
        }
        return selected;
    }

    std::string FocusedCellName() {
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&View());
        const QModelIndex current = View().currentIndex();
        return table->tableInterface()
            ->cellAt(current.row(), current.column())
            ->text(QAccessible::Name)
            .toStdString();
    }

    AccessibilityRecorder recorder;
};

TEST_F(AccessibleWindow, FocusStartsOnTheFirstBlocksDiagonal) {
    Open(3);
    EXPECT_EQ(View().currentIndex(), window->Grid().index(0, 1));
    EXPECT_EQ(FocusedCellName(), "block 0 sees itself");
    Key(Qt::Key_Left);
    EXPECT_EQ(FocusedCellName(), "block 0 sees itself");
    Key(Qt::Key_Down);
    Key(Qt::Key_Right);
    EXPECT_EQ(FocusedCellName(), "block 1 sees itself");
    EXPECT_EQ(View().currentIndex(), window->Grid().index(1, 2));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&View())->text(QAccessible::Name),
              QStringLiteral("Visibility grid"));
}

TEST_F(AccessibleWindow, SpaceActsAsAClickOnTheFocusedCell) {
    Open(4);
    recorder.Clear();
    Key(Qt::Key_Space);  // the diagonal: its text stays, what it says does not
    EXPECT_EQ(SeenBy(0), std::set<int>{});
    EXPECT_EQ(window->Grid().SubItemText(1, 1), QStringLiteral("(0)"));
    EXPECT_EQ(recorder.Renamed(QAccessible::Cell),
              std::vector<std::string>{"block 0 does not see itself"});

    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    recorder.Clear();
    Key(Qt::Key_Space);
    EXPECT_EQ(SeenBy(0), std::set<int>{2});
    EXPECT_EQ(SeenBy(2), std::set<int>{2});  // not mirrored
    EXPECT_EQ(window->Grid().SubItemText(3, 1), QStringLiteral("2"));
    EXPECT_EQ(recorder.Renamed(QAccessible::Cell), std::vector<std::string>{"block 0 sees 2"});
    EXPECT_TRUE(window->Document().UnsavedChanges);

    window->Document().UnsavedChanges = false;
    Key(Qt::Key_Space);
    EXPECT_EQ(SeenBy(0), std::set<int>{});
    EXPECT_TRUE(window->Document().UnsavedChanges);  // set by every click

    // Shift or Alt with Space is not a click.
    Key(Qt::Key_Space, Qt::ShiftModifier);
    Key(Qt::Key_Space, Qt::AltModifier);
    EXPECT_EQ(SeenBy(0), std::set<int>{});
}

TEST_F(AccessibleWindow, SpaceWithEdgeSettingSetsTheEdge) {
    // Block 0 sees every block of 12.
    Open(12, {{0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}}});
    QTest::mouseClick(window->chEdge, Qt::LeftButton);
    ASSERT_TRUE(window->chEdge->isChecked());
    View().setFocus();
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Space);
    // Edge at block 2: 0..2 seen, block 3 cleared up to a third of the ring (block 4) away.
    EXPECT_EQ(SeenBy(0), (std::set<int>{0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_TRUE(window->Document().UnsavedChanges);
}

TEST_F(AccessibleWindow, SpaceClearsAHeaderSelectionFirst) {
    Open(4);
    QHeaderView* header = View().horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(3) + 5, header->height() / 2));
    ASSERT_EQ(Selected(), std::set<int>{2});
    // The header click takes the focus to its column's first cell.
    ASSERT_EQ(FocusedCellName(), "block 2 does not see 0, selected");
    Key(Qt::Key_Space);
    EXPECT_EQ(Selected(), std::set<int>{});
    EXPECT_EQ(SeenBy(2), (std::set<int>{0, 2}));
    EXPECT_EQ(FocusedCellName(), "block 2 sees 0");
}

TEST_F(AccessibleWindow, CtrlSpaceSelectsAndCtrlShiftSpaceAddsTheFocusedColumn) {
    Open(5, {{1, {2}}});
    const VisibilityMatrix loaded = window->Document().Matrix;
    Key(Qt::Key_Right);
    recorder.Clear();
    Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(Selected(), std::set<int>{1});
    EXPECT_EQ(recorder.Renamed(QAccessible::ColumnHeader),
              std::vector<std::string>{"block 1, selected"});
    const std::vector<std::string> cells = recorder.Renamed(QAccessible::Cell);
    EXPECT_EQ(
        std::set<std::string>(cells.begin(), cells.end()),
        (std::set<std::string>{"block 1 does not see 0, selected", "block 1 sees itself, selected",
                               "block 1 sees 2, selected", "block 1 does not see 3, selected",
                               "block 1 does not see 4, selected"}));

    Key(Qt::Key_Right);
    Key(Qt::Key_Space, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::set<int>{1, 2}));
    Key(Qt::Key_Space, Qt::ControlModifier | Qt::ShiftModifier);  // adding never removes
    EXPECT_EQ(Selected(), (std::set<int>{1, 2}));
    Key(Qt::Key_Right);
    Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(Selected(), std::set<int>{3});
    EXPECT_EQ(FocusedCellName(), "block 3 does not see 0, selected");

    // Ctrl is up again: a plain header click replaces the selection.
    QHeaderView* header = View().horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(5) + 5, header->height() / 2));
    EXPECT_EQ(Selected(), std::set<int>{4});
    EXPECT_TRUE(window->Document().Matrix == loaded);
    EXPECT_FALSE(window->Document().UnsavedChanges);
}

TEST_F(AccessibleWindow, SpaceOnAnEmptyGridDoesNothing) {
    View().setFocus();
    Key(Qt::Key_Space);
    Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_FALSE(window->Document().UnsavedChanges);
    dialogs.ExpectNoDialog();
}

TEST_F(AccessibleWindow, ButtonsNameTheirKeysAndEmptyPanelsStayQuiet) {
    const auto description = [](QWidget* control) {
        return QAccessible::queryAccessibleInterface(control)
            ->text(QAccessible::Description)
            .toStdString();
    };
    EXPECT_NE(description(window->Loadcmd).find("Ctrl+O"), std::string::npos);
    EXPECT_NE(description(window->Savecmd).find("Ctrl+S"), std::string::npos);
    EXPECT_NE(description(window->cmdSelAll).find("Ctrl+A"), std::string::npos);
    for (QWidget* control :
         {static_cast<QWidget*>(window->cmdIncrease), static_cast<QWidget*>(window->cmdDecrease),
          static_cast<QWidget*>(window->cmdSetMinimum), static_cast<QWidget*>(window->XCheckcmd),
          static_cast<QWidget*>(window->chEdge)}) {
        EXPECT_FALSE(description(control).empty()) << control->objectName().toStdString();
    }
    EXPECT_EQ(window->Loadcmd->text(), QStringLiteral("Load"));  // captions stay

    const auto panel = [this](int position) {
        return QAccessible::queryAccessibleInterface(window->StatusPanel(position));
    };
    EXPECT_EQ(panel(1)->text(QAccessible::Name), QStringLiteral("Lumark 0.9.35"));
    EXPECT_FALSE(panel(1)->state().invisible);
    EXPECT_FALSE(panel(2)->state().invisible);  // "File Version : "
    EXPECT_TRUE(panel(3)->state().invisible);
    EXPECT_TRUE(panel(4)->state().invisible);
    EXPECT_TRUE(panel(5)->state().invisible);  // nothing modified yet

    Open(2);
    Key(Qt::Key_Space);
    EXPECT_EQ(panel(5)->text(QAccessible::Name), QStringLiteral("Modified"));
    EXPECT_FALSE(panel(5)->state().invisible);
}

}  // namespace
}  // namespace lumark
