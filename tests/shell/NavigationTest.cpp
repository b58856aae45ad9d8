#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolTip>
#include <fstream>

#include "../editing/EditingWindow.h"
#include "GoToBlock.h"
#include "OverviewWindow.h"
#include "RelationPicture.h"
#include "RingDocument.h"
#include "VisibilityWriter.h"

namespace lumark {
namespace {

// The shown window driven by Qt events, as the editing tests drive it.
class Navigation : public EditingWindowTest {
  protected:
    static void Settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
        }
    }

    QString SelectedPanel() const { return window->StatusPanel(6)->text(); }
    QString PointerPanel() const { return window->StatusPanel(7)->text(); }

    // Wide enough for a summary in the pointer panel.
    void Widen() {
        window->resize(1400, window->height());
        Settle();
    }

    // Block 7 sees 2, 3 and 4, none of which sees it back.
    void LoadWithOneWayLinks() {
        Load(10);
        Sees(8, {3, 4, 5, 8});
    }

    // F2 with the grid focused: the Overview, shown, or null.
    OverviewWindow* OpenOverview() {
        QTest::keyClick(&View(), Qt::Key_F2);
        Settle();
        OverviewWindow* overview = window->Overview();
        return overview != nullptr && QTest::qWaitForWindowExposed(overview) ? overview : nullptr;
    }

    QString TooltipAt(QHeaderView* header, int section) {
        const int middle =
            header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
        const QPoint at = header->orientation() == Qt::Horizontal
                              ? QPoint(middle, header->height() / 2)
                              : QPoint(header->width() / 2, middle);
        QHelpEvent help(QEvent::ToolTip, at, header->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(header->viewport(), &help);
        return QToolTip::text();
    }

    void MovePointer(int row, int block) {
        QTest::mouseMove(View().viewport(), CellCentre(row, block));
        Settle();
    }

    // Whether the whole cell in row `row` under block column `block` is in the grid's view.
    bool InView(int row, int block) {
        const QRect cell = View().visualRect(Grid().index(row - 1, block));
        return View().viewport()->rect().contains(cell);
    }

    void PressCtrlG() {
        QTest::keyClick(&View(), Qt::Key_G, Qt::ControlModifier);
        Settle();
    }

    QPoint ScrollPosition() {
        return QPoint(View().horizontalScrollBar()->value(), View().verticalScrollBar()->value());
    }
};

TEST_F(Navigation, PointerPanelReadsTheCellUnderThePointer) {
    Load(10);
    EXPECT_EQ(PointerPanel(), QString());
    MovePointer(4, 8);  // row of block 3, column of block 7
    EXPECT_EQ(PointerPanel(), QStringLiteral("7 does not see 3"));
    ClickCell(4, 8);
    Settle();  // the panels catch up once per event-loop turn
    EXPECT_EQ(PointerPanel(), QStringLiteral("7 sees 3"));  // follows the edit in place
    Widen();
    MovePointer(5, 5);  // a diagonal cell: its block's summary
    EXPECT_EQ(PointerPanel(), QStringLiteral("block 4: sees 4 (1), seen by 4 (1), 0 one-way"));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(View().viewport(), &leave);
    EXPECT_EQ(PointerPanel(), QString());
}

TEST_F(Navigation, SummariesInTooltipsAndInThePointerPanelAfterTheFocus) {
    LoadWithOneWayLinks();
    const QString summary =
        QStringLiteral("block 7: sees 2-4, 7 (4), seen by 7 (1), 3 one-way out (2-4)");
    EXPECT_EQ(TooltipAt(View().horizontalHeader(), 8), summary);
    EXPECT_EQ(TooltipAt(View().verticalHeader(), 3),  // the row of block 3
              QStringLiteral("block 3: sees 3 (1), seen by 3, 7 (2), 1 one-way in (7)"));
    window->resize(window->minimumSize());
    View().setFocus();
    Settle();
    EXPECT_EQ(PointerPanel(), QString());  // a load moves nobody's focus
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Down}) {
        for (int step = 0; step < 7; ++step) {  // to block 7's diagonal cell
            QTest::keyClick(&View(), key);
        }
    }
    Settle();
    // In the narrowest window the panel ends inside it and cuts the text.
    const QLabel* panel = window->StatusPanel(7);
    EXPECT_LE(panel->mapTo(window.get(), QPoint(panel->width(), 0)).x(), window->width());
    EXPECT_TRUE(PointerPanel().endsWith(QChar(0x2026))) << PointerPanel().toStdString();
    EXPECT_EQ(panel->toolTip(), summary);
    Widen();
    EXPECT_EQ(PointerPanel(), summary);
    MovePointer(1, 1);  // then the pointer moved last
    EXPECT_EQ(PointerPanel(), QStringLiteral("block 0: sees 0 (1), seen by 0 (1), 0 one-way"));
}

TEST_F(Navigation, SelectedPanelAndHeaderMarksFollowTheSelection) {
    Load(10);
    EXPECT_EQ(SelectedPanel(), QString());
    ClickHeader(4);
    Settle();
    EXPECT_EQ(SelectedPanel(), QStringLiteral("1 selected"));
    EXPECT_TRUE(Grid().headerData(4, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
    QTest::mouseClick(window->cmdSelAll, Qt::LeftButton);
    Settle();
    EXPECT_EQ(SelectedPanel(), QStringLiteral("10 selected"));
    ClickCell(2, 3);  // after a header click, a cell click clears the selection first
    Settle();
    EXPECT_EQ(SelectedPanel(), QString());
    EXPECT_FALSE(Grid().headerData(4, Qt::Horizontal, Qt::FontRole).isValid());
}

TEST_F(Navigation, RowLabelsStayWhileScrollingSideways) {
    Load(300);
    QHeaderView* labels = View().verticalHeader();
    ASSERT_TRUE(labels->isVisible());
    View().horizontalScrollBar()->setValue(View().horizontalScrollBar()->maximum());
    Settle();
    EXPECT_TRUE(labels->isVisible());
    EXPECT_EQ(labels->logicalIndexAt(labels->sectionViewportPosition(5) + 1), 5);
    EXPECT_EQ(Grid().headerData(5, Qt::Vertical).toString(), QStringLiteral("5"));
    EXPECT_GE(labels->width(), labels->fontMetrics().horizontalAdvance(QStringLiteral("299")));
    // The label column stays hidden and every block column keeps its width.
    EXPECT_EQ(View().horizontalHeader()->sectionSize(0), 0);
    EXPECT_EQ(View().horizontalHeader()->sectionSize(300),
              View().horizontalHeader()->sectionSize(1));
}

TEST_F(Navigation, NoCutColumnShowsItsTextAgainstTheRowLabels) {
    Load(300);
    QScrollBar* bar = View().horizontalScrollBar();
    const auto firstShown = [this] { return View().columnAt(0); };
    ASSERT_EQ(firstShown(), 1);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 3, bar->height() / 2));
    Settle();
    EXPECT_EQ(firstShown(), 2);  // the first step shows the next column

    // Scrolled to the end the last column is whole, so the first may be cut: a width that
    // leaves half a column over makes sure it is.
    const int column = View().columnWidth(1);
    const int over = View().viewport()->width() % column;
    window->resize(window->width() + column / 2 - over, window->height());
    Settle();
    // The last step moves what the one before painted, text and all: the window's own picture.
    bar->setValue(bar->maximum() - 1);
    Settle();
    bar->setValue(bar->maximum());
    Settle();
    const int cutEnd = View().columnViewportPosition(firstShown()) + column;
    ASSERT_LT(cutEnd, column);
    const QImage shot = window->screen()->grabWindow(window->winId()).toImage();
    // Text is dark; the background, tint and grid lines are not.
    for (QWidget* shown : {View().viewport(), View().horizontalHeader()->viewport()}) {
        const QImage image = shot.copy(QRect(shown->mapTo(window.get(), QPoint()), shown->size()));
        int dark[2] = {0, 0};  // in the cut column, in the next
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < cutEnd + column; ++x) {
                dark[x >= cutEnd - 1] += image.pixelColor(x, y).lightness() < 110 ? 1 : 0;
            }
        }
        EXPECT_EQ(dark[0], 0);
        EXPECT_GT(dark[1], 0);
    }
}

TEST_F(Navigation, TintFollowsEditsCrossingAndLoading) {
    Load(6);
    const auto tinted = [this](int row, int block) {
        return Grid().index(row - 1, block).data(Qt::BackgroundRole).isValid();
    };
    ClickCell(5, 3);  // block 2 comes to see block 4
    EXPECT_TRUE(tinted(5, 3));
    EXPECT_TRUE(tinted(3, 5));
    EXPECT_FALSE(tinted(3, 3));
    QTest::mouseClick(window->XCheckcmd, Qt::LeftButton);
    Settle();
    EXPECT_FALSE(tinted(5, 3));
    EXPECT_FALSE(tinted(3, 5));
    ClickCell(4, 5);
    // A file read from disk in which block 1 sees block 5 only one way.
    QFile file(dir.filePath(QStringLiteral("other.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Version: 1.2\r\nBlocks: 6\r\n");
    for (int b = 0; b < 6; ++b) {
        file.write(QByteArray("Block: ") + QByteArray::number(b) + "\r\n" + QByteArray::number(b) +
                   (b == 1 ? "\r\n5" : "") + "\r\n-1\r\n\r\n");
    }
    file.close();
    TreatAsSaved(*window);
    window->OpenVisibilityFile(file.fileName().toStdString());
    Settle();
    EXPECT_FALSE(tinted(4, 5));
    EXPECT_FALSE(tinted(5, 4));
    EXPECT_TRUE(tinted(6, 2));
    EXPECT_TRUE(tinted(2, 6));
}

TEST_F(Navigation, CtrlGGoesToTheBlocksDiagonalAndChangesNothingElse) {
    Load(300);
    ClickHeader(7);
    const VisibilityMatrix before = window->Document().Matrix;
    View().scrollToTop();
    View().horizontalScrollBar()->setValue(0);
    ASSERT_FALSE(InView(251, 251));

    Widen();
    window->cmdSelAll->setFocus();  // the key works from anywhere in the window
    dialogs.AnswerInputBox(" 250 ");
    PressCtrlG();
    EXPECT_TRUE(InView(251, 251));  // its column and its row, at once
    EXPECT_EQ(dialogs.calls.at(0).Text, "Block number (0 to 299):");
    // The focus is on the block's diagonal cell, and the next arrow key starts there.
    EXPECT_EQ(View().currentIndex(), Grid().index(250, 251));
    EXPECT_TRUE(View().hasFocus());
    EXPECT_EQ(PointerPanel(),
              QStringLiteral("block 250: sees 250 (1), seen by 250 (1), 0 one-way"));
    QTest::keyClick(&View(), Qt::Key_Right);
    EXPECT_EQ(View().currentIndex(), Grid().index(250, 252));
    EXPECT_TRUE(window->Document().Matrix == before);
    EXPECT_FALSE(window->Session().UnsavedChanges());
    EXPECT_EQ(SelectedPanel(), QStringLiteral("1 selected"));

    const QPoint at = ScrollPosition();
    // Refused: the box opens again holding the reply; cancelled there, nothing moves.
    dialogs.AnswerInputBox("300").AnswerMsgBox(UserDialogs::vbOK).AnswerInputBox("");
    PressCtrlG();
    dialogs.ExpectMsgBox("There is no block 300 in this file; its blocks are 0 to 299.",
                         "Go to Block", UserDialogs::vbOKOnly + UserDialogs::vbExclamation);
    EXPECT_EQ(dialogs.calls.back().DefaultReply, "300");
    EXPECT_EQ(ScrollPosition(), at);

    dialogs.AnswerInputBox("");  // cancelled: no message, no scrolling
    PressCtrlG();
    EXPECT_EQ(dialogs.CountOf(DialogKind::MsgBox), 1u);
    EXPECT_EQ(ScrollPosition(), at);
}

// Faults caught: a reload threw the user back to block 0 with nothing selected; its undo left
// the reloaded layout in the version panel; the pointer's field and the file state were cut at
// the design size while empty fields held their room.
TEST_F(Navigation, AReloadKeepsThePlaceTheLayoutFollowsAndTheLastFieldsReadWhole) {
    // The file as another program writes it: a ring seeing 2 blocks each side, in `layout`.
    const std::string path =
        QDir::toNativeSeparators(dir.filePath(QStringLiteral("visibility.txt"))).toStdString();
    const auto write = [&path](const char* layout) {
        std::ofstream(path, std::ios::binary)
            << FormatVisibilityFile(MakeRingDocument(300, 2, layout));
    };
    write("1.2");
    window->OpenVisibilityFile(path);
    View().setCurrentIndex(Grid().index(130, 126));  // block 125's column, block 130's row
    Settle();
    EXPECT_EQ(PointerPanel(), QStringLiteral("125 does not see 130"));
    window->Interaction().SelectBlocks({101, 102, 103, 300});
    View().scrollTo(Grid().index(200, 200), QAbstractItemView::PositionAtCenter);
    Settle();
    const QPoint place = ScrollPosition();
    ASSERT_GT(place.x() * place.y(), 0);

    write("1.000000");  // the layout alone changes
    Session().CheckDisk();
    EXPECT_EQ(window->StatusPanel(8)->text(), QStringLiteral("Reloaded: changed on disk"));
    EXPECT_EQ(window->StatusPanel(8)->toolTip(), QString());  // not cut
    const std::pair<const char*, void (LumarkMain::*)()> steps[] = {
        {"1.000000", nullptr},
        {"1.2", &LumarkMain::Undo_Activated},
        {"1.000000", &LumarkMain::Redo_Activated}};
    for (const auto& [layout, step] : steps) {
        if (step != nullptr) {
            (window.get()->*step)();
        }
        Settle();
        EXPECT_EQ(window->StatusPanel(2)->text(), QStringLiteral("File Version : ") + layout);
        EXPECT_EQ(ScrollPosition(), place) << layout;
        EXPECT_EQ(View().currentIndex(), Grid().index(130, 126)) << layout;
        EXPECT_EQ(Selected(), (std::set<int>{101, 102, 103, 300})) << layout;
    }
}

TEST(GoToBlockReply, OnlyBlockNumbersOfTheFile) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"0", 1},    {"9", 10},   {" 7\t", 8}, {"007", 8},  {"10", {}},          {"-1", {}},
        {"1.5", {}}, {"abc", {}}, {"", {}},    {"3 4", {}}, {"99999999999", {}}, {"+3", {}},
    };
    for (const auto& [reply, block] : cases) {
        EXPECT_EQ(BlockFromReply(reply, 10), block) << reply;
    }
}

TEST_F(Navigation, OverviewFollowsEditsAndScrollsTheGrid) {
    Load(300);
    OverviewWindow* overview = OpenOverview();
    ASSERT_NE(overview, nullptr);
    EXPECT_TRUE(overview->windowFlags() & Qt::Tool);
    OverviewCanvas& canvas = overview->Canvas();

    // The picture, in the element's own square: block 1 sees 2 only after the click.
    const auto colourAt = [&canvas](int column, int row) {
        return canvas.grab().toImage().pixelColor(canvas.CellRect(column, row).center());
    };
    const auto rgb = [](RelationKind kind) {
        const Rgb c = ColourOf(kind);
        return QColor(c.R, c.G, c.B);
    };
    EXPECT_EQ(colourAt(2, 3), rgb(RelationKind::Neither));
    ClickCell(3, 2);
    EXPECT_EQ(colourAt(2, 3), rgb(RelationKind::SeesOnly));
    EXPECT_EQ(colourAt(3, 2), rgb(RelationKind::SeenOnly));
    EXPECT_EQ(colourAt(5, 5), rgb(RelationKind::Diagonal));
    // A selected column keeps the key's colours; its mark stands above the matrix.
    ClickHeader(3);
    EXPECT_EQ(colourAt(3, 2), rgb(RelationKind::SeenOnly));
    EXPECT_EQ(colourAt(3, 3), rgb(RelationKind::Diagonal));
    EXPECT_EQ(canvas.grab().toImage().pixelColor(canvas.ColumnTick(3) + QPoint(0, 3)),
              QColor(Qt::red));

    // A press on element (200, 120) brings that cell into the grid's view, and the marked
    // part of the picture moves with the grid.
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, canvas.CellRect(200, 120).center());
    Settle();
    EXPECT_TRUE(InView(120, 200));
    EXPECT_TRUE(canvas.ShownPart().contains(canvas.CellRect(200, 120).center()));
    EXPECT_FALSE(canvas.ShownPart().contains(canvas.CellRect(1, 1).center()));
    // Dragging keeps scrolling.
    QTest::mousePress(&canvas, Qt::LeftButton, {}, canvas.CellRect(200, 120).center());
    QMouseEvent drag(QEvent::MouseMove, canvas.CellRect(40, 250).center(),
                     canvas.mapToGlobal(canvas.CellRect(40, 250).center()), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&canvas, &drag);
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, canvas.CellRect(40, 250).center());
    Settle();
    EXPECT_TRUE(InView(250, 40));
}

TEST_F(Navigation, OverviewOpensBelowTheControlsNumbersItsEdgesAndReadsThePointer) {
    Load(300);
    Sees(8, {3, 4, 5, 8});  // block 7 sees 2, 3 and 4, one way
    OverviewWindow* overview = OpenOverview();
    ASSERT_NE(overview, nullptr);
    const QRect placed = overview->frameGeometry();
    EXPECT_TRUE(window->screen()->availableGeometry().contains(placed));
    // The buttons, frame and check box stand above the grid's frame.
    EXPECT_FALSE(placed.intersects(
        QRect(window->mapToGlobal(QPoint(0, 0)), QSize(window->width(), window->Picture1->y()))));
    OverviewCanvas& canvas = overview->Canvas();
    const QImage picture = canvas.grab().toImage();
    const auto dark = [&picture](QPoint at) { return picture.pixelColor(at).lightness() < 100; };

    // A tick, and so a number, at block 0 and every step after it, on both edges.
    const int step = canvas.NumberStep();
    ASSERT_TRUE(step == 10 || step == 50) << step;
    for (int block = 0; block < 300; ++block) {
        EXPECT_EQ(dark(canvas.ColumnTick(block + 1)), block % step == 0) << block;
        EXPECT_EQ(dark(canvas.RowTick(block + 1)), block % step == 0) << block;
    }

    // The strip: block 7 sees most (4), every other block fewest (1).
    EXPECT_EQ(canvas.BarHeight(8), canvas.StripRect().height());
    EXPECT_EQ(canvas.BarHeight(300), 2);

    const auto point = [&canvas, overview](QPoint at) {
        // Through the Overview's own window: offscreen, a cursor move would reach the main
        // window beneath.
        QTest::mouseMove(overview->windowHandle(), canvas.mapTo(overview, at));
        Settle();
    };
    point(canvas.CellRect(8, 4).center());  // column of block 7, row of block 3
    EXPECT_EQ(overview->PairReadout(), QStringLiteral("7 sees 3, not seen back"));
    EXPECT_EQ(overview->SummaryReadout(),
              QStringLiteral("block 7: sees 2-4, 7 (4), seen by 7 (1), 3 one-way out (2-4)"));
    ClickCell(4, 8);  // block 7 stops seeing 3: the readout of the still pointer follows
    Settle();
    EXPECT_EQ(overview->PairReadout(), QStringLiteral("7 does not see 3, not seen by it"));
    point(QPoint(canvas.CellRect(8, 1).center().x(), canvas.StripRect().center().y()));
    EXPECT_EQ(overview->PairReadout(), QString());  // over a bar: its block alone
    EXPECT_EQ(overview->SummaryReadout(),
              QStringLiteral("block 7: sees 2, 4, 7 (3), seen by 7 (1), 2 one-way out (2, 4)"));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&canvas, &leave);
    EXPECT_EQ(overview->SummaryReadout(), QString());
}

TEST_F(Navigation, OverviewTakesTheRoomBesideTheMainWindowAndItsKeysNeverReachIt) {
    OverviewWindow* overview = OpenOverview();
    ASSERT_NE(overview, nullptr);  // empty, it says so whole
    EXPECT_GE(overview->Canvas().width(), overview->Canvas().fontMetrics().horizontalAdvance(
                                              QStringLiteral("No file is open")));
    Load(150);
    ClickHeader(3);
    // About 405 pixels on the right of the screen: too few for the key beside the picture.
    const QRect screen = window->screen()->availableGeometry();
    window->move(window->x() + screen.right() - 405 - window->frameGeometry().right(), 0);
    Settle();
    const QRect main = window->frameGeometry();
    const int room = screen.right() - main.right();
    ASSERT_TRUE(room >= 400 && room <= 410) << room;
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_F2, Qt::Key_A}) {
        window->activateWindow();  // as the window manager does when the Overview closes
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ASSERT_TRUE(OpenOverview() != nullptr && QTest::qWaitForWindowActive(overview));
        QTest::keyClick(overview, key, key == Qt::Key_A ? Qt::ControlModifier : Qt::NoModifier);
        Settle();
        EXPECT_EQ(overview->isVisible(), key == Qt::Key_A) << key;
        EXPECT_EQ(SelectedPanel(), QStringLiteral("1 selected")) << key;
    }
    EXPECT_EQ(overview->frameGeometry().left(), main.right() + 1);
    EXPECT_LE(overview->frameGeometry().width(), room);
    EXPECT_TRUE(overview->KeyBelowPicture());
    EXPECT_LT(overview->Canvas().CellPixels(), 4);  // 4 where the room is not short
}

}  // namespace
}  // namespace lumark
