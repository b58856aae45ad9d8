#pragma once

#include <cstdint>
#include <vector>

#include "VisibilityDocument.h"

namespace lumark {

// What element (c, r) of the relation is, seen together with its mirror (r, c).
enum class RelationKind : std::uint8_t {
    Diagonal,  // c == r
    Mutual,    // c sees r and r sees c
    Neither,   // neither sees the other
    SeesOnly,  // c sees r, r does not see c
    SeenOnly,  // c does not see r, r sees c
};

struct Rgb {
    std::uint8_t R = 0, G = 0, B = 0;
    friend bool operator==(Rgb a, Rgb b) { return a.R == b.R && a.G == b.G && a.B == b.B; }
};

// c and r are 1-based block indices in 1..BlockCount.
RelationKind KindOf(const VisibilityDocument& doc, int c, int r);
// The one colour of each kind, shared by the window and the tool.
Rgb ColourOf(RelationKind kind);
// The legend's wording of each kind.
const char* NameOf(RelationKind kind);

// The relation as RGB pixels, row-major, 3 bytes a pixel: column c (the viewing block) and row
// r (the block seen) in a square of `cellPixels` at x = (c - 1) * cellPixels, y = (r - 1) *
// cellPixels. With `legend`, block numbers stand under the matrix and to its right, every 10
// or 50 blocks (whichever fits), each with a tick at its block, and a key of the five colours
// follows on the right; both are drawn at least 2 pixels a dot, so that they read beside cells
// of 1 pixel.
struct RelationPicture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Pixels;
};
RelationPicture RenderRelationPicture(const VisibilityDocument& doc, int cellPixels, bool legend);

}  // namespace lumark
