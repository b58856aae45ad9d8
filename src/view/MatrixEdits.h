#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "ListViewModel.h"
#include "VisibilityDocument.h"

namespace lumark {

// The edits of the visibility relation. Each changed element's cell is rewritten through
// RefreshMatrixCell; colours are never touched. None of them sets UnsavedChanges except
// MakeVisibilityMutual, which has no caller that would.

// Inverts element (column, row) and rewrites its cell. The indices are not wrapped for the
// element (outside 0..300 is a LumarkError); RefreshMatrixCell may store wrapped values back
// into the caller's variables.
void ToggleVisibilityCell(VisibilityDocument& doc, ListViewModel& grid, std::int16_t& column,
                          std::int16_t& row);

// Makes block `row` the edge of block `column`'s view on its side of the ring: the path from
// the column's block up to and including `row` becomes visible, and the blocks beyond it, up
// to the limit a third of the ring away, become invisible. A click at or beyond that limit
// sets the path and clears nothing. Both indices must lie in 1..BlockCount; neither is changed.
void SetVisibilityEdge(VisibilityDocument& doc, ListViewModel& grid, std::int16_t& column,
                       std::int16_t& row);

// "Cross Fw & Bw": whenever block i sees block j, block j is made to see block i, and every
// mirror element is rewritten. Sets UnsavedChanges when at least one element changed (else
// leaves it as it was) and returns the number of elements changed.
int MakeVisibilityMutual(VisibilityDocument& doc, ListViewModel& grid);

// The counterpart of "Cross Fw & Bw": every pair of blocks seen only one way becomes seen
// neither way; pairs seen both ways and the diagonal stay. Leaves UnsavedChanges to the edit
// history and returns the number of elements cleared.
int RemoveOneWayVisibility(VisibilityDocument& doc, ListViewModel& grid);

// One element as an edit changed it: its indices as the edit used them, and its values.
struct ElementChange {
    std::int16_t Column;
    std::int16_t Row;
    std::int16_t Before;
    std::int16_t After;
};

// A call of ToggleVisibilityCell or SetVisibilityEdge, with the indices its caller gave.
struct CellEdit {
    enum class Kind { Toggle, Edge };
    Kind Operation;
    std::int16_t Column;
    std::int16_t Row;
};

// While it lives, collects every element that the edits in this file change in one document,
// in the order they change. An element written with the value it already holds is no change.
// Recorders nest: the innermost one for the document collects until it ends.
class MatrixChangeRecorder {
  public:
    explicit MatrixChangeRecorder(const VisibilityDocument& doc);
    ~MatrixChangeRecorder();
    MatrixChangeRecorder(const MatrixChangeRecorder&) = delete;
    MatrixChangeRecorder& operator=(const MatrixChangeRecorder&) = delete;

    const std::vector<ElementChange>& Changes() const { return changes_; }
    std::vector<ElementChange> TakeChanges() { return std::move(changes_); }
    // The first cell edit made while recording, whether or not it changed an element.
    const std::optional<CellEdit>& FirstCellEdit() const { return firstCellEdit_; }

    // The recorder collecting edits of `doc`, if any.
    static MatrixChangeRecorder* For(const VisibilityDocument& doc);
    void Add(const ElementChange& change) { changes_.push_back(change); }
    void Note(const CellEdit& edit);

  private:
    const VisibilityDocument& doc_;
    MatrixChangeRecorder* outer_;
    std::vector<ElementChange> changes_;
    std::optional<CellEdit> firstCellEdit_;
};

// Sets each changed element back to its value before (Undo, last change first) or again to its
// value after (Redo, in the order made), rewriting its cell as the edit did.
enum class Replay { Undo, Redo };
void ReplayElementChanges(VisibilityDocument& doc, ListViewModel& grid,
                          const std::vector<ElementChange>& changes, Replay direction);

}  // namespace lumark
