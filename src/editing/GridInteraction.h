#pragma once

#include <QPoint>
#include <Qt>
#include <cstdint>
#include <functional>
#include <vector>

#include "BlockSelection.h"
#include "MatrixGridModel.h"
#include "VisibilityDocument.h"

class QWidget;

namespace lumark {

class MatrixGridView;

// What the user does on the grid: key tracking, the cell action under the pointer and the
// column selection, which is the grid's BlockSelection.
//
// Pointer positions are kept in twips relative to the grid's viewport, using a whole number of
// twips per pixel so that a position converts back to exactly the pixel it came from.
class GridInteraction {
  public:
    // `container` is the grid's container (Picture1), whose painting is suspended around bulk
    // recolouring; `edgeSetting` reads the "Edge Setting" box afresh at every cell action.
    GridInteraction(VisibilityDocument& doc, MatrixGridModel& grid, MatrixGridView& view,
                    QWidget& container, std::function<bool()> edgeSetting);

    // Ctrl was held at the grid's last key-down; cleared by a key-up without Ctrl.
    bool CtrlKeyDown = false;
    // The selection's: set by every column-header click, never cleared. Until then nothing
    // clears the selection.
    bool& ColumnSelectionMade;
    float LastMouseX = 0;
    float LastMouseY = 0;
    // Where header ranges start: the block of the last header clicked without Shift, or of the
    // drag or keyboard extension that started one; and the block the last range ended at.
    // 0 before any.
    std::int16_t RangeAnchor = 0;
    std::int16_t RangeEnd = 0;

    // Shift is the bit set 1 Shift, 2 Ctrl, 4 Alt; KeyCode 65 is the key A.
    void ListView_KeyDown(std::int16_t KeyCode, std::int16_t Shift);
    void ListView_KeyUp(std::int16_t KeyCode, std::int16_t Shift);
    // X and Y in twips.
    void ListView_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    // The cell action; the window marks the file changed afterwards, also when no cell was hit.
    void ListView_Click();
    // The cell action at the last pointer position.
    void ListView_DblClick();
    // `subItem` is the clicked header's sub-item index: 0 for the label column, b for block b.
    void ListView_ColumnClick(int subItem);

    void SelectAllColumns();
    // Unselects the selected blocks, once a column header has been clicked.
    void ClearColumnSelection(bool Refresh);
    // The ranges and lists below replace the selection (or add to it) and count as a header
    // click: afterwards cell clicks and plain header clicks clear the selection first.
    //
    // Blocks `from` to `to` (1-based, either order) as they stand on screen, not across the seam.
    // `from` becomes the anchor.
    void SelectBlockRange(std::int16_t from, std::int16_t to, bool add);
    // Shift+click on the header of `block` (with `add`, Ctrl+Shift+click): from the anchor, which
    // stays; a click without an anchor selects the block alone.
    void SelectRangeTo(std::int16_t block, bool add);
    // Exactly `blocks` (1-based, ascending) become the selection.
    void SelectBlocks(const std::vector<std::int16_t>& blocks);
    void SelectNone();
    // Shift+Right (`step` 1) or Shift+Left (-1) with the focus on the diagonal of `block`: the
    // range from the anchor to the neighbouring block, as in a list. A focus away from where the
    // last range ended starts a new one there. Returns the block the focus moves to; at either
    // end of the grid it stays.
    std::int16_t ExtendSelection(std::int16_t block, int step);

    void SuspendGridRedraw();
    void ResumeGridRedraw();

    // Records a position the platform reported in viewport pixels, as a mouse move would.
    void PointerAt(QPoint viewportPixels);
    std::int32_t TwipsPerPixelX() const;
    std::int32_t TwipsPerPixelY() const;

  private:
    // Changes exactly the blocks whose selection differs from `wanted` (indexed by block).
    void ApplySelection(const std::vector<bool>& wanted);

    VisibilityDocument& doc_;
    MatrixGridModel& grid_;
    BlockSelection& selection_;
    MatrixGridView& view_;
    QWidget& container_;
    std::function<bool()> edgeSetting_;
};

// The platform's key and button state in the form the handlers take.
std::int16_t ShiftState(Qt::KeyboardModifiers modifiers);
std::int16_t ButtonState(Qt::MouseButtons buttons);
// Letters and digits keep their character code; Shift, Ctrl and Alt are 16, 17, 18; other keys
// are 0.
std::int16_t KeyCodeOf(int qtKey);
// Some platforms report the Ctrl key's own press with the Ctrl modifier and some without, and
// its release the other way round: the key itself decides.
std::int16_t KeyDownShift(int qtKey, Qt::KeyboardModifiers modifiers);
std::int16_t KeyUpShift(int qtKey, Qt::KeyboardModifiers modifiers);

}  // namespace lumark
