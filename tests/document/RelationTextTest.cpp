#include <gtest/gtest.h>

#include "RelationText.h"
#include "RingDocument.h"

namespace lumark {
namespace {

TEST(RelationText, LayoutCountThenEachBlocksViewAsATypedList) {
    VisibilityDocument doc = MakeRingDocument(6, 1, "1.000000");
    doc.SetElement(1, 4, True16);  // block 0 also sees 3
    for (int seen = 2; seen <= 4; ++seen) {
        doc.SetElement(3, seen, False16);  // block 2 sees nothing, not even itself
    }
    EXPECT_EQ(RelationText(doc),
              "layout 1.000000, 6 blocks\n"
              "block 0: 3, 5-1\n"
              "block 1: 0-2\n"
              "block 2: none\n"
              "block 3: 2-4\n"
              "block 4: 3-5\n"
              "block 5: 4-0\n");
}

}  // namespace
}  // namespace lumark
