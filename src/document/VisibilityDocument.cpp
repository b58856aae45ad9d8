#include "VisibilityDocument.h"

#include "LumarkError.h"

namespace lumark {

void VisibilityMatrix::ThrowOutOfRange(int viewer, int seen) {
    throw LumarkError("subscript out of range: cell (" + std::to_string(viewer) + ", " +
                      std::to_string(seen) + ") is outside 0 to 300");
}

void VisibilityDocument::SetElement(int viewer, int seen, std::int16_t value) {
    const std::int16_t before = Matrix.Get(viewer, seen);
    if (before == value) {
        return;
    }
    Matrix.Set(viewer, seen, value);
    const ElementChange change{static_cast<std::int16_t>(viewer), static_cast<std::int16_t>(seen),
                               before, value};
    if (recorder_ != nullptr) {
        recorder_->Add(change);
    }
    if (watcher_ != nullptr) {
        watcher_->ElementChanged(change);
    }
}

void VisibilityDocument::ClearRow(int viewer) {
    if (recorder_ == nullptr && watcher_ == nullptr) {
        Matrix.ClearRow(viewer);  // nobody to tell: a read fills every row it reads this way
        return;
    }
    for (int seen = 1; seen < VisibilityMatrix::Size; ++seen) {
        SetElement(viewer, seen, False16);
    }
}

MatrixChangeRecorder::MatrixChangeRecorder(VisibilityDocument& doc)
    : doc_(doc), outer_(doc.recorder_) {
    doc.recorder_ = this;
}

MatrixChangeRecorder::~MatrixChangeRecorder() {
    doc_.recorder_ = outer_;
}

void VisibilityDocument::ThrowBlockOutOfRange(std::int32_t n) {
    throw LumarkError("subscript out of range: block " + std::to_string(n) +
                      " is outside 0 to 299");
}

}  // namespace lumark
