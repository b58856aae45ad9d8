#include <QCheckBox>
#include <QPushButton>

#include "EditingWindow.h"

namespace lumark {
namespace {

using GridClicks = EditingWindowTest;

TEST_F(GridClicks, CellClickInvertsThatElementOnlyAndSetsTheFlag) {
    Load(10);
    ClickCell(5, 3);
    EXPECT_EQ(SeenBy(3), (std::set<int>{3, 5}));
    EXPECT_EQ(SeenBy(5), std::set<int>{5});  // edits are not mirrored
    EXPECT_EQ(Grid().SubItemText(5, 3), QStringLiteral("4"));
    EXPECT_TRUE(Session().UnsavedChanges());

    ClickCell(5, 3);
    EXPECT_EQ(SeenBy(3), std::set<int>{3});
    EXPECT_EQ(Grid().SubItemText(5, 3), QStringLiteral("  ---"));
    EXPECT_TRUE(Session().UnsavedChanges());  // set even though the relation is as loaded

    ClickCell(8, 8);
    EXPECT_EQ(Document().Matrix.Get(8, 8), False16);
    EXPECT_EQ(Grid().SubItemText(8, 8), QStringLiteral("(7)"));
    dialogs.ExpectNoDialog();
}

TEST_F(GridClicks, ClickFarRightAndDownFindsItsCell) {
    Load(300);
    ClickCell(300, 299);
    ClickCell(150, 300);
    EXPECT_EQ(SeenBy(299), (std::set<int>{299, 300}));
    EXPECT_EQ(SeenBy(300), (std::set<int>{150, 300}));
}

TEST_F(GridClicks, ClickBelowTheLastRowChangesNothingButSetsTheFlag) {
    Load(3);
    Click(window->cmdSelAll);
    const VisibilityMatrix before = Document().Matrix;
    const QPoint below(CellCentre(3, 2).x(), View().visualRect(Grid().index(2, 2)).bottom() + 20);
    ASSERT_LT(below.y(), View().viewport()->height());
    QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, below);
    EXPECT_TRUE(Document().Matrix == before);
    EXPECT_EQ(Selected(), AllBlocks());
    EXPECT_TRUE(Session().UnsavedChanges());
}

TEST_F(GridClicks, ClickOnAnEmptyGridSetsTheFlag) {
    QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_TRUE(Session().UnsavedChanges());
    dialogs.ExpectNoDialog();
}

TEST_F(GridClicks, DoubleClickTogglesTwice) {
    Load(6);
    DoubleClickCell(2, 4);
    EXPECT_EQ(SeenBy(4), std::set<int>{4});
    EXPECT_EQ(Grid().SubItemText(2, 4), QStringLiteral("  ---"));
    EXPECT_TRUE(Session().UnsavedChanges());
}

TEST_F(GridClicks, ClickUsesTheMouseMovePositionInTwips) {
    Load(6);
    const QPoint at = CellCentre(4, 2);
    ClickCell(4, 2);
    const GridInteraction& interaction = window->Interaction();
    EXPECT_EQ(interaction.LastMouseX, static_cast<float>(at.x() * interaction.TwipsPerPixelX()));
    EXPECT_EQ(interaction.LastMouseY, static_cast<float>(at.y() * interaction.TwipsPerPixelY()));

    // A double-click alone acts on the last position, wherever the pointer was last seen, and
    // folds into the click before it: together they changed nothing.
    window->ListView_MouseMove(0, 0, interaction.LastMouseX, interaction.LastMouseY);
    window->ListView_DblClick();
    EXPECT_EQ(SeenBy(2), std::set<int>{2});
    EXPECT_EQ(window->History().Count(), 0);
}

TEST_F(GridClicks, EdgeSettingMakesTheClickAnEdge) {
    Load(30);
    Sees(10, AllBlocks());
    Click(window->chEdge);
    ASSERT_TRUE(window->chEdge->isChecked());
    ClickCell(14, 10);
    std::set<int> expected = AllBlocks();
    for (int cleared = 15; cleared <= 19; ++cleared) {
        expected.erase(cleared);
    }
    EXPECT_EQ(SeenBy(10), expected);
    EXPECT_EQ(Grid().SubItemText(16, 10), QStringLiteral("  ---"));
    EXPECT_TRUE(Session().UnsavedChanges());

    Click(window->chEdge);  // read afresh at every click
    ClickCell(16, 10);
    expected.insert(16);
    EXPECT_EQ(SeenBy(10), expected);
}

TEST_F(GridClicks, CtrlAAndCtrlShiftASelectAllAndAAloneNothing) {
    Load(5);
    QTest::keyClick(&View(), Qt::Key_A);
    EXPECT_EQ(Selected(), std::set<int>{});
    QTest::keyClick(&View(), Qt::Key_A, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), std::set<int>{});

    QTest::keyClick(&View(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Selected(), AllBlocks());

    Load(5);
    QTest::keyClick(&View(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Selected(), AllBlocks());
    EXPECT_FALSE(Session().UnsavedChanges());
}

TEST_F(GridClicks, CtrlKeyItselfSetsAndClearsTheFlagHowEverThePlatformReportsIt) {
    Load(3);
    GridInteraction& interaction = window->Interaction();
    for (Qt::KeyboardModifiers pressed :
         {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ControlModifier)}) {
        for (Qt::KeyboardModifiers released :
             {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ControlModifier)}) {
            QTest::keyPress(&View(), Qt::Key_Control, pressed);
            EXPECT_TRUE(interaction.CtrlKeyDown);
            QTest::keyRelease(&View(), Qt::Key_Control, released);
            EXPECT_FALSE(interaction.CtrlKeyDown);
        }
    }
    // Another key released with Ctrl still held keeps it; one released without clears it.
    // (QTest's own keyPress would press and release Ctrl around the key.)
    QTest::keyPress(&View(), Qt::Key_Control);
    QTest::simulateEvent(&View(), true, Qt::Key_J, Qt::ControlModifier, QString(), false, -1);
    QTest::simulateEvent(&View(), false, Qt::Key_J, Qt::ControlModifier, QString(), false, -1);
    EXPECT_TRUE(interaction.CtrlKeyDown);
    QTest::simulateEvent(&View(), false, Qt::Key_J, Qt::NoModifier, QString(), false, -1);
    EXPECT_FALSE(interaction.CtrlKeyDown);
}

TEST_F(GridClicks, HeaderClicksReplaceOrWithCtrlAddToTheSelection) {
    Load(10);
    ClickHeader(4);
    EXPECT_EQ(Selected(), std::set<int>{4});
    CtrlClickHeader(7);
    EXPECT_EQ(Selected(), (std::set<int>{4, 7}));
    CtrlClickHeader(7);  // Ctrl never deselects
    EXPECT_EQ(Selected(), (std::set<int>{4, 7}));
    ClickHeader(2);
    EXPECT_EQ(Selected(), std::set<int>{2});
    for (int row = 1; row <= 10; ++row) {  // whole columns are coloured
        EXPECT_EQ(Grid().SubItemForeColour(row, 2), SelectedColour) << row;
        EXPECT_EQ(Grid().SubItemForeColour(row, 4), NormalColour) << row;
    }
    EXPECT_FALSE(Session().UnsavedChanges());
}

TEST_F(GridClicks, NothingIsClearedBeforeTheFirstHeaderClick) {
    Load(8);
    Click(window->cmdSelAll);
    ClickCell(3, 6);  // a cell action keeps the selection too
    EXPECT_EQ(Selected(), AllBlocks());
    EXPECT_EQ(SeenBy(6), (std::set<int>{3, 6}));
    ClickHeader(2);
    EXPECT_EQ(Selected(), AllBlocks());
    EXPECT_TRUE(window->Interaction().ColumnSelectionMade);

    // From now on Select All and a plain header click leave only that block.
    Click(window->cmdSelAll);
    ClickHeader(2);
    EXPECT_EQ(Selected(), std::set<int>{2});
}

TEST_F(GridClicks, CellClickClearsTheSelectionOnceAHeaderWasClicked) {
    Load(8);
    ClickHeader(5);
    CtrlClickHeader(6);
    ClickCell(2, 5);
    EXPECT_EQ(Selected(), std::set<int>{});
    EXPECT_EQ(SeenBy(5), (std::set<int>{2, 5}));

    // A click below the last row does not reach the clearing.
    ClickHeader(5);
    const QPoint below(CellCentre(8, 3).x(), View().visualRect(Grid().index(7, 3)).bottom() + 10);
    QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, below);
    EXPECT_EQ(Selected(), std::set<int>{5});
}

TEST_F(GridClicks, LabelHeaderSelectsAll) {
    Load(4);
    ClickHeader(1);
    emit View().horizontalHeader()->sectionClicked(0);  // its width is 0: no pointer reaches it
    EXPECT_EQ(Selected(), AllBlocks());
    EXPECT_TRUE(window->Interaction().ColumnSelectionMade);
}

TEST_F(GridClicks, ReloadingClearsTheSelection) {
    Load(5);
    Click(window->cmdSelAll);
    Load(5);
    EXPECT_EQ(Selected(), std::set<int>{});
}

TEST_F(GridClicks, SelectAllOnAnEmptyGridColoursNothing) {
    Click(window->cmdSelAll);
    emit View().horizontalHeader()->sectionClicked(0);
    QTest::keyClick(&View(), Qt::Key_A, Qt::ControlModifier);
    dialogs.ExpectNoDialog();
}

}  // namespace
}  // namespace lumark
