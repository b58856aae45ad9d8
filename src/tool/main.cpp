#include <iostream>
#include <string>
#include <vector>

#include "ToolCommandLine.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return lumark::tool::RunTool(arguments, std::cout, std::cerr);
}
