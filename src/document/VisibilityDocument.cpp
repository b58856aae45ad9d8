#include "VisibilityDocument.h"

#include "LumarkError.h"

namespace lumark {

void VisibilityMatrix::ThrowOutOfRange(int viewer, int seen) {
    throw LumarkError("subscript out of range: cell (" + std::to_string(viewer) + ", " +
                      std::to_string(seen) + ") is outside 0 to 300");
}

void VisibilityDocument::ClearRow(int viewer) {
    for (int seen = 1; seen < VisibilityMatrix::Size; ++seen) {
        Matrix.Set(viewer, seen, False16);
    }
}

void VisibilityDocument::ThrowBlockOutOfRange(std::int32_t n) {
    throw LumarkError("subscript out of range: block " + std::to_string(n) +
                      " is outside 0 to 299");
}

}  // namespace lumark
