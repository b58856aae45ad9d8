#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ElementChange.h"

namespace lumark {

constexpr std::int16_t True16 = -1;
constexpr std::int16_t False16 = 0;

// The visibility relation: cell (viewer, seen) is -1 when block `seen` is visible from block
// `viewer`. Both indices run 0..300; blocks occupy 1..BlockCount.
class VisibilityMatrix {
  public:
    static constexpr int Size = 301;
    static constexpr int MaxBlocks = Size - 1;

    VisibilityMatrix() : cells_(static_cast<std::size_t>(Size) * Size, False16) {}

    std::int16_t Get(int viewer, int seen) const { return cells_[Offset(viewer, seen)]; }

    friend bool operator==(const VisibilityMatrix& a, const VisibilityMatrix& b) {
        return a.cells_ == b.cells_;
    }

  private:
    // Elements change only through the document, which shows every change to its recorder.
    friend class VisibilityDocument;
    void Set(int viewer, int seen, std::int16_t value) { cells_[Offset(viewer, seen)] = value; }
    // Cells (viewer, 1..300) false.
    void ClearRow(int viewer) {
        std::fill_n(cells_.begin() + static_cast<std::ptrdiff_t>(Offset(viewer, 1)), MaxBlocks,
                    False16);
    }

    static std::size_t Offset(int viewer, int seen) {
        if (static_cast<unsigned>(viewer) >= static_cast<unsigned>(Size) ||
            static_cast<unsigned>(seen) >= static_cast<unsigned>(Size)) {
            ThrowOutOfRange(viewer, seen);
        }
        return static_cast<std::size_t>(viewer) * Size + static_cast<std::size_t>(seen);
    }
    [[noreturn]] static void ThrowOutOfRange(int viewer, int seen);

    std::vector<std::int16_t> cells_;
};

// One visibility file in memory: its relation, layout version and block count. Whoever owns
// the document's life keeps its path and whether it has unsaved changes.
class VisibilityDocument {
  public:
    VisibilityDocument() = default;
    // A copy is a new document: no recorder or watcher follows it.
    VisibilityDocument(const VisibilityDocument& other)
        : Matrix(other.Matrix), VersionText(other.VersionText), BlockCount(other.BlockCount) {}
    VisibilityDocument& operator=(const VisibilityDocument& other) {
        Matrix = other.Matrix;
        VersionText = other.VersionText;
        BlockCount = other.BlockCount;
        return *this;
    }

    VisibilityMatrix Matrix;
    std::string VersionText;  // bytes of the version as read; "1.000000" or "1.2" after a read
    std::int16_t BlockCount = 0;

    bool IsVisible(int viewer, int seen) const { return Matrix.Get(viewer, seen) == True16; }
    // The one way to change an element, so that the recording edit sees every change.
    void SetElement(int viewer, int seen, std::int16_t value);
    // Sets cells (viewer, 1..300) false; cell (viewer, 0) is left alone.
    void ClearRow(int viewer);
    // n is a 0-based file block number: marks cell (viewer, n + 1).
    void MarkVisible(int viewer, std::int32_t n) {
        if (n < -1 || n >= VisibilityMatrix::MaxBlocks) {
            ThrowBlockOutOfRange(n);
        }
        if (recorder_ == nullptr && watcher_ == nullptr) {
            Matrix.Set(viewer, static_cast<int>(n) + 1, True16);  // nobody to tell: a read
            return;
        }
        SetElement(viewer, static_cast<int>(n) + 1, True16);
    }

    // The recorder collecting this document's changes, if any.
    MatrixChangeRecorder* Recorder() const { return recorder_; }
    // Tells `watcher` of every change from now on; nullptr for nobody. An assignment keeps it.
    void Watch(ElementWatcher* watcher) { watcher_ = watcher; }

  private:
    friend class MatrixChangeRecorder;
    [[noreturn]] static void ThrowBlockOutOfRange(std::int32_t n);

    MatrixChangeRecorder* recorder_ = nullptr;  // the innermost live one
    ElementWatcher* watcher_ = nullptr;
};

}  // namespace lumark
