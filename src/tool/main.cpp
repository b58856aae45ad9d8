#include <iostream>
#include <string>
#include <vector>

#include "ToolCommandLine.h"

int main(int argc, char** argv) {
    // The tool writes only through the C++ streams: no sharing with C's stdio to keep in step.
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return lumark::tool::RunTool(arguments, std::cout, std::cerr);
}
