#include <QImage>
#include <QPaintEvent>
#include <QRegion>
#include <QScrollBar>
#include <QSignalSpy>
#include <tuple>

#include "EditingWindow.h"

namespace lumark {
namespace {

using Range = std::tuple<int, int, int, int>;  // top row, left column, bottom row, right column

// What the grid announced as changed in text or colour, 0-based as the model counts. (A tint
// that follows an edited cell's mirror is announced too, but is no recolouring.)
class ChangedRanges {
  public:
    explicit ChangedRanges(MatrixGridModel& grid) : spy_(&grid, &QAbstractItemModel::dataChanged) {}

    std::set<Range> Take() {
        std::set<Range> ranges;
        for (const QList<QVariant>& signal : spy_) {
            if (signal.at(2).value<QList<int>>() == QList<int>{Qt::BackgroundRole}) {
                continue;
            }
            const auto topLeft = signal.at(0).value<QModelIndex>();
            const auto bottomRight = signal.at(1).value<QModelIndex>();
            ranges.insert(
                {topLeft.row(), topLeft.column(), bottomRight.row(), bottomRight.column()});
        }
        spy_.clear();
        return ranges;
    }

  private:
    QSignalSpy spy_;
};

// The union of what the grid's viewport painted.
class PaintedRegion : public QObject {
  public:
    QRegion region;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            region += static_cast<QPaintEvent*>(event)->region();
        }
        return QObject::eventFilter(watched, event);
    }
};

class SelectionClearing : public EditingWindowTest {
  protected:
    void Settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
        }
    }

    // Blocks 4, 5 and 250 selected by header clicks; column 250 is out of view afterwards.
    void SelectThree() {
        Load(300);
        ClickHeader(4);
        CtrlClickHeader(5);
        CtrlClickHeader(250);
        View().horizontalScrollBar()->setValue(0);
        View().verticalScrollBar()->setValue(0);
        Settle();
        ASSERT_EQ(Selected(), (std::set<int>{4, 5, 250}));
    }

    QPoint CellCentreInView(int row, int block) {
        return View().visualRect(Grid().index(row - 1, block)).center();
    }
};

TEST_F(SelectionClearing, CellClickRecoloursOnlyTheSelectedColumnsAndTheClickedCell) {
    SelectThree();
    ChangedRanges changed(Grid());
    ClickCell(2, 9);
    // Neighbouring columns are announced together; the clicked cell changes its text.
    EXPECT_EQ(changed.Take(), (std::set<Range>{{0, 4, 299, 5}, {0, 250, 299, 250}, {1, 9, 1, 9}}));
    EXPECT_EQ(Selected(), std::set<int>{});
    EXPECT_EQ(Grid().SubItemForeColour(300, 250), NormalColour);
}

TEST_F(SelectionClearing, HeaderClickRecoloursTheOldAndTheNewColumnsOnly) {
    SelectThree();
    ChangedRanges changed(Grid());
    ClickHeader(8);
    View().horizontalScrollBar()->setValue(0);
    Settle();
    EXPECT_EQ(changed.Take(),
              (std::set<Range>{{0, 4, 299, 5}, {0, 8, 299, 8}, {0, 250, 299, 250}}));
    EXPECT_EQ(Selected(), std::set<int>{8});

    // Clicking the selected column again recolours it twice, nothing else.
    ClickHeader(8);
    EXPECT_EQ(changed.Take(), (std::set<Range>{{0, 8, 299, 8}}));
    EXPECT_EQ(Selected(), std::set<int>{8});
}

TEST_F(SelectionClearing, NothingSelectedMeansNothingRecoloured) {
    Load(300);
    ClickHeader(6);
    ClickCell(3, 6);  // clears block 6
    ChangedRanges changed(Grid());
    ClickCell(3, 7);
    EXPECT_EQ(changed.Take(), (std::set<Range>{{2, 7, 2, 7}}));
}

TEST_F(SelectionClearing, CellClickRepaintsTheClearedColumnsNotTheWholeGrid) {
    SelectThree();
    PaintedRegion painted;
    View().viewport()->installEventFilter(&painted);
    ClickCell(2, 9);
    Settle();
    View().viewport()->removeEventFilter(&painted);
    EXPECT_TRUE(painted.region.contains(CellCentreInView(10, 4)));
    EXPECT_TRUE(painted.region.contains(CellCentreInView(10, 5)));
    EXPECT_TRUE(painted.region.contains(CellCentreInView(2, 9)));
    EXPECT_FALSE(painted.region.contains(CellCentreInView(10, 7)));
    EXPECT_FALSE(painted.region.contains(CellCentreInView(10, 9)));
}

TEST_F(SelectionClearing, HeaderClickKeepsAGridScrolledByPartOfARow) {
    Load(300);
    ClickHeader(3);
    const int rowHeight = View().rowHeight(0);
    View().verticalScrollBar()->setValue(5 * rowHeight + rowHeight / 2);
    View().horizontalScrollBar()->setValue(0);
    Settle();
    const int scrolled = View().verticalScrollBar()->value();
    const QModelIndex current = View().currentIndex();

    PaintedRegion painted;
    View().viewport()->installEventFilter(&painted);
    QHeaderView* header = View().horizontalHeader();  // column 6 is in view: no scrolling to it
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(6) + 5, header->height() / 2));
    Settle();
    View().viewport()->removeEventFilter(&painted);
    EXPECT_EQ(View().verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(View().currentIndex(), current);
    EXPECT_EQ(Selected(), std::set<int>{6});
    EXPECT_FALSE(painted.region.contains(CellCentreInView(10, 5)));
}

// Counts the clearly red pixels of one cell as the grid draws it (text is smoothed into the
// white around it, so few pixels are pure red).
int RedPixels(MatrixGridView& view, const QModelIndex& index) {
    const QImage cell = view.viewport()->grab(view.visualRect(index)).toImage();
    int red = 0;
    for (int y = 0; y < cell.height(); ++y) {
        for (int x = 0; x < cell.width(); ++x) {
            const QColor pixel = cell.pixelColor(x, y);
            red += pixel.red() - std::max(pixel.green(), pixel.blue()) > 80 ? 1 : 0;
        }
    }
    return red;
}

TEST_F(SelectionClearing, SelectedColumnsAreDrawnInRedAndOthersAreNot) {
    Load(20);
    ClickHeader(4);
    View().horizontalScrollBar()->setValue(0);
    Settle();
    EXPECT_GT(RedPixels(View(), Grid().index(1, 4)), 0);  // "1"
    EXPECT_GT(RedPixels(View(), Grid().index(3, 4)), 0);  // the diagonal "(3)"
    EXPECT_EQ(RedPixels(View(), Grid().index(1, 5)), 0);
    ClickCell(2, 6);
    EXPECT_EQ(RedPixels(View(), Grid().index(1, 4)), 0);
}

}  // namespace
}  // namespace lumark
