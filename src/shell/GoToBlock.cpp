#include "GoToBlock.h"

#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QTableView>

#include "RepeatedQuestion.h"
#include "TextTrim.h"

namespace lumark {

namespace {

const char* const Title = "Go to Block";

}  // namespace

std::optional<int> BlockFromReply(const std::string& reply, int blockCount) {
    const std::string_view digits = TrimWhiteSpace(reply);
    if (digits.empty() || digits.size() > 9) {  // nine digits cannot overflow
        return std::nullopt;
    }
    long number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + (c - '0');
    }
    if (number >= blockCount) {
        return std::nullopt;
    }
    return static_cast<int>(number) + 1;
}

void GoToBlock(UserDialogs& dialogs, const VisibilityDocument& doc, QTableView& view) {
    if (doc.BlockCount < 1) {
        dialogs.MsgBox("There are no blocks to go to: no file is loaded.", Title,
                       UserDialogs::vbOKOnly + UserDialogs::vbExclamation);
        return;
    }
    const std::string last = std::to_string(doc.BlockCount - 1);
    std::optional<int> block;
    const auto refusal = [&](const std::string& reply) {
        block = BlockFromReply(reply, doc.BlockCount);
        return block ? std::string()
                     : "There is no block " + std::string(TrimWhiteSpace(reply)) +
                           " in this file; its blocks are 0 to " + last + ".";
    };
    if (!AskUntilTaken(dialogs, "Block number (0 to " + last + "):", Title, "", refusal)) {
        return;
    }
    QAbstractItemModel* grid = view.model();
    if (grid == nullptr || *block > grid->rowCount() || *block >= grid->columnCount()) {
        return;  // the grid is not built for this document
    }
    // The block's diagonal cell lies in both its column and its row. It takes the focus, so
    // the next arrow key starts there, and the pointer panel says the block's summary.
    const QModelIndex diagonal = grid->index(*block - 1, *block);
    view.selectionModel()->setCurrentIndex(diagonal, QItemSelectionModel::NoUpdate);
    view.scrollTo(diagonal, QAbstractItemView::PositionAtCenter);
    view.setFocus(Qt::ShortcutFocusReason);
}

}  // namespace lumark
