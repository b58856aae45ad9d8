#include "MatrixEdits.h"

#include <cmath>
#include <string>

#include "LumarkError.h"
#include "LumarkModule.h"

namespace lumark {

namespace {

void NoteCellEdit(const VisibilityDocument& doc, CellEdit::Kind kind, std::int16_t column,
                  std::int16_t row) {
    if (MatrixChangeRecorder* recorder = doc.Recorder()) {
        recorder->Note({kind, column, row});
    }
}

// Where the cell of an edit aimed across the seam lies.
void WrapCell(const VisibilityDocument& doc, std::int16_t& column, std::int16_t& row) {
    if (column != 0 && row != 0) {
        column = LumarkModule::WrapBlockIndex(column, doc.BlockCount);
        row = LumarkModule::WrapBlockIndex(row, doc.BlockCount);
    }
}

}  // namespace

void ReplayElementChanges(VisibilityDocument& doc, const std::vector<ElementChange>& changes,
                          Replay direction) {
    const auto apply = [&](const ElementChange& change, std::int16_t value) {
        doc.SetElement(change.Column, change.Row, value);
    };
    if (direction == Replay::Undo) {
        for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
            apply(*change, change->Before);
        }
    } else {
        for (const ElementChange& change : changes) {
            apply(change, change.After);
        }
    }
}

void ToggleVisibilityCell(VisibilityDocument& doc, std::int16_t& column, std::int16_t& row) {
    NoteCellEdit(doc, CellEdit::Kind::Toggle, column, row);
    const std::int16_t element = doc.Matrix.Get(column, row);
    doc.SetElement(column, row, static_cast<std::int16_t>(~element));
    WrapCell(doc, column, row);
}

void SetVisibilityEdge(VisibilityDocument& doc, std::int16_t& column, std::int16_t& row) {
    NoteCellEdit(doc, CellEdit::Kind::Edge, column, row);
    const std::int16_t n = doc.BlockCount;
    // Outside the ring the walks below would never meet their end.
    if (column < 1 || column > n || row < 1 || row > n) {
        throw LumarkError("block index (" + std::to_string(column) + ", " + std::to_string(row) +
                          ") is outside 1.." + std::to_string(n));
    }
    std::int16_t c = column;
    const std::int16_t r = row;
    const int behind = c - r < 0 ? c - r + n : c - r;  // steps forward from r to c
    const int ahead = r - c < 0 ? r - c + n : r - c;   // steps forward from c to r
    // A tie, r = c included, counts as ahead.
    const int step = behind < ahead ? 1 : -1;

    std::int16_t x = r;
    while (x != c) {
        doc.SetElement(c, x, True16);
        x = LumarkModule::WrapBlockIndex(static_cast<std::int16_t>(x + step), n);
    }

    int limit = static_cast<int>(std::floor(c - step * static_cast<double>(n) / 3.0));
    if (limit < 1) {
        limit += n;
    } else if (limit > n) {
        limit -= n;
    }
    const int pathLength = step == 1 ? behind : ahead;
    const int limitDistance = step == 1 ? (c - limit + n) % n : (limit - c + n) % n;
    // A click at or beyond the limit: the clearing walk would run around the ring, through the
    // column's own block and back over the path just set.
    if (pathLength >= limitDistance) {
        return;
    }
    x = LumarkModule::WrapBlockIndex(static_cast<std::int16_t>(r - step), n);
    while (x != limit) {
        doc.SetElement(c, x, False16);
        x = LumarkModule::WrapBlockIndex(static_cast<std::int16_t>(x - step), n);
    }
}

int MakeVisibilityMutual(VisibilityDocument& doc) {
    int changed = 0;
    for (std::int16_t i = 1; i <= doc.BlockCount; ++i) {
        for (std::int16_t j = 1; j <= doc.BlockCount; ++j) {
            if (doc.Matrix.Get(i, j) != True16) {
                continue;
            }
            if (doc.Matrix.Get(j, i) != True16) {
                ++changed;
                doc.SetElement(j, i, True16);
            }
        }
    }
    return changed;
}

int RemoveOneWayVisibility(VisibilityDocument& doc) {
    int removed = 0;
    for (std::int16_t i = 1; i <= doc.BlockCount; ++i) {
        for (std::int16_t j = i + 1; j <= doc.BlockCount; ++j) {
            const bool forward = doc.Matrix.Get(i, j) == True16;
            if (forward == (doc.Matrix.Get(j, i) == True16)) {
                continue;
            }
            doc.SetElement(forward ? i : j, forward ? j : i, False16);
            ++removed;
        }
    }
    return removed;
}

}  // namespace lumark
