#pragma once

namespace lumark::tool {

// What lumark-tool returns, so that scripts can tell a bad file from a bad command line.
enum ExitCode : int {
    ExitOk = 0,
    ExitFailed = 1,  // a file could not be read or written
    ExitUsage = 2,   // the command line itself is wrong
};

}  // namespace lumark::tool
