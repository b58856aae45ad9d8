#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QWidget>
#include <vector>

#include "MatrixGridModel.h"
#include "RelationPicture.h"
#include "VisibilityDocument.h"

class QBoxLayout;
class QLabel;
class QTableView;

namespace lumark {

// The whole relation at once, oriented like the grid (column c the viewing block, row r the
// block seen), one square per element; block numbers along the top and left edges; on top, the
// selected columns and the part of the matrix the grid shows now; below, a strip with a bar per
// column that grows with the number of blocks that block sees, so the busiest stand out.
// Pressing or dragging scrolls the grid to the element under the pointer.
class OverviewCanvas : public QWidget {
    Q_OBJECT

  public:
    OverviewCanvas(const VisibilityDocument& doc, const MatrixGridModel& grid, QTableView& view,
                   QWidget* parent = nullptr);

    // Computes the picture now instead of at the next paint.
    void Render();
    // Blocks shown: those of the document that the grid has too.
    int Blocks() const;
    // Side of one element's square, and where element (c, r) is drawn, in canvas pixels.
    int CellPixels() const;
    QRect CellRect(int column, int row) const;
    // The part of the matrix the grid shows now, in canvas pixels.
    QRectF ShownPart() const;
    // Blocks between two numbers along the edges, and where a number's tick is drawn: the
    // column's tick above the matrix, the row's at its left, each TickLength long.
    int NumberStep() const;
    static constexpr int TickLength = 3;
    QPoint ColumnTick(int column) const;
    QPoint RowTick(int row) const;
    // The strip of "sees" bars, under the matrix, and the height of column c's bar: from a
    // few pixels for the block that sees fewest to the strip's height for the one that sees
    // most.
    QRect StripRect() const;
    int BarHeight(int column) const;
    // The size the canvas uses of `room`: its squares as large as fit, in whole pixels.
    QSize SizeFor(QSize room) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    // The element under the pointer, (c, r); (c, 0) over column c's bar; (0, 0) elsewhere.
    void Pointed(int column, int row);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPoint Origin() const;
    int NumberWidth() const;
    // The space around the matrix: bands for numbers and marks, the strip, margins.
    QSize Surround() const;
    void Invalidate();
    // The block of the square under pixel `pixels` from the matrix's edge, clamped to 1..n.
    int BlockAt(int pixels) const;
    void ScrollGridTo(QPoint position);
    void Point(QPoint position);
    void PaintNumbers(QPainter& painter, int blocks) const;
    void PaintStrip(QPainter& painter, int blocks) const;

    const VisibilityDocument& doc_;
    const MatrixGridModel& grid_;
    QTableView& view_;
    const QObject* viewport_;  // compared only
    QFont numberFont_;
    RelationPicture picture_;
    QImage image_;  // shares picture_'s pixels
    std::vector<int> sees_;
    int leastSeen_ = 0;
    int mostSeen_ = 0;
    bool dirty_ = true;
};

// The tool window around the canvas: the key of its colours and marks, and what the element
// under the pointer is ("7 sees 12, not seen back") with its column's block summary.
class OverviewWindow : public QWidget {
    Q_OBJECT

  public:
    OverviewWindow(const VisibilityDocument& doc, const MatrixGridModel& grid, QTableView& view,
                   QWidget* parent);

    OverviewCanvas& Canvas() { return *canvas_; }
    QString PairReadout() const;
    QString SummaryReadout() const;

    // Shows the window beside `main` where a side of the screen has room for it, with the key
    // under the picture where the side is too narrow for it to stand beside; else over `main`,
    // but never over its part above `controlsBottom` (global), where its controls are. Always
    // inside the screen's available area. Already shown, it stays where it is and is raised.
    void OpenBeside(const QWidget& main, int controlsBottom);
    bool KeyBelowPicture() const;

  protected:
    // The main window's shortcuts never act from here: Escape and F2 close this window, other
    // keys go to its own widgets.
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void ShowPointed(int column, int row);

    const VisibilityDocument& doc_;
    OverviewCanvas* canvas_ = nullptr;
    QLabel* pair_ = nullptr;
    QLabel* summary_ = nullptr;
    QBoxLayout* layout_ = nullptr;
    QPoint pointed_;  // (column, row) of the readout
};

}  // namespace lumark
