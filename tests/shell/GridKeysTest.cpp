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

// The shown window with a file loaded, driven by keys on the grid and read through its
// accessibility interfaces.
class AccessibleWindow : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override {
        TreatAsSaved(*window);
        WindowTest::TearDown();
    }

    // A new-layout file in which block b (0-based) sees itself and seen[b].
    void Open(int blocks, const std::map<int, std::set<int>>& seen = {}) {
        std::string text = "Version: 1.2\r\nBlocks: " + std::to_string(blocks) + "\r\n";
        for (int b = 0; b < blocks; ++b) {
            text += "Block: " + std::to_string(b) + "\r\n" + std::to_string(b) + "\r\n";
            for (const int s : seen.count(b) ? seen.at(b) : std::set<int>{}) {
                text += std::to_string(s) + "\r\n";
            }
            text += "-1\r\n\r\n";
        }
        WriteBytes(Path("visibility.txt"), text);
        window->OpenVisibilityFile(Path("visibility.txt"));
        recorder.Clear();
    }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(window->ListView, key, modifiers);
        QCoreApplication::processEvents();
    }
    void ClickHeader(int section) {
        QHeaderView* header = window->ListView->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(section) + 5, 5));
    }

    // 0-based blocks seen by 0-based block `viewer`, and the selected ones.
    std::set<int> SeenBy(int viewer) {
        std::set<int> seen;
        for (int j = 1; j <= window->Document().BlockCount; ++j) {
            if (window->Document().IsVisible(viewer + 1, j)) {
                seen.insert(j - 1);
            }
        }
        return seen;
    }
    std::set<int> Selected() {
        std::set<int> selected;
        for (std::int16_t b = 1; b <= window->Document().BlockCount; ++b) {
            if (SelectedBlock(window->Grid().Selection(), b)) {
                selected.insert(b - 1);
            }
        }
        return selected;
    }

    QAccessibleInterface* Grid() { return QAccessible::queryAccessibleInterface(window->ListView); }
    QAccessibleInterface* Cell(int row, int column) {
        return Grid()->tableInterface()->cellAt(row, column);
    }
    std::string Name(QAccessibleInterface* object) {
        return object->text(QAccessible::Name).toStdString();
    }
    std::string Focused() {
        const QModelIndex current = window->ListView->currentIndex();
        return Name(Cell(current.row(), current.column()));
    }

    AccessibilityRecorder recorder;
};

TEST_F(AccessibleWindow, TheTreeSaysWhoSeesWhom) {
    Open(4, {{1, {3}}});
    ClickHeader(3);
    EXPECT_EQ(Name(Grid()), "Visibility grid");
    const std::string cells[4][4] = {{"block 0 sees itself", "block 1 does not see 0",
                                      "block 2 does not see 0, selected", "block 3 does not see 0"},
                                     {"block 0 does not see 1", "block 1 sees itself",
                                      "block 2 does not see 1, selected", "block 3 does not see 1"},
                                     {"block 0 does not see 2", "block 1 does not see 2",
                                      "block 2 sees itself, selected", "block 3 does not see 2"},
                                     {"block 0 does not see 3", "block 1 sees 3",
                                      "block 2 does not see 3, selected", "block 3 sees itself"}};
    for (int row = 0; row < 4; ++row) {
        EXPECT_FALSE(Cell(row, 0)->state().focusable) << row;  // the label column
        for (int block = 0; block < 4; ++block) {
            EXPECT_EQ(Name(Cell(row, block + 1)), cells[row][block]);
            EXPECT_TRUE(Cell(row, block + 1)->state().focusable);
        }
    }
    EXPECT_EQ(window->Grid().SubItemText(4, 2), QStringLiteral("3"));  // display texts stay
    EXPECT_EQ(window->Grid().SubItemText(3, 3), QStringLiteral("(2)"));
    std::vector<std::string> headers;
    for (int i = 0; i < Grid()->childCount(); ++i) {
        if (Grid()->child(i)->role() == QAccessible::ColumnHeader) {
            headers.push_back(Name(Grid()->child(i)));
        }
    }
    EXPECT_EQ(headers,
              (std::vector<std::string>{"", "block 0", "block 1", "block 2, selected", "block 3"}));
}

TEST_F(AccessibleWindow, FocusStartsOnTheFirstDiagonalAndNeverEntersTheLabelColumn) {
    Open(3);
    EXPECT_EQ(Focused(), "block 0 sees itself");
    Key(Qt::Key_Left);
    Key(Qt::Key_Down);
    Key(Qt::Key_Home);
    EXPECT_EQ(Focused(), "block 0 does not see 1");
}

TEST_F(AccessibleWindow, SpaceActsAsAClickOnTheFocusedCell) {
    Open(4);
    Key(Qt::Key_Space);  // the diagonal: its text stays, what it says does not
    EXPECT_EQ(SeenBy(0), std::set<int>{});
    EXPECT_EQ(recorder.Renamed(QAccessible::Cell),
              std::vector<std::string>{"block 0 does not see itself"});
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Space);
    EXPECT_EQ(SeenBy(0), std::set<int>{2});
    EXPECT_EQ(SeenBy(2), std::set<int>{2});  // not mirrored
    EXPECT_EQ(window->Grid().SubItemText(3, 1), QStringLiteral("2"));
    EXPECT_EQ(recorder.Renamed(QAccessible::Cell).back(), "block 0 sees 2");
    EXPECT_TRUE(window->Session().UnsavedChanges());

    // After a header click (which leaves the focused cell where it was), Space clears first.
    ClickHeader(2);
    EXPECT_EQ(Focused(), "block 0 sees 2");
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    Key(Qt::Key_Right);
    ASSERT_EQ(Focused(), "block 1 does not see 0, selected");
    Key(Qt::Key_Space);
    EXPECT_EQ(Selected(), std::set<int>{});
    EXPECT_EQ(SeenBy(1), (std::set<int>{0, 1}));
    Key(Qt::Key_Space, Qt::ShiftModifier);  // not a click
    Key(Qt::Key_Space, Qt::AltModifier);
    EXPECT_EQ(SeenBy(1), (std::set<int>{0, 1}));
}

TEST_F(AccessibleWindow, SpaceWithEdgeSettingSetsTheEdge) {
    Open(12, {{0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}}});
    QTest::mouseClick(window->chEdge, Qt::LeftButton);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Space);
    // Edge at block 2: block 3 is cleared, up to a third of the ring (block 4) away.
    EXPECT_EQ(SeenBy(0), (std::set<int>{0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11}));
}

TEST_F(AccessibleWindow, OnlyRealChangesAreAnnouncedAndOnlyCellsOnScreen) {
    Open(300);
    Key(Qt::Key_A, Qt::ControlModifier);
    const std::vector<std::string> headers = recorder.Renamed(QAccessible::ColumnHeader);
    ASSERT_EQ(headers.size(), 300u);
    EXPECT_EQ(headers.back(), "block 299, selected");
    EXPECT_GT(recorder.Renamed(QAccessible::Cell).size(), 0u);
    EXPECT_LT(recorder.Renamed(QAccessible::Cell).size(), 1000u);  // not 90,000
    recorder.Clear();
    Key(Qt::Key_A, Qt::ControlModifier);  // already selected
    Key(Qt::Key_Right);                   // a move is a focus event, not a rename
    EXPECT_TRUE(recorder.Renamed(QAccessible::ColumnHeader).empty());
    EXPECT_TRUE(recorder.Renamed(QAccessible::Cell).empty());
}

TEST_F(AccessibleWindow, CtrlSpaceSelectsAndCtrlShiftSpaceAddsTheFocusedColumn) {
    Open(5, {{1, {2}}});
    const VisibilityMatrix loaded = window->Document().Matrix;
    Key(Qt::Key_Right);
    Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(Selected(), std::set<int>{1});
    EXPECT_EQ(recorder.Renamed(QAccessible::ColumnHeader),
              std::vector<std::string>{"block 1, selected"});
    const std::vector<std::string> renamed = recorder.Renamed(QAccessible::Cell);
    EXPECT_EQ(
        std::set<std::string>(renamed.begin(), renamed.end()),
        (std::set<std::string>{"block 1 does not see 0, selected", "block 1 sees itself, selected",
                               "block 1 sees 2, selected", "block 1 does not see 3, selected",
                               "block 1 does not see 4, selected"}));
    Key(Qt::Key_Right);
    Key(Qt::Key_Space, Qt::ControlModifier | Qt::ShiftModifier);
    Key(Qt::Key_Space, Qt::ControlModifier | Qt::ShiftModifier);  // adding never removes
    EXPECT_EQ(Selected(), (std::set<int>{1, 2}));
    Key(Qt::Key_Right);
    Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(Selected(), std::set<int>{3});
    ClickHeader(5);  // Ctrl is up again: a plain click replaces
    EXPECT_EQ(Selected(), std::set<int>{4});
    EXPECT_TRUE(window->Document().Matrix == loaded);
    EXPECT_FALSE(window->Session().UnsavedChanges());
}

TEST_F(AccessibleWindow, ButtonsNameTheirKeysAndEmptyPanelsStayQuiet) {
    const auto description = [](QWidget* control) {
        return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Description);
    };
    EXPECT_TRUE(description(window->Loadcmd).contains(QStringLiteral("Ctrl+O")));
    EXPECT_TRUE(description(window->Savecmd).contains(QStringLiteral("Ctrl+S")));
    EXPECT_FALSE(description(window->XCheckcmd).isEmpty());
    const auto quiet = [this](int position) {
        return bool(QAccessible::queryAccessibleInterface(window->StatusPanel(position))
                        ->state()
                        .invisible);
    };
    EXPECT_EQ((std::vector<bool>{quiet(1), quiet(2), quiet(3), quiet(4), quiet(5)}),
              (std::vector<bool>{false, false, true, true, true}));

    Key(Qt::Key_Space);  // an empty grid: no cell, no click
    EXPECT_TRUE(quiet(5));
    Open(2);
    Key(Qt::Key_Space);
    EXPECT_FALSE(quiet(5));  // "Modified"
}

}  // namespace
}  // namespace lumark
