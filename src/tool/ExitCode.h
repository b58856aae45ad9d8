#pragma once

namespace lumark::tool {

// What lumark-tool returns, so that scripts can tell a bad file from a bad command line.
enum ExitCode : int {
    ExitOk = 0,
    ExitFailed = 1,  // a file could not be read or written
    ExitUsage = 2,   // the command line itself is wrong

    // `diff` answers as diff(1) does, so that scripts and git read it alike.
    ExitDifferent = 1,    // the files differ
    ExitDiffTrouble = 2,  // a file could not be read
};

}  // namespace lumark::tool
