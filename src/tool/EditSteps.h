#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "VisibilityDocument.h"

namespace lumark::tool {

// One of the window's commands as `edit` takes it from the command line.
struct EditStep {
    enum class Kind {
        Select,        // --select LIST|all|none
        Increase,      // --increase
        Decrease,      // --decrease
        SetMinimum,    // --set-minimum N
        SetDistance,   // --set-distance N
        Cross,         // --cross
        RemoveOneWay,  // --remove-one-way
        Toggle,        // --toggle C:R
        Edge,          // --edge C:R
    };
    Kind kind = Kind::Select;
    std::string option;  // as given, "--select 100-140", for messages
    std::string list;    // Select
    int number = 0;      // SetMinimum, SetDistance; the column's block for Toggle and Edge
    int row = 0;         // Toggle and Edge: the block seen
};

// The steps among `given` (every option of the line in order, as name and value), in the
// order given; other options are left out. A value that is no number, or no C:R pair, is a
// UsageError; whether it fits a file is found out on the file.
std::vector<EditStep> EditStepsFrom(const std::vector<std::pair<std::string, std::string>>& given);

// Runs `steps` on `doc` one after another from an empty selection, with the window's rules:
// the view-distance commands work on the selected blocks, a cell click clears the selection
// once one was made. Returns why a step does not fit this file ("--select 100-140: ..."), or
// "" when all were done; `doc` is then partly edited.
std::string RunEditSteps(VisibilityDocument& doc, const std::vector<EditStep>& steps);

}  // namespace lumark::tool
