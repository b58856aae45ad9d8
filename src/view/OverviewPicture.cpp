#include "OverviewPicture.h"

#include <algorithm>
#include <utility>

#include "BlockSummary.h"

namespace lumark {

namespace {

constexpr int NumberGap = 4;

struct PixelPoint {
    int X = 0;
    int Y = 0;
};

void Fill(RelationPicture& picture, int x, int y, int side, Rgb colour) {
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min(x + side, picture.Width);
    const int bottom = std::min(y + side, picture.Height);
    for (int row = top; row < bottom; ++row) {
        std::uint8_t* pixel =
            picture.Pixels.data() + (static_cast<std::size_t>(row) * picture.Width + left) * 3;
        for (int column = left; column < right; ++column) {
            *pixel++ = colour.R;
            *pixel++ = colour.G;
            *pixel++ = colour.B;
        }
    }
}

}  // namespace

RelationPicture OverviewPicture(const VisibilityDocument& doc, int cellPixels) {
    cellPixels = std::max(cellPixels, 1);
    RelationPicture picture = RenderRelationPicture(doc, cellPixels, false);
    if (cellPixels >= OneWayPixels) {
        return picture;
    }
    // The widened square's first pixel, before the element's own: centred on it, or as near as
    // whole pixels allow. Widened squares only spill onto neighbours: every one-way element's
    // own square, then the diagonal, is drawn again over them.
    const int lead = (OneWayPixels - cellPixels + 1) / 2;
    std::vector<std::pair<PixelPoint, Rgb>> oneWay;
    for (int c = 1; c <= doc.BlockCount; ++c) {
        for (int r = 1; r <= doc.BlockCount; ++r) {
            const RelationKind kind = KindOf(doc, c, r);
            if (kind == RelationKind::SeesOnly || kind == RelationKind::SeenOnly) {
                oneWay.push_back({{(c - 1) * cellPixels, (r - 1) * cellPixels}, ColourOf(kind)});
            }
        }
    }
    for (const auto& [at, colour] : oneWay) {
        Fill(picture, at.X - lead, at.Y - lead, OneWayPixels, colour);
    }
    for (const auto& [at, colour] : oneWay) {
        Fill(picture, at.X, at.Y, cellPixels, colour);
    }
    const Rgb diagonal = ColourOf(RelationKind::Diagonal);
    for (int b = 1; b <= doc.BlockCount; ++b) {
        Fill(picture, (b - 1) * cellPixels, (b - 1) * cellPixels, cellPixels, diagonal);
    }
    return picture;
}

int NumberStep(int cellPixels, int numberPixels) {
    return 10 * cellPixels >= numberPixels + NumberGap ? 10 : 50;
}

std::vector<int> SeesCounts(const VisibilityDocument& doc) {
    std::vector<int> counts(static_cast<std::size_t>(std::max<int>(doc.BlockCount, 0)) + 1, 0);
    for (int b = 1; b <= doc.BlockCount; ++b) {
        counts[static_cast<std::size_t>(b)] = FiguresOf(doc, b).Sees;
    }
    return counts;
}

}  // namespace lumark
