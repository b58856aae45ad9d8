#include <iostream>
#include <string>
#include <vector>

#include "ProgramStart.h"
#include "ToolCommandLine.h"

int main(int argc, char** argv) {
    // The tool writes only through the C++ streams: no sharing with C's stdio to keep in step.
    std::ios::sync_with_stdio(false);
    lumark::platform::UseBinaryStandardStreams();
    return lumark::tool::RunTool(lumark::platform::ProgramArguments(argc, argv), std::cout,
                                 std::cerr);
}
