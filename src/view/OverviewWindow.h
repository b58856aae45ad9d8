#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QWidget>

#include "ListViewModel.h"
#include "RelationPicture.h"
#include "VisibilityDocument.h"

class QTableView;

namespace lumark {

// The whole relation at once, oriented like the grid (column c the viewing block, row r the
// block seen), one square per element; on top, the selected columns and the part of the matrix
// the grid shows now. Pressing or dragging scrolls the grid to the element under the pointer.
class OverviewCanvas : public QWidget {
    Q_OBJECT

  public:
    OverviewCanvas(const VisibilityDocument& doc, const ListViewModel& grid, QTableView& view,
                   QWidget* parent = nullptr);

    // Computes the picture now instead of at the next paint.
    void Render();
    // Side of one element's square, and where element (c, r) is drawn, in canvas pixels.
    int CellPixels() const;
    QRect CellRect(int column, int row) const;
    // The part of the matrix the grid shows now, in canvas pixels.
    QRectF ShownPart() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int Blocks() const;
    QPoint Origin() const;
    void Invalidate();
    void ScrollGridTo(QPoint position);

    const VisibilityDocument& doc_;
    const ListViewModel& grid_;
    QTableView& view_;
    const QObject* viewport_;  // compared only
    RelationPicture picture_;
    QImage image_;  // shares picture_'s pixels
    bool dirty_ = true;
};

// The tool window around the canvas, with the key of its colours and marks.
class OverviewWindow : public QWidget {
    Q_OBJECT

  public:
    OverviewWindow(const VisibilityDocument& doc, const ListViewModel& grid, QTableView& view,
                   QWidget* parent);

    OverviewCanvas& Canvas() { return *canvas_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    OverviewCanvas* canvas_ = nullptr;
};

}  // namespace lumark
