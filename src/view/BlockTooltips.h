#pragma once

#include "VisibilityDocument.h"

class QTableView;

namespace lumark {

// Gives each column header and each row label of `view` the summary of its block as its
// tooltip ("block 7: sees 5-9 (5), seen by 5-9 (5), 0 one-way"), worked out when asked for, so
// it always follows the document.
void ShowBlockSummaryTooltips(QTableView& view, const VisibilityDocument& doc);

}  // namespace lumark
