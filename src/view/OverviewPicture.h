#pragma once

#include <vector>

#include "RelationPicture.h"
#include "VisibilityDocument.h"

namespace lumark {

// The least side, in pixels, of a one-way element in the Overview, whatever the zoom.
constexpr int OneWayPixels = 3;

// The relation as the Overview shows it: the squares of RenderRelationPicture, each one-way
// element widened to OneWayPixels around its own square where that is smaller, and the diagonal
// drawn again on top. Few one-way spots among many squares of one or two pixels were lost.
RelationPicture OverviewPicture(const VisibilityDocument& doc, int cellPixels);

// The step between the block numbers along the Overview's edges: 10 when a number
// `numberPixels` wide, with a gap, fits in ten squares of `cellPixels`, else 50.
int NumberStep(int cellPixels, int numberPixels);

// For each block, 1-based (index 0 unused), how many blocks it sees, itself included.
std::vector<int> SeesCounts(const VisibilityDocument& doc);

}  // namespace lumark
