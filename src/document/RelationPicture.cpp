#include "RelationPicture.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include "PixelFont.h"

namespace lumark {

namespace {

constexpr RelationKind Kinds[] = {RelationKind::Diagonal, RelationKind::Mutual,
                                  RelationKind::Neither, RelationKind::SeesOnly,
                                  RelationKind::SeenOnly};

constexpr Rgb Ink{0, 0, 0};
// Swatches are framed, so that the pale colour of "neither" stands out from the paper.
constexpr Rgb SwatchFrame{96, 96, 96};

// The legend in units that grow with the cell size, so that it stays legible beside large
// cells: a swatch as tall as a glyph, the text after it, one row per kind.
constexpr int LegendGap = 4;
constexpr int LegendTop = 1;
constexpr int SwatchSize = GlyphHeight;
constexpr int TextGap = 3;
constexpr int RowPitch = GlyphHeight + 3;
constexpr int LegendMargin = 2;

// Block numbers: a tick at the block, a gap, the number, a gap to what follows.
constexpr int TickLength = 2;
constexpr int LabelGap = 1;
// Numbered blocks are this far apart: the first step whose numbers do not touch.
constexpr int LabelSteps[] = {10, 50, 100};

// A dot of the legend's and the numbers' letters: 2 pixels at least, so that they read beside
// cells of 1 or 2 pixels; larger beside large cells.
int LegendUnit(int cellPixels) {
    return std::max(2, cellPixels / 2);
}

int TextWidth(std::size_t letters) {
    return letters == 0 ? 0 : static_cast<int>(letters) * GlyphAdvance - 1;
}

class Canvas {
  public:
    explicit Canvas(RelationPicture& picture) : picture_(picture) {}

    void Fill(int x, int y, int width, int height, Rgb colour) {
        for (int row = y; row < y + height; ++row) {
            std::uint8_t* pixel = At(x, row);
            for (int column = 0; column < width; ++column, pixel += 3) {
                pixel[0] = colour.R;
                pixel[1] = colour.G;
                pixel[2] = colour.B;
            }
        }
    }

    void Text(int x, int y, int unit, std::string_view text) {
        for (const char letter : text) {
            const GlyphRows& glyph = GlyphOf(letter);
            for (int row = 0; row < GlyphHeight; ++row) {
                for (int column = 0; column < GlyphWidth; ++column) {
                    if (glyph[static_cast<std::size_t>(row)] & (1u << (GlyphWidth - 1 - column))) {
                        Fill(x + column * unit, y + row * unit, unit, unit, Ink);
                    }
                }
            }
            x += GlyphAdvance * unit;
        }
    }

    std::uint8_t* At(int x, int y) {
        return picture_.Pixels.data() + (static_cast<std::size_t>(y) * picture_.Width + x) * 3;
    }

  private:
    RelationPicture& picture_;
};

int LegendWidth(int unit) {
    std::size_t longest = 0;
    for (const RelationKind kind : Kinds) {
        longest = std::max(longest, std::strlen(NameOf(kind)));
    }
    const int text = TextWidth(longest);
    return (LegendGap + SwatchSize + TextGap + text + LegendMargin) * unit;
}

int LegendHeight(int unit) {
    return (LegendTop + 4 * RowPitch + SwatchSize + LegendMargin) * unit;
}

void DrawLegend(Canvas& canvas, int left, int unit) {
    int y = LegendTop * unit;
    for (const RelationKind kind : Kinds) {
        const int x = left + LegendGap * unit;
        canvas.Fill(x, y, SwatchSize * unit, SwatchSize * unit, SwatchFrame);
        canvas.Fill(x + unit, y + unit, (SwatchSize - 2) * unit, (SwatchSize - 2) * unit,
                    ColourOf(kind));
        canvas.Text(x + (SwatchSize + TextGap) * unit, y, unit, NameOf(kind));
        y += RowPitch * unit;
    }
}

void DrawMatrix(Canvas& canvas, const VisibilityDocument& doc, int cellPixels) {
    std::array<Rgb, std::size(Kinds)> colours;
    for (const RelationKind kind : Kinds) {
        colours[static_cast<std::size_t>(kind)] = ColourOf(kind);
    }
    const int blocks = doc.BlockCount;
    const std::size_t rowBytes = static_cast<std::size_t>(blocks) * cellPixels * 3;
    for (int r = 1; r <= blocks; ++r) {
        const int top = (r - 1) * cellPixels;
        std::uint8_t* pixel = canvas.At(0, top);
        for (int c = 1; c <= blocks; ++c) {
            const Rgb colour = colours[static_cast<std::size_t>(KindOf(doc, c, r))];
            for (int x = 0; x < cellPixels; ++x) {
                *pixel++ = colour.R;
                *pixel++ = colour.G;
                *pixel++ = colour.B;
            }
        }
        // The cell's other pixel rows repeat its first.
        for (int line = 1; line < cellPixels; ++line) {
            std::memcpy(canvas.At(0, top + line), canvas.At(0, top), rowBytes);
        }
    }
}

// The block numbers under the matrix and to its right: every `step` blocks from 0, the widest
// number `letters` long.
struct Labels {
    int step = LabelSteps[std::size(LabelSteps) - 1];
    std::size_t letters = 1;

    Labels(int blocks, int cellPixels, int unit)
        : letters(std::to_string(std::max(blocks - 1, 0)).size()) {
        // Side by side under the matrix the numbers need their width and a gap; one above the
        // other beside it they need less, so the same step serves both.
        const int needed = (TextWidth(letters) + 2 * LabelGap) * unit;
        for (const int candidate : LabelSteps) {
            if (candidate * cellPixels >= needed) {
                step = candidate;
                break;
            }
        }
    }

    int RightBand(int unit) const {
        return (TickLength + LabelGap + TextWidth(letters) + LabelGap) * unit;
    }
    int BottomBand(int unit) const {
        return (TickLength + LabelGap + DigitHeight + LabelGap) * unit;
    }
};

void DrawBlockNumbers(Canvas& canvas, const Labels& labels, int blocks, int cellPixels, int unit) {
    const int matrix = blocks * cellPixels;
    const int tick = TickLength * unit;
    const int textStart = matrix + tick + LabelGap * unit;
    const int height = DigitHeight * unit;
    for (int number = 0; number < blocks; number += labels.step) {
        const std::string text = std::to_string(number);
        const int width = TextWidth(text.size()) * unit;
        const int at = number * cellPixels;
        // Under the matrix: a tick below the column, the number centred under it and kept
        // inside the picture.
        canvas.Fill(at, matrix, cellPixels, tick, Ink);
        canvas.Text(std::max(at + cellPixels / 2 - width / 2, 0), textStart, unit, text);
        // To the right: a tick beside the row, the number after it, centred on the row.
        canvas.Fill(matrix, at, tick, cellPixels, Ink);
        canvas.Text(textStart, std::max(at + cellPixels / 2 - height / 2, 0), unit, text);
    }
}

}  // namespace

RelationKind KindOf(const VisibilityDocument& doc, int c, int r) {
    if (c == r) {
        return RelationKind::Diagonal;
    }
    const bool sees = doc.IsVisible(c, r);
    const bool seen = doc.IsVisible(r, c);
    if (sees == seen) {
        return sees ? RelationKind::Mutual : RelationKind::Neither;
    }
    return sees ? RelationKind::SeesOnly : RelationKind::SeenOnly;
}

Rgb ColourOf(RelationKind kind) {
    // Apart in hue and in lightness, so that they stay apart for colour-blind eyes too.
    switch (kind) {
        case RelationKind::Diagonal:
            return {0, 0, 0};
        case RelationKind::Mutual:
            return {0, 114, 178};
        case RelationKind::Neither:
            return {235, 235, 235};
        case RelationKind::SeesOnly:
            return {213, 94, 0};
        case RelationKind::SeenOnly:
            return {240, 200, 40};
    }
    return {};
}

const char* NameOf(RelationKind kind) {
    switch (kind) {
        case RelationKind::Diagonal:
            return "itself";
        case RelationKind::Mutual:
            return "seen both ways";
        case RelationKind::Neither:
            return "seen neither way";
        case RelationKind::SeesOnly:
            return "sees but is not seen back";
        case RelationKind::SeenOnly:
            return "does not see but is seen";
    }
    return "";
}

RelationPicture RenderRelationPicture(const VisibilityDocument& doc, int cellPixels, bool legend) {
    cellPixels = std::max(cellPixels, 1);
    const int unit = LegendUnit(cellPixels);
    const int matrix = doc.BlockCount * cellPixels;
    const Labels labels(doc.BlockCount, cellPixels, unit);
    RelationPicture picture;
    picture.Width = matrix + (legend ? labels.RightBand(unit) + LegendWidth(unit) : 0);
    picture.Height =
        legend ? std::max(matrix + labels.BottomBand(unit), LegendHeight(unit)) : matrix;
    // White paper under the legend and below a matrix shorter than the legend.
    picture.Pixels.assign(static_cast<std::size_t>(picture.Width) * picture.Height * 3, 255);

    Canvas canvas(picture);
    DrawMatrix(canvas, doc, cellPixels);
    if (legend) {
        DrawBlockNumbers(canvas, labels, doc.BlockCount, cellPixels, unit);
        DrawLegend(canvas, matrix + labels.RightBand(unit), unit);
    }
    return picture;
}

}  // namespace lumark
