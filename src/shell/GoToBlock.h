#pragma once

#include <optional>
#include <string>

#include "UserDialogs.h"
#include "VisibilityDocument.h"

class QTableView;

namespace lumark {

// The reply of the go-to box as a 1-based block index of a file of `blockCount` blocks; the
// reply is a 0-based file number, blanks around it allowed. Empty for anything else.
std::optional<int> BlockFromReply(const std::string& reply, int blockCount);

// Asks for a block number, scrolls `view` so that the block's column and row are in view and
// moves the grid's focus to the block's diagonal cell, changing nothing else. A cancelled or blank
// reply does nothing; a reply that names no block of the file is refused with a message and asked
// again, and the command while no blocks are loaded is refused.
void GoToBlock(UserDialogs& dialogs, const VisibilityDocument& doc, QTableView& view);

}  // namespace lumark
