#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace lumark {

// One element as an edit changed it: its indices as the edit used them, and its values.
struct ElementChange {
    std::int16_t Column;
    std::int16_t Row;
    std::int16_t Before;
    std::int16_t After;
};

// The net effect of changes made one after the other: each element once, with its first value
// before and last value after, in the order first changed; elements back at their value dropped.
std::vector<ElementChange> NetChanges(const std::vector<ElementChange>& changes);

// The cell an edit was aimed at, whether or not it changed an element there.
struct CellEdit {
    enum class Kind { Toggle, Edge };
    Kind Operation;
    std::int16_t Column;
    std::int16_t Row;
};

class VisibilityDocument;

// Hears every element a document changes, as it changes, for as long as it watches: a view
// repaints what changed without being told by each edit.
class ElementWatcher {
  public:
    virtual void ElementChanged(const ElementChange& change) = 0;

  protected:
    ~ElementWatcher() = default;
};

// While it lives, collects every element changed in one document, in the order they change.
// An element written with the value it already holds is no change. Recorders nest: the
// innermost one for the document collects until it ends.
class MatrixChangeRecorder {
  public:
    explicit MatrixChangeRecorder(VisibilityDocument& doc);
    ~MatrixChangeRecorder();
    MatrixChangeRecorder(const MatrixChangeRecorder&) = delete;
    MatrixChangeRecorder& operator=(const MatrixChangeRecorder&) = delete;

    const std::vector<ElementChange>& Changes() const { return changes_; }
    std::vector<ElementChange> TakeChanges() { return std::move(changes_); }
    // The first cell edit made while recording, whether or not it changed an element.
    const std::optional<CellEdit>& FirstCellEdit() const { return firstCellEdit_; }

    void Add(const ElementChange& change) { changes_.push_back(change); }
    void Note(const CellEdit& edit) {
        if (!firstCellEdit_) {
            firstCellEdit_ = edit;
        }
    }

  private:
    VisibilityDocument& doc_;
    MatrixChangeRecorder* outer_;
    std::vector<ElementChange> changes_;
    std::optional<CellEdit> firstCellEdit_;
};

}  // namespace lumark
