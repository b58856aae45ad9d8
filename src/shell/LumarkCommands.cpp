// The window's routine edits of many blocks at once: ranges and lists of blocks, an exact view
// distance and one-way links removed; and the wiring of every command of WindowCommands.cpp.
#include <algorithm>

#include "BlockRanges.h"
#include "CommandMenu.h"
#include "EditHistory.h"
#include "GridInteraction.h"
#include "GridStatusPanels.h"
#include "GridStatusText.h"
#include "HeaderRanges.h"
#include "LumarkMain.h"
#include "MatrixEdits.h"
#include "MatrixGridView.h"
#include "RepeatedQuestion.h"
#include "TextTrim.h"
#include "UserDialogs.h"
#include "ViewDistance.h"
#include "WindowCommands.h"

namespace lumark {

namespace {

const char* const SelectBlocksTitle = "Select blocks";
const char* const SetDistanceTitle = "Set distance";

}  // namespace

void LumarkMain::ConnectCommands() {
    ConnectWindowCommands(*this);
    ConnectHeaderRanges(*this);
    ConnectCommandMenu(*this);
    // What Remove one-way reports stands until the next edit, undo or redo.
    connect(&History(), &EditHistory::Changed, statusPanels_, &GridStatusPanels::ClearNote);
    ListView->setAccessibleDescription(
        ListView->accessibleDescription() +
        WithKeys(" {ClickCell} toggles the focused cell, {SelectColumn} selects its column, "
                 "{AddColumn} adds its column to the selection. Plus and minus increase and "
                 "decrease the selected blocks' view; Shift+Right and Shift+Left on a diagonal "
                 "cell extend the selection."));
}

void LumarkMain::SelectBlocks_Key() {
    RunGuarded([this] {
        if (doc_.BlockCount < 1) {
            dialogs_.MsgBox("There are no blocks to select: no file is loaded.", SelectBlocksTitle,
                            UserDialogs::vbOKOnly + UserDialogs::vbExclamation);
            return;
        }
        BlockList list;
        const auto refusal = [&](const std::string& reply) {
            list = ReadBlockList(reply, doc_.BlockCount);
            return list.Problem.empty() ? std::string()
                                        : list.Problem + "\nThe selection has not changed.";
        };
        if (!AskUntilTaken(dialogs_,
                           "Blocks to select (0 to " + std::to_string(doc_.BlockCount - 1) +
                               "), such as 100-140 or 3, 7, 10-12;\n290-5 runs across the seam:",
                           SelectBlocksTitle, "", refusal)) {
            return;  // cancelled
        }
        interaction_->SelectBlocks(list.Blocks);
        // The first of them comes into view as Go to block shows a block: at its diagonal.
        const std::int16_t first = list.Blocks.front();
        ListView->scrollTo(grid_->index(first - 1, first), QAbstractItemView::PositionAtCenter);
    });
}

void LumarkMain::SelectNone_Key() {
    RunGuarded([this] { interaction_->SelectNone(); });
}

void LumarkMain::SetDistance_Key() {
    RunGuarded([this] {
        const std::int16_t n = doc_.BlockCount;
        if (n < 1) {
            return;
        }
        const QString selected = SelectionCountText(*grid_, n);
        if (selected.isEmpty()) {
            dialogs_.MsgBox(
                WithKeys("No block is selected. Select blocks first: click or Shift+click their "
                         "headers, or use Select blocks\u2026 ({SelectBlocks}).")
                    .toStdString(),
                SetDistanceTitle, UserDialogs::vbOKOnly + UserDialogs::vbExclamation);
            return;
        }
        const std::string most = std::to_string(n / 2);
        std::optional<std::int16_t> d;
        const auto refusal = [&](const std::string& reply) {
            d = ViewDistance::ExactDistanceFromReply(reply, n);
            return d ? std::string()
                     : "\"" + std::string(TrimWhiteSpace(reply)) +
                           "\" is not a distance from 0 to " + most + ".\nNothing has changed.";
        };
        if (!AskUntilTaken(dialogs_,
                           "Blocks that each selected block sees on each side, exactly\n(" +
                               selected.toStdString() + "; a number from 0 to " + most + "):",
                           SetDistanceTitle, "", refusal)) {
            return;
        }
        History().Record(History().SelectedBlocksText(QStringLiteral("Set distance %1").arg(*d)),
                         [&] { ViewDistance::SetExactSelected(doc_, grid_->Selection(), *d); });
    });
}

void LumarkMain::RemoveOneWay_Key() {
    RunGuarded([this] {
        if (doc_.BlockCount < 1) {
            return;
        }
        int removed = 0;
        History().Record(QStringLiteral("Remove one-way"),
                         [&] { removed = RemoveOneWayVisibility(doc_); });
        statusPanels_->ShowNote(
            QStringLiteral("Removed %1").arg(removed),
            removed == 1 ? QStringLiteral("Remove one-way removed 1 entry seen only one way")
                         : QStringLiteral("Remove one-way removed %1 entries seen only one way")
                               .arg(removed));
    });
}

void LumarkMain::HeaderRange_Click(int subItem, bool add) {
    RunGuarded([&] {
        if (subItem >= 1 && subItem <= doc_.BlockCount) {
            interaction_->SelectRangeTo(static_cast<std::int16_t>(subItem), add);
        }
    });
}

void LumarkMain::HeaderDrag(int pressedSubItem, int releasedSubItem, bool add) {
    RunGuarded([&] {
        const int n = doc_.BlockCount;
        if (n < 1) {
            return;
        }
        // The label column's header stands before the first block.
        interaction_->SelectBlockRange(static_cast<std::int16_t>(std::clamp(pressedSubItem, 1, n)),
                                       static_cast<std::int16_t>(std::clamp(releasedSubItem, 1, n)),
                                       add);
    });
}

std::int16_t LumarkMain::ExtendSelection_Key(std::int16_t block, int step) {
    std::int16_t to = block;
    RunGuarded([&] { to = interaction_->ExtendSelection(block, step); });
    return to;
}

}  // namespace lumark
