#include "GridInteraction.h"

#include <QWidget>
#include <algorithm>
#include <utility>

#include "LumarkError.h"
#include "MatrixEdits.h"
#include "MatrixGridView.h"
#include "Rounding.h"

namespace lumark {

namespace {

constexpr std::int16_t ShiftBit = 1;
constexpr std::int16_t CtrlBit = 2;
constexpr std::int16_t AltBit = 4;
constexpr std::int16_t KeyA = 65;

std::int32_t TwipsPerPixel(int logicalDpi) {
    const auto twips = RoundHalfEven<std::int32_t>(1440.0 / (logicalDpi > 0 ? logicalDpi : 96));
    return twips && *twips > 0 ? *twips : 1;
}

std::int32_t WholeTwips(float twips) {
    const auto whole = RoundHalfEven<std::int32_t>(twips);
    if (!whole) {
        throw LumarkError("pointer position " + std::to_string(twips) + " overflows");
    }
    return *whole;
}

}  // namespace

GridInteraction::GridInteraction(VisibilityDocument& doc, MatrixGridModel& grid,
                                 MatrixGridView& view, QWidget& container,
                                 std::function<bool()> edgeSetting)
    : ColumnSelectionMade(grid.Selection().ColumnSelectionMade),
      doc_(doc),
      grid_(grid),
      selection_(grid.Selection()),
      view_(view),
      container_(container),
      edgeSetting_(std::move(edgeSetting)) {}

void GridInteraction::ListView_KeyDown(std::int16_t KeyCode, std::int16_t Shift) {
    if ((Shift & CtrlBit) == 0) {
        return;
    }
    CtrlKeyDown = true;
    if (KeyCode == KeyA) {
        SelectAllColumns();
    }
}

void GridInteraction::ListView_KeyUp(std::int16_t /*KeyCode*/, std::int16_t Shift) {
    if ((Shift & CtrlBit) == 0) {
        CtrlKeyDown = false;
    }
}

void GridInteraction::ListView_MouseMove(std::int16_t /*Button*/, std::int16_t /*Shift*/, float X,
                                         float Y) {
    LastMouseX = X;
    LastMouseY = Y;
}

void GridInteraction::ListView_Click() {
    ListView_DblClick();
}

void GridInteraction::ListView_DblClick() {
    const QPoint point(WholeTwips(LastMouseX) / TwipsPerPixelX(),
                       WholeTwips(LastMouseY) / TwipsPerPixelY());
    const QModelIndex hit = view_.indexAt(point);
    if (!hit.isValid()) {
        return;  // no row under the pointer
    }
    ClearColumnSelection(true);
    std::int16_t c = static_cast<std::int16_t>(hit.column());
    std::int16_t r = static_cast<std::int16_t>(hit.row() + 1);
    if (c == 0) {
        return;  // the label column shows no element
    }
    if (edgeSetting_()) {
        SetVisibilityEdge(doc_, c, r);
    } else {
        ToggleVisibilityCell(doc_, c, r);
    }
}

void GridInteraction::ListView_ColumnClick(int subItem) {
    if (subItem == 0) {
        SelectAllColumns();
    } else {
        if (!CtrlKeyDown) {
            ClearColumnSelection(false);
        }
        ListViewFunktionen::SetListViewForeColor(selection_, SelectedColour, subItem + 1);
        RangeAnchor = RangeEnd = static_cast<std::int16_t>(subItem);
    }
    ColumnSelectionMade = true;
}

void GridInteraction::SelectAllColumns() {
    SuspendGridRedraw();
    const std::int16_t n = doc_.BlockCount;
    for (std::int16_t b = 1; b <= n; ++b) {
        ListViewFunktionen::SetListViewForeColor(selection_, SelectedColour, b + 1);
    }
    ResumeGridRedraw();
    grid_.Refresh();
}

void GridInteraction::ClearColumnSelection(bool Refresh) {
    if (!ColumnSelectionMade) {
        return;
    }
    // Only the selected columns change, so only they are repainted. No redraw suspension:
    // switching the container back on would repaint all of it, and the grid shows the change as
    // one update anyway.
    const std::int16_t n = doc_.BlockCount;
    for (std::int16_t b = 1; b <= n; ++b) {
        if (SelectedBlock(selection_, b)) {
            ListViewFunktionen::SetListViewForeColor(selection_, NormalColour, b + 1);
        }
    }
    if (Refresh) {
        grid_.Refresh();
    }
}

void GridInteraction::SelectBlockRange(std::int16_t from, std::int16_t to, bool add) {
    const std::int16_t n = doc_.BlockCount;
    std::vector<bool> wanted(static_cast<std::size_t>(n) + 1, false);
    for (std::int16_t b = 1; b <= n; ++b) {
        const bool inRange = b >= std::min(from, to) && b <= std::max(from, to);
        wanted[static_cast<std::size_t>(b)] = inRange || (add && SelectedBlock(selection_, b));
    }
    ApplySelection(wanted);
    RangeAnchor = from;
    RangeEnd = to;
}

void GridInteraction::SelectRangeTo(std::int16_t block, bool add) {
    const bool anchored = RangeAnchor >= 1 && RangeAnchor <= doc_.BlockCount;
    SelectBlockRange(anchored ? RangeAnchor : block, block, add);
}

void GridInteraction::SelectBlocks(const std::vector<std::int16_t>& blocks) {
    std::vector<bool> wanted(static_cast<std::size_t>(doc_.BlockCount) + 1, false);
    for (const std::int16_t b : blocks) {
        if (b >= 1 && b <= doc_.BlockCount) {
            wanted[static_cast<std::size_t>(b)] = true;
        }
    }
    ApplySelection(wanted);
}

void GridInteraction::SelectNone() {
    ApplySelection(std::vector<bool>(static_cast<std::size_t>(doc_.BlockCount) + 1, false));
}

std::int16_t GridInteraction::ExtendSelection(std::int16_t block, int step) {
    if (block != RangeEnd || RangeAnchor < 1 || RangeAnchor > doc_.BlockCount) {
        RangeAnchor = block;
    }
    const int next = block + step;
    const auto to = static_cast<std::int16_t>(next >= 1 && next <= doc_.BlockCount ? next : block);
    SelectBlockRange(RangeAnchor, to, false);
    return to;
}

void GridInteraction::ApplySelection(const std::vector<bool>& wanted) {
    for (std::int16_t b = 1; b <= doc_.BlockCount; ++b) {
        if (SelectedBlock(selection_, b) != wanted[static_cast<std::size_t>(b)]) {
            ListViewFunktionen::SetListViewForeColor(
                selection_, wanted[static_cast<std::size_t>(b)] ? SelectedColour : NormalColour,
                b + 1);
        }
    }
    grid_.Refresh();
    ColumnSelectionMade = true;
}

void GridInteraction::SuspendGridRedraw() {
    container_.setUpdatesEnabled(false);
}

void GridInteraction::ResumeGridRedraw() {
    container_.setUpdatesEnabled(true);
}

void GridInteraction::PointerAt(QPoint viewportPixels) {
    LastMouseX = static_cast<float>(viewportPixels.x() * TwipsPerPixelX());
    LastMouseY = static_cast<float>(viewportPixels.y() * TwipsPerPixelY());
}

std::int32_t GridInteraction::TwipsPerPixelX() const {
    return TwipsPerPixel(view_.logicalDpiX());
}

std::int32_t GridInteraction::TwipsPerPixelY() const {
    return TwipsPerPixel(view_.logicalDpiY());
}

std::int16_t ShiftState(Qt::KeyboardModifiers modifiers) {
    std::int16_t shift = 0;
    shift |= modifiers.testFlag(Qt::ShiftModifier) ? ShiftBit : 0;
    shift |= modifiers.testFlag(Qt::ControlModifier) ? CtrlBit : 0;
    shift |= modifiers.testFlag(Qt::AltModifier) ? AltBit : 0;
    return shift;
}

std::int16_t ButtonState(Qt::MouseButtons buttons) {
    std::int16_t button = 0;
    button |= buttons.testFlag(Qt::LeftButton) ? 1 : 0;
    button |= buttons.testFlag(Qt::RightButton) ? 2 : 0;
    button |= buttons.testFlag(Qt::MiddleButton) ? 4 : 0;
    return button;
}

std::int16_t KeyCodeOf(int qtKey) {
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
        return static_cast<std::int16_t>(qtKey);
    }
    switch (qtKey) {
        case Qt::Key_Shift:
            return 16;
        case Qt::Key_Control:
            return 17;
        case Qt::Key_Alt:
            return 18;
        default:
            return 0;
    }
}

std::int16_t KeyDownShift(int qtKey, Qt::KeyboardModifiers modifiers) {
    const std::int16_t shift = ShiftState(modifiers);
    return qtKey == Qt::Key_Control ? static_cast<std::int16_t>(shift | CtrlBit) : shift;
}

std::int16_t KeyUpShift(int qtKey, Qt::KeyboardModifiers modifiers) {
    const std::int16_t shift = ShiftState(modifiers);
    return qtKey == Qt::Key_Control ? static_cast<std::int16_t>(shift & ~CtrlBit) : shift;
}

}  // namespace lumark
