#include <QPushButton>

#include "EditingWindow.h"

namespace lumark {
namespace {

using CommandButtons = EditingWindowTest;

TEST_F(CommandButtons, IncreaseAndDecreaseActOnTheSelectedBlock) {
    Load(6);
    Sees(1, {1, 2, 6});
    ClickHeader(1);
    Click(window->cmdIncrease);
    EXPECT_EQ(SeenBy(1), (std::set<int>{1, 2, 3, 5, 6}));
    EXPECT_EQ(Grid().SubItemText(5, 1), QStringLiteral("4"));
    EXPECT_TRUE(Session().UnsavedChanges());
    Click(window->cmdDecrease);
    EXPECT_EQ(SeenBy(1), (std::set<int>{1, 2, 6}));
    EXPECT_EQ(Grid().SubItemText(5, 1), QStringLiteral("  ---"));
    EXPECT_EQ(Selected(), std::set<int>{1});
    dialogs.ExpectNoDialog();
}

TEST_F(CommandButtons, WithoutASelectionTheButtonsLeaveEverythingAlone) {
    Load(5);
    const VisibilityMatrix before = Document().Matrix;
    Click(window->cmdIncrease);
    Click(window->cmdDecrease);
    dialogs.AnswerInputBox("2");  // Set Minimum still asks
    Click(window->cmdSetMinimum);
    EXPECT_TRUE(Document().Matrix == before);
    EXPECT_FALSE(Session().UnsavedChanges());
    EXPECT_EQ(dialogs.CountOf(DialogKind::InputBox), 1u);
}

TEST_F(CommandButtons, SetMinimumAsksAndTakesTheRoundedReply) {
    Load(10);
    Sees(1, {1, 2, 3, 4, 5});
    ClickHeader(1);
    dialogs.AnswerInputBox(" 2.5 ");
    Click(window->cmdSetMinimum);
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].Kind, DialogKind::InputBox);
    EXPECT_EQ(dialogs.calls[0].Text, "Enter minimum (1-10) : ");
    EXPECT_EQ(dialogs.calls[0].Title, "Set View Distance");
    EXPECT_EQ(dialogs.calls[0].DefaultReply, "5");
    EXPECT_EQ(SeenBy(1), (std::set<int>{1, 2, 3, 4, 5, 9, 10}));
    EXPECT_TRUE(Session().UnsavedChanges());
}

TEST_F(CommandButtons, SetMinimumIgnoresRepliesThatAreNoUsableMinimum) {
    Load(10);
    ClickHeader(4);
    for (const char* reply : {"0", "11", "", "five", "40000", "-1"}) {
        dialogs.AnswerInputBox(reply);
        Click(window->cmdSetMinimum);
    }
    EXPECT_EQ(SeenBy(4), std::set<int>{4});
    EXPECT_FALSE(Session().UnsavedChanges());
    EXPECT_EQ(dialogs.CountOf(DialogKind::MsgBox), 0u);
}

TEST_F(CommandButtons, SetMinimumWithoutBlocksAsksNothing) {
    Click(window->cmdSetMinimum);
    Click(window->cmdIncrease);
    Click(window->cmdDecrease);
    dialogs.ExpectNoDialog();
}

TEST_F(CommandButtons, CrossMirrorsAndMarksTheDocumentChanged) {
    Load(6);
    Document().SetElement(2, 5, True16);
    window->FillMatrixGrid();
    Click(window->XCheckcmd);
    EXPECT_EQ(SeenBy(5), (std::set<int>{2, 5}));
    EXPECT_EQ(Grid().SubItemText(2, 5), QStringLiteral("1"));
    EXPECT_TRUE(Session().UnsavedChanges());

    // Closing now asks, so the change is not lost quietly.
    dialogs.AnswerMsgBox(UserDialogs::vbCancel);
    EXPECT_FALSE(window->close());
    dialogs.ExpectMsgBox("Save Visibility now ?", "Visibility hasn't been saved yet !",
                         UserDialogs::vbYesNoCancel + UserDialogs::vbExclamation);
}

TEST_F(CommandButtons, CrossOnASymmetricRelationLeavesTheFlag) {
    Load(6);
    Click(window->XCheckcmd);
    EXPECT_FALSE(Session().UnsavedChanges());
    EXPECT_TRUE(window->close());  // nothing to save: no question
    dialogs.ExpectNoDialog();
}

TEST_F(CommandButtons, ErrorsAreShownNotThrown) {
    Load(6);
    ClickHeader(2);
    // A block count past the relation's end: the scan behind block 2 runs off it.
    Document().SetElement(2, 1, True16);
    Document().BlockCount = 400;
    dialogs.AnswerMsgBox(UserDialogs::vbOK);
    Click(window->cmdIncrease);
    ASSERT_EQ(dialogs.CountOf(DialogKind::MsgBox), 1u);
    EXPECT_EQ(dialogs.calls[0].Title, "Lumark");
    Document().BlockCount = 6;
}

TEST_F(CommandButtons, EachActionRepaintsTheGridAtMostOnce) {
    Load(300);
    Document().Matrix = VisibilityMatrix();
    for (int c = 1; c <= 300; ++c) {
        for (int r = 1; r <= 300; ++r) {
            Document().SetElement(c, r, True16);
        }
    }
    window->FillMatrixGrid();
    PaintCounter counter;
    View().viewport()->installEventFilter(&counter);
    struct Action {
        const char* what;
        std::function<void()> run;
        int paints;  // shown, and as one update; none where nothing in view changes
    };
    const Action actions[] = {
        {"Select All", [&] { Click(window->cmdSelAll); }, 1},
        {"header click (clears all first)", [&] { ClickHeader(3); }, 1},
        {"Ctrl+A", [&] { QTest::keyClick(&View(), Qt::Key_A, Qt::ControlModifier); }, 1},
        {"Increase", [&] { Click(window->cmdIncrease); }, 1},
        // Every block loses the two blocks 150 away, none of which is in view at the top left.
        {"Decrease", [&] { Click(window->cmdDecrease); }, 0},
        // Decrease took each pair away both ways: the relation is mutual already.
        {"Cross Fw & Bw", [&] { Click(window->XCheckcmd); }, 0},
        {"cell click (clears all first)", [&] { ClickCell(1, 2); }, 1},
    };
    for (const Action& action : actions) {
        Settle();
        counter.paints = 0;
        action.run();
        Settle();
        EXPECT_EQ(counter.paints, action.paints) << action.what;
    }
    EXPECT_EQ(Selected(), std::set<int>{});
}

}  // namespace
}  // namespace lumark
