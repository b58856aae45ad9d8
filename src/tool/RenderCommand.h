#pragma once

#include <ostream>
#include <string>

namespace lumark::tool {

constexpr int MinCellPixels = 1;
constexpr int MaxCellPixels = 16;
constexpr int DefaultCellPixels = 2;

// `lumark-tool render FILE OUT [--cell PIXELS]`: the relation of FILE as a PNG picture, one
// square of `cellPixels` per element, with the legend beside it, written atomically to
// `outPath` (or `out` for "-"). Errors go to `err`.
int RenderFile(const std::string& in, const std::string& outPath, int cellPixels, std::ostream& out,
               std::ostream& err);

}  // namespace lumark::tool
