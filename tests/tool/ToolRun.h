#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "ToolCommandLine.h"

namespace lumark::test {

// One run of lumark-tool in process, with what it printed on each stream.
struct ToolRun {
    int code = -1;
    std::string out;
    std::string err;
};

inline ToolRun RunToolWith(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    ToolRun run;
    run.code = tool::RunTool(arguments, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

}  // namespace lumark::test
