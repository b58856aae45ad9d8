#pragma once

#include <QPoint>
#include <QTableView>
#include <optional>

namespace lumark {

class MatrixGridModel;

// The grid on screen: a table view over the MatrixGridModel with fixed column widths and row
// heights (sizing 300 columns to their contents would cost most of a second), scrolled sideways
// by whole columns (a column cut at the end of the scroll shows no text). It reports the pointer
// and key events of the list view it stands in for, in viewport pixels. A header click only reports
// the column: it neither moves the current cell nor scrolls.
class MatrixGridView : public QTableView {
    Q_OBJECT

  public:
    explicit MatrixGridView(QWidget* parent = nullptr);

    void SetListViewModel(MatrixGridModel* model);
    MatrixGridModel* ListViewModelPtr() const { return listModel_; }

    // Whether the current cell is drawn only while the grid has the focus.
    void SetHideSelection(bool hide);
    bool HideSelection() const { return hideSelection_; }

  signals:
    void ViewportMouseMoved(QPoint position, Qt::MouseButtons buttons,
                            Qt::KeyboardModifiers modifiers);
    // A press and release on the viewport.
    void ViewportClicked(QPoint position);
    void ViewportDoubleClicked(QPoint position);
    void GridKeyPressed(int key, Qt::KeyboardModifiers modifiers);
    void GridKeyReleased(int key, Qt::KeyboardModifiers modifiers);
    // Space on the grid, after GridKeyPressed; the table does nothing else with it.
    void GridSpacePressed(Qt::KeyboardModifiers modifiers);

  protected:
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    // Where the user stood before a reset that keeps the place: scroll values and focused cell.
    struct Place {
        int Horizontal = 0;
        int Vertical = 0;
        int Row = -1;
        int Column = -1;
    };

    void ApplyColumnWidths();
    void FocusFirstBlock();
    void TakePlace();
    void ReturnToPlace();

    std::optional<Place> place_;

    MatrixGridModel* listModel_ = nullptr;
    bool hideSelection_ = true;
    bool pressed_ = false;
};

}  // namespace lumark
