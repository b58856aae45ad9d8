#pragma once

namespace lumark {

// Window geometry is designed in twips, 1/1440 inch: 15 twips a pixel at 96 dots per inch.
inline int TwipsToPixels(int twips, double logicalDpi) {
    const double pixels = twips * logicalDpi / 1440.0;
    return static_cast<int>(pixels < 0 ? pixels - 0.5 : pixels + 0.5);
}

inline double PixelsToTwips(double pixels, double logicalDpi) {
    return pixels * 1440.0 / logicalDpi;
}

}  // namespace lumark
