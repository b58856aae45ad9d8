#include "LumarkError.h"

#include <gtest/gtest.h>

#include <string>

namespace lumark {
namespace {

struct ErrorCase {
    LumarkError error;
    const char* what;
    const char* path;
    long line;
    const char* problem;
};

// The message users see and the parts a caller may lay out its own way.
TEST(LumarkError, FormatsOneMessageFromItsParts) {
    const ErrorCase cases[] = {
        {LumarkError("subscript out of range"), "subscript out of range", "", 0,
         "subscript out of range"},
        {LumarkError("/d/v.txt", 7, "entry 300 is outside 0 to 299"),
         "/d/v.txt, line 7: entry 300 is outside 0 to 299", "/d/v.txt", 7,
         "entry 300 is outside 0 to 299"},
        {LumarkError("v.txt", 0, "the file is empty"), "v.txt: the file is empty", "v.txt", 0,
         "the file is empty"},
        {LumarkError::FileOperation("cannot open", "/d/v.txt", "No such file or directory"),
         "cannot open /d/v.txt: No such file or directory", "/d/v.txt", 0,
         "cannot open: No such file or directory"},
        {LumarkError::FileOperation("cannot write", "", "No such file or directory"),
         "cannot write : No such file or directory", "", 0,
         "cannot write: No such file or directory"},
    };
    for (const ErrorCase& c : cases) {
        EXPECT_EQ(std::string(c.error.what()), c.what);
        EXPECT_EQ(c.error.Path(), c.path) << c.what;
        EXPECT_EQ(c.error.Line(), c.line) << c.what;
        EXPECT_EQ(c.error.Problem(), c.problem) << c.what;
    }
}

}  // namespace
}  // namespace lumark
