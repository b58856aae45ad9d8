#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <random>

#include "EditHistory.h"
#include "EditingWindow.h"
#include "GridChecks.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

class UndoRedo : public EditingWindowTest {
  protected:
    void SetUp() override {
        EditingWindowTest::SetUp();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // The keys as the user presses them, to whichever control has the focus.
    void Keys(QWidget* focus, Qt::KeyboardModifiers modifiers, Qt::Key key = Qt::Key_Z) {
        focus->setFocus();
        QTest::keyClick(focus, key, modifiers);
        QCoreApplication::processEvents();
    }
    void Undo(QWidget* focus) { Keys(focus, Qt::ControlModifier); }

    const EditHistory& Steps() { return window->History(); }
    QString ModifiedPanel() { return window->StatusPanel(5)->text(); }
};

TEST_F(UndoRedo, TheKeysWorkWhereverTheFocusIs) {
    Load(10);
    ClickCell(5, 3);
    ASSERT_TRUE(Document().IsVisible(3, 5));
    EXPECT_EQ(Steps().UndoText(), QStringLiteral("Toggle block 2 sees 4"));

    Undo(window->cmdIncrease);
    EXPECT_FALSE(Document().IsVisible(3, 5));
    EXPECT_EQ(Grid().SubItemText(5, 3), QStringLiteral("  ---"));
    EXPECT_FALSE(Session().UnsavedChanges());
    EXPECT_EQ(ModifiedPanel(), QString());

    Keys(window->chEdge, Qt::ControlModifier, Qt::Key_Y);
    EXPECT_TRUE(Document().IsVisible(3, 5));
    EXPECT_EQ(Grid().SubItemText(5, 3), QStringLiteral("4"));
    EXPECT_TRUE(Session().UnsavedChanges());
    EXPECT_EQ(ModifiedPanel(), QStringLiteral("Modified"));

    Undo(&View());
    EXPECT_FALSE(Document().IsVisible(3, 5));
    Keys(&View(), Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(Document().IsVisible(3, 5));
    Keys(window->Savecmd, Qt::NoModifier);  // Z alone is no key of the history
    EXPECT_TRUE(Document().IsVisible(3, 5));
    dialogs.ExpectNoDialog();
}

TEST_F(UndoRedo, UndoingCrossKeepsTheSelectionAndRepaintsOnce) {
    Load(6);
    Sees(2, {2, 5});
    ClickHeader(5);
    Click(window->XCheckcmd);
    ASSERT_TRUE(Document().IsVisible(5, 2));
    EXPECT_EQ(Steps().Count(), 1);
    EXPECT_EQ(Steps().UndoText(), QStringLiteral("Cross Fw & Bw"));
    Click(window->XCheckcmd);  // already mutual: no step
    EXPECT_EQ(Steps().Count(), 1);

    PaintCounter counter;
    View().viewport()->installEventFilter(&counter);
    Settle();
    counter.paints = 0;
    Undo(window->XCheckcmd);
    Settle();
    EXPECT_EQ(counter.paints, 1);
    EXPECT_FALSE(Document().IsVisible(5, 2));
    EXPECT_EQ(Grid().SubItemText(2, 5), QStringLiteral("  ---"));
    EXPECT_EQ(Selected(), std::set<int>{5});
    EXPECT_EQ(Grid().SubItemForeColour(2, 5), SelectedColour);
}

TEST_F(UndoRedo, AViewDistanceStepCoversEverySelectedBlock) {
    Load(8);
    Click(window->cmdSelAll);
    Click(window->cmdIncrease);
    EXPECT_EQ(Steps().UndoText(), QStringLiteral("Increase (+) on 8 blocks"));
    Undo(window->cmdIncrease);
    for (std::int16_t b = 1; b <= 8; ++b) {
        EXPECT_EQ(SeenBy(b), std::set<int>{b});
    }
    ExpectGridInStep(Document(), Grid());
    EXPECT_EQ(Selected(), AllBlocks());
}

TEST_F(UndoRedo, ClicksThatChangeNothingInTheEndAddNoStep) {
    Load(6);
    DoubleClickCell(4, 2);
    EXPECT_FALSE(Document().IsVisible(2, 4));
    EXPECT_EQ(Steps().Count(), 0);
    EXPECT_TRUE(Session().UnsavedChanges());  // any click sets it

    window->chEdge->setChecked(true);
    ClickCell(4, 2);  // the edge: blocks 3 and 4 seen from block 2
    ClickCell(4, 2);
    EXPECT_EQ(Steps().Count(), 1);
    EXPECT_EQ(Steps().UndoText(), QStringLiteral("Edge of block 1 at 3"));
}

TEST_F(UndoRedo, TheFlagAcrossSavingUndoAndRedo) {
    Load(5);
    ClickCell(2, 1);
    ClickCell(3, 1);
    dialogs.AnswerMsgBox(UserDialogs::vbYes).AnswerMsgBox(UserDialogs::vbOK);
    Click(window->Savecmd);
    ASSERT_FALSE(Session().UnsavedChanges());
    Undo(window->Savecmd);
    EXPECT_TRUE(Session().UnsavedChanges());  // the file holds the state the undo left
    EXPECT_EQ(ModifiedPanel(), QStringLiteral("Modified"));
    Keys(window->Savecmd, Qt::ControlModifier, Qt::Key_Y);
    EXPECT_FALSE(Session().UnsavedChanges());
    EXPECT_EQ(ModifiedPanel(), QString());

    // Opening starts a history of its own, at a state that matches the file.
    window->OpenVisibilityFile(Session().FilePath());
    EXPECT_EQ(Steps().Count(), 0);
    Undo(window->Savecmd);
    EXPECT_TRUE(Document().IsVisible(1, 3));
    EXPECT_FALSE(Session().UnsavedChanges());
}

TEST_F(UndoRedo, UndoingEverythingGivesBackTheFileAndRedoingTheEdits) {
    constexpr std::int16_t n = 24;
    std::mt19937 random(8);
    VisibilityDocument source;
    source.VersionText = "1.2";
    source.BlockCount = n;
    for (int c = 1; c <= n; ++c) {
        for (int r = 1; r <= n; ++r) {
            source.SetElement(c, r, random() % 4 == 0 ? True16 : False16);
        }
    }
    const std::string file = FormatVisibilityFile(source);
    const QString path = dir.filePath(QStringLiteral("random.txt"));
    {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(file.data(), static_cast<qint64>(file.size()));
    }
    window->OpenVisibilityFile(path.toStdString());
    ASSERT_EQ(FormatVisibilityFile(Document()), file);

    const auto pointAt = [&](int row, int block) {
        window->Interaction().PointerAt(CellCentre(row, block));
    };
    const auto below = [&](int limit) { return static_cast<int>(random() % limit); };
    for (int action = 0; action < 400; ++action) {
        switch (below(13)) {
            case 0:
            case 1:
            case 2:
                pointAt(1 + below(n), below(n + 1));  // the label column too
                window->ListView_Click();
                break;
            case 3:
                pointAt(1 + below(n), 1 + below(n));
                window->ListView_Click();
                window->ListView_DblClick();
                break;
            case 4:
                window->chEdge->setChecked(!window->chEdge->isChecked());
                break;
            case 5: {
                const bool ctrl = below(2) == 0;
                window->ListView_KeyDown(ctrl ? 17 : 16, ctrl ? 2 : 1);
                window->ListView_ColumnClick(below(n + 1));
                window->ListView_KeyUp(ctrl ? 17 : 16, 0);
                break;
            }
            case 6:
                window->cmdSelAll_Click();
                break;
            case 7:
                window->cmdIncrease_Click();
                break;
            case 8:
                window->cmdDecrease_Click();
                break;
            case 9:
                dialogs.AnswerInputBox(std::to_string(below(n + 2)));
                window->cmdSetMinimum_Click();
                break;
            case 10:
                window->XCheckcmd_Click(1);
                break;
            case 11:
                window->Undo_Activated();
                break;
            default:
                window->Redo_Activated();
                break;
        }
        if (action % 50 == 0) {
            QCoreApplication::processEvents();
        }
    }
    window->chEdge->setChecked(false);  // a last toggle, so that no step waits to be redone
    pointAt(1, 2);
    window->ListView_Click();
    ASSERT_FALSE(Steps().CanRedo());

    std::set<QString> kinds;
    for (int i = 0; i < Steps().Count(); ++i) {
        kinds.insert(Steps().Text(i).section(QLatin1Char(' '), 0, 1));
    }
    EXPECT_EQ(kinds, (std::set<QString>{"Toggle block", "Edge of", "Cross Fw", "Increase (+)",
                                        "Decrease (-)", "Set Minimum"}));

    const std::string edited = FormatVisibilityFile(Document());
    EXPECT_TRUE(Session().UnsavedChanges());
    while (Steps().CanUndo()) {
        const VisibilityMatrix before = Document().Matrix;
        window->Undo_Activated();
        ASSERT_FALSE(Document().Matrix == before) << "a step that changes nothing";
    }
    EXPECT_EQ(FormatVisibilityFile(Document()), file);
    EXPECT_FALSE(Session().UnsavedChanges());
    ExpectGridInStep(Document(), Grid());

    while (Steps().CanRedo()) {
        window->Redo_Activated();
    }
    EXPECT_EQ(FormatVisibilityFile(Document()), edited);
    EXPECT_TRUE(Session().UnsavedChanges());
    ExpectGridInStep(Document(), Grid());
}

}  // namespace
}  // namespace lumark
