#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace lumark::tool {

// Runs lumark-tool with `arguments` (the program name left out), writing results to `out` and
// errors to `err`; returns the exit code.
int RunTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace lumark::tool
