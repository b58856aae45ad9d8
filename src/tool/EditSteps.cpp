#include "EditSteps.h"

#include <charconv>
#include <map>
#include <optional>

#include "BlockRanges.h"
#include "BlockSelection.h"
#include "CommandTable.h"
#include "MatrixEdits.h"
#include "TextTrim.h"
#include "ViewDistance.h"

namespace lumark::tool {

namespace {

using Kind = EditStep::Kind;

const std::map<std::string, Kind>& StepOptions() {
    static const std::map<std::string, Kind> options = {
        {"select", Kind::Select},
        {"increase", Kind::Increase},
        {"decrease", Kind::Decrease},
        {"set-minimum", Kind::SetMinimum},
        {"set-distance", Kind::SetDistance},
        {"cross", Kind::Cross},
        {"remove-one-way", Kind::RemoveOneWay},
        {"toggle", Kind::Toggle},
        {"edge", Kind::Edge},
    };
    return options;
}

std::optional<int> BlockNumber(std::string_view text) {
    text = TrimWhiteSpace(text);
    int value = 0;
    const char* const last = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), last, value, 10);
    if (text.empty() || error != std::errc() || stop != last || value < 0) {
        return std::nullopt;
    }
    return value;
}

std::string Range(int low, int high) {
    return "from " + std::to_string(low) + " to " + std::to_string(high) + " in this file";
}

std::string BlockOutside(int number, int blockCount) {
    return "block " + std::to_string(number) + " is not a block of this file, 0 to " +
           std::to_string(blockCount - 1);
}

// The selection as the Select blocks box would leave it; a problem when the list does not fit.
std::string Select(const std::string& list, std::int16_t blockCount, BlockSelection& selection) {
    std::vector<std::int16_t> blocks;
    if (list == "all") {
        for (std::int16_t b = 1; b <= blockCount; ++b) {
            blocks.push_back(b);
        }
    } else if (list != "none") {
        BlockList read = ReadBlockList(list, blockCount);
        if (!read.Problem.empty()) {
            std::string& problem = read.Problem;
            if (!problem.empty() && problem.back() == '.') {
                problem.pop_back();  // a sentence in the box, a clause here
            }
            return problem;
        }
        blocks = std::move(read.Blocks);
    }
    selection.Clear();
    for (const std::int16_t b : blocks) {
        selection.Set(b, true);
    }
    selection.ColumnSelectionMade = true;
    return {};
}

// A cell click on the column of block `step.number` and the row of block `step.row`.
std::string Click(VisibilityDocument& doc, const EditStep& step, BlockSelection& selection) {
    for (const int number : {step.number, step.row}) {
        if (number >= doc.BlockCount) {
            return BlockOutside(number, doc.BlockCount);
        }
    }
    // The window's cell action clears the selection first, once one has been made.
    if (selection.ColumnSelectionMade) {
        selection.Clear();
    }
    auto column = static_cast<std::int16_t>(step.number + 1);
    auto row = static_cast<std::int16_t>(step.row + 1);
    if (step.kind == Kind::Edge) {
        SetVisibilityEdge(doc, column, row);
    } else {
        ToggleVisibilityCell(doc, column, row);
    }
    return {};
}

std::string RunStep(VisibilityDocument& doc, const EditStep& step, BlockSelection& selection) {
    const std::int16_t n = doc.BlockCount;
    switch (step.kind) {
        case Kind::Select:
            return Select(step.list, n, selection);
        case Kind::Increase:
            ViewDistance::IncreaseSelected(doc, selection);
            return {};
        case Kind::Decrease:
            ViewDistance::DecreaseSelected(doc, selection);
            return {};
        case Kind::SetMinimum:
            if (step.number < 1 || step.number > n) {
                return "the minimum is " + Range(1, n);
            }
            ViewDistance::SetMinimumSelected(doc, selection,
                                             static_cast<std::int16_t>(step.number));
            return {};
        case Kind::SetDistance:
            if (step.number < 0 || step.number > n / 2) {
                return "the distance is " + Range(0, n / 2);
            }
            ViewDistance::SetExactSelected(doc, selection, static_cast<std::int16_t>(step.number));
            return {};
        case Kind::Cross:
            MakeVisibilityMutual(doc);
            return {};
        case Kind::RemoveOneWay:
            RemoveOneWayVisibility(doc);
            return {};
        case Kind::Toggle:
        case Kind::Edge:
            return Click(doc, step, selection);
    }
    return {};
}

}  // namespace

std::vector<EditStep> EditStepsFrom(const std::vector<std::pair<std::string, std::string>>& given) {
    std::vector<EditStep> steps;
    for (const auto& [name, value] : given) {
        const auto kind = StepOptions().find(name);
        if (kind == StepOptions().end()) {
            continue;
        }
        EditStep step;
        step.kind = kind->second;
        step.option = "--" + name + (value.empty() ? "" : " " + value);
        switch (step.kind) {
            case Kind::Select:
                step.list = std::string(TrimWhiteSpace(value));
                break;
            case Kind::SetMinimum:
            case Kind::SetDistance: {
                // The reply of the window's boxes: a fraction goes to the nearest whole number.
                const std::optional<std::int16_t> number = ViewDistance::MinimumFromReply(value);
                if (!number) {
                    throw UsageError{"--" + name + " takes a whole number, not \"" + value + "\""};
                }
                step.number = *number;
                break;
            }
            case Kind::Toggle:
            case Kind::Edge: {
                const std::size_t colon = value.find(':');
                const std::optional<int> column =
                    BlockNumber(std::string_view(value).substr(0, colon));
                const std::optional<int> row =
                    colon == std::string::npos
                        ? std::nullopt
                        : BlockNumber(std::string_view(value).substr(colon + 1));
                if (!column || !row) {
                    throw UsageError{"--" + name +
                                     " takes the column's block and the row's block, such as "
                                     "3:7, not \"" +
                                     value + "\""};
                }
                step.number = *column;
                step.row = *row;
                break;
            }
            default:
                break;
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

std::string RunEditSteps(VisibilityDocument& doc, const std::vector<EditStep>& steps) {
    BlockSelection selection;
    for (const EditStep& step : steps) {
        const std::string problem = RunStep(doc, step, selection);
        if (!problem.empty()) {
            return step.option + ": " + problem;
        }
    }
    return {};
}

}  // namespace lumark::tool
