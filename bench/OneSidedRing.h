#pragma once

#include "RingDocument.h"

namespace lumark {

// Every block sees itself and the 149 blocks ahead of it, none behind: "Cross Fw & Bw" sets
// 300 x 149 = 44,700 elements.
inline VisibilityDocument OneSidedRing() {
    VisibilityDocument doc = MakeRingDocument(300, 0, "1.2");
    for (int c = 1; c <= 300; ++c) {
        for (int k = 1; k <= 149; ++k) {
            doc.SetElement(c, (c - 1 + k) % 300 + 1, True16);
        }
    }
    return doc;
}

}  // namespace lumark
