#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "EditSteps.h"

namespace lumark::tool {

struct EditOptions {
    std::optional<std::string> output;  // -o: the one file is written there ("-": `out`)
    bool dryRun = false;                // write nothing, list what would change
};

// `lumark-tool edit FILE... STEP...`: runs the steps on each file and writes it back in its
// layout with the editor's safe save when its relation changed (to the output when one is
// given, changed or not). Prints "FILE: 348 entries changed in 41 blocks" or "FILE: unchanged"
// for each file on `out` (on `err` when the file itself goes to `out`). A file that does not
// read, or that a step does not fit, is named on `err` with the reason and left as it was; the
// others are still done. ExitOk when every file was done, ExitFailed otherwise.
int EditFiles(const std::vector<std::string>& files, const std::vector<EditStep>& steps,
              const EditOptions& options, std::ostream& out, std::ostream& err);

}  // namespace lumark::tool
