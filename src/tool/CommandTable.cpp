#include "CommandTable.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>
#include <optional>
#include <string_view>

#include "CheckCommand.h"
#include "ConvertCommand.h"
#include "DiffCommand.h"
#include "EditCommand.h"
#include "GenerateCommand.h"
#include "Layouts.h"
#include "MergeCommand.h"
#include "RenderCommand.h"
#include "ShowCommand.h"
#include "StatsCommand.h"
#include "TextTrim.h"
#include "ToolOutput.h"

namespace lumark::tool {

namespace {

constexpr std::size_t Unlimited = std::numeric_limits<std::size_t>::max();

const OptionSpec LayoutOption{"layout", "L", "1.2 (the new layout) or 1.000000 (the old layout)"};
const OptionSpec BlocksOption{"blocks", "N", "the number of blocks of the ring"};
const OptionSpec DistanceOption{"distance", "D", "how many blocks each block sees on each side"};
const OptionSpec CellOption{"cell", "PIXELS",
                            "the size of one square of the picture, 1 to 16 (default 2)"};
const OptionSpec MutualOption{"mutual", nullptr, "check: warn about pairs seen one way only"};
const OptionSpec NameOption{"name", "GLOB",
                            "check: the files looked for below a FOLDER (default visibility.txt)"};
const OptionSpec ByBlockOption{"by-block", nullptr,
                               "diff: one line per block that changed, with ranges"};
const OptionSpec ForceOption{"force", nullptr,
                             "render: write OUT even when it does not end in .png"};
const OptionSpec FormatOption{"format", "F", "stats: text (the default), csv or json"};
const OptionSpec PerBlockOption{"blocks", nullptr, "stats: each block's figures and summary too"};
const OptionSpec OutputOption{"output", "OUT",
                              "merge, edit: the file written; - for standard output", "-o"};
const OptionSpec DryRunOption{"dry-run", nullptr, "edit: write nothing, list what would change"};
const OptionSpec SelectOption{"select", "LIST",
                              "edit: select blocks, as Select blocks reads them, all or none"};
const OptionSpec IncreaseOption{"increase", nullptr, "edit: Increase (+) on the selected blocks"};
const OptionSpec DecreaseOption{"decrease", nullptr, "edit: Decrease (-) on the selected blocks"};
const OptionSpec SetMinimumOption{"set-minimum", "N",
                                  "edit: Set Minimum N (1 to the block count) on them"};
const OptionSpec SetDistanceOption{"set-distance", "N",
                                   "edit: Set distance N (0 to half the block count) on them"};
const OptionSpec CrossOption{"cross", nullptr, "edit: Cross Fw & Bw"};
const OptionSpec RemoveOneWayOption{"remove-one-way", nullptr, "edit: Remove one-way"};
const OptionSpec ToggleOption{"toggle", "CELL",
                              "edit: click cell C:R, column of block C, row of block R"};
const OptionSpec EdgeOption{"edge", "CELL", "edit: the same click with Edge Setting ticked"};

// A whole number as the tool has always taken it: white space around it and a sign allowed.
std::optional<int> WholeNumber(const std::string& text) {
    std::string_view digits = TrimWhiteSpace(text);
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
    }
    int value = 0;
    const char* const last = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), last, value, 10);
    if (error != std::errc() || stop != last) {
        return std::nullopt;
    }
    return value;
}

// The value of option `name`, which the command needs, in low..high.
int Number(const Arguments& arguments, const std::string& name, int low, int high) {
    const auto given = arguments.options.find(name);
    if (given == arguments.options.end()) {
        throw UsageError{arguments.command + " needs --" + name};
    }
    const std::optional<int> value = WholeNumber(given->second);
    if (!value || *value < low || *value > high) {
        const std::string range =
            high == std::numeric_limits<int>::max()
                ? std::to_string(low) + " or more"
                : "from " + std::to_string(low) + " to " + std::to_string(high);
        throw UsageError{"--" + name + " must be a whole number " + range + ", not \"" +
                         given->second + "\""};
    }
    return *value;
}

std::optional<std::string> Layout(const Arguments& arguments) {
    const auto given = arguments.options.find(LayoutOption.name);
    if (given == arguments.options.end()) {
        return std::nullopt;
    }
    if (given->second != NewLayoutVersion && given->second != OldLayoutVersion) {
        throw UsageError{"--layout must be 1.2 or 1.000000, not \"" + given->second + "\""};
    }
    return given->second;
}

int RunCheck(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    CheckOptions options;
    options.mutual = arguments.Has(MutualOption.name);
    if (arguments.Has(NameOption.name)) {
        options.name = arguments.options.at(NameOption.name);
    }
    return CheckFiles(arguments.operands, options, out, err);
}

int RunConvert(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    return ConvertFile(arguments.operands[0], arguments.operands[1], Layout(arguments), out, err);
}

int RunGenerate(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    const int blocks = Number(arguments, BlocksOption.name, MinRingBlocks, MaxRingBlocks);
    const int distance = Number(arguments, DistanceOption.name, 0, std::numeric_limits<int>::max());
    return GenerateFile(blocks, distance, Layout(arguments).value_or(std::string(NewLayoutVersion)),
                        arguments.operands[0], out, err);
}

// A picture file's name, whatever the case of its extension.
bool EndsInPng(const std::string& path) {
    constexpr std::string_view Extension = ".png";
    if (path.size() < Extension.size()) {
        return false;
    }
    const std::string_view end = std::string_view(path).substr(path.size() - Extension.size());
    return std::equal(end.begin(), end.end(), Extension.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

int RunRender(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    const int cell = arguments.Has(CellOption.name)
                         ? Number(arguments, CellOption.name, MinCellPixels, MaxCellPixels)
                         : DefaultCellPixels;
    const std::string& outPath = arguments.operands[1];
    if (outPath != StandardOutput && !EndsInPng(outPath) && !arguments.Has(ForceOption.name)) {
        throw UsageError{
            "\"" + outPath +
            "\" does not end in .png, and render writes PNG; --force writes it all the same"};
    }
    return RenderFile(arguments.operands[0], outPath, cell, out, err);
}

int RunStats(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    StatsFormat format = StatsFormat::Text;
    if (arguments.Has(FormatOption.name)) {
        const std::string& name = arguments.options.at(FormatOption.name);
        if (name == "csv") {
            format = StatsFormat::Csv;
        } else if (name == "json") {
            format = StatsFormat::Json;
        } else if (name != "text") {
            throw UsageError{"--format must be text, csv or json, not \"" + name + "\""};
        }
    }
    return StatsFiles(arguments.operands, format, arguments.Has(PerBlockOption.name), out, err);
}

int RunDiff(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    return DiffFiles(arguments.operands[0], arguments.operands[1],
                     arguments.Has(ByBlockOption.name), out, err);
}

int RunShow(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    return ShowFile(arguments.operands[0], out, err);
}

int RunMerge(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    const std::vector<std::string>& files = arguments.operands;
    const auto given = arguments.options.find(OutputOption.name);
    const std::string& outPath = given == arguments.options.end() ? files[1] : given->second;
    return MergeFiles(files[0], files[1], files[2], outPath, out, err);
}

int RunEdit(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    const std::vector<EditStep> steps = EditStepsFrom(arguments.given);
    if (steps.empty()) {
        throw UsageError{"edit needs at least one step, such as --select 100-140 --increase"};
    }
    EditOptions options;
    options.dryRun = arguments.Has(DryRunOption.name);
    if (arguments.Has(OutputOption.name)) {
        if (arguments.operands.size() != 1) {
            throw UsageError{"edit writes -o OUT from one FILE only"};
        }
        options.output = arguments.options.at(OutputOption.name);
    }
    return EditFiles(arguments.operands, steps, options, out, err);
}

// The help's columns: commands and options are described from here on.
constexpr std::size_t DescriptionColumn = 13;
constexpr std::size_t OptionDescriptionColumn = 20;

std::string Padded(std::string text, std::size_t width) {
    text.resize(std::max(width, text.size() + 1), ' ');
    return text;
}

std::string OptionLabel(const OptionSpec& option) {
    std::string label = option.shortName ? std::string(option.shortName) + ", " : "";
    label += std::string("--") + option.name;
    return option.value ? label + " " + option.value : label;
}

}  // namespace

const OptionSpec HelpOption{"help", nullptr, "show this help", "-h"};
const OptionSpec VersionOption{"version", nullptr, "show the version"};

const OptionSpec* CommandSpec::Option(const std::string& optionName) const {
    for (const OptionSpec* option : options) {
        if (optionName == option->name) {
            return option;
        }
    }
    return nullptr;
}

const std::vector<CommandSpec>& Commands() {
    static const std::vector<CommandSpec> commands = {
        {"check",
         "check FILE|FOLDER... [--mutual] [--name GLOB]",
         {"read each FILE; print \"FILE: ok, layout L, N blocks\" or \"FILE: error: ...\",",
          "and warn about what saving the file in the editor would change, and with",
          "--mutual about pairs seen one way only; a FOLDER stands for every file",
          "named visibility.txt (or GLOB) below it, in sorted path order"},
         {&MutualOption, &NameOption},
         1,
         Unlimited,
         "check needs at least one FILE",
         RunCheck},
        {"convert",
         "convert IN OUT [--layout 1.2|1.000000]",
         {"read IN and write it to OUT as the editor saves it, in the given layout",
          "or the one IN has; OUT may be IN, and - writes to standard output"},
         {&LayoutOption},
         2,
         2,
         "convert needs IN and OUT",
         RunConvert},
        {"generate",
         "generate --blocks N --distance D [--layout 1.2|1.000000] OUT",
         {"write a ring of N blocks (1 to 300) in which every block sees itself and",
          "its D nearest blocks on each side; the layout is 1.2 unless given"},
         {&BlocksOption, &DistanceOption, &LayoutOption},
         1,
         1,
         "generate needs one OUT",
         RunGenerate},
        {"render",
         "render FILE OUT.png [--cell PIXELS] [--force]",
         {"draw the relation of FILE as a PNG picture with block numbers and a legend:",
          "one square per pair, column the viewing block, row the block seen; - writes",
          "to standard output, and an OUT not ending in .png takes --force"},
         {&CellOption, &ForceOption},
         2,
         2,
         "render needs FILE and OUT",
         RunRender},
        {"diff",
         "diff A B [--by-block]",
         {"list each pair that differs from A to B, as \"block 7 now sees 12\" or",
          "\"block 7 no longer sees 12\", after any change of block count or layout;",
          "with --by-block one line per block, \"block 7: now sees 12-14; no longer",
          "sees 3\", and a total"},
         {&ByBlockOption},
         2,
         2,
         "diff needs A and B",
         RunDiff},
        {"show",
         "show FILE",
         {"print the relation of FILE as text to read and compare: \"layout 1.2, 300",
          "blocks\", then for each block the blocks it sees, \"block 7: 5-9, 12\", in the",
          "form Select blocks reads; a text converter for version control diffs"},
         {},
         1,
         1,
         "show needs one FILE",
         RunShow},
        {"merge",
         "merge BASE OURS THEIRS [-o OUT]",
         {"merge the changes from BASE to OURS and to THEIRS element by element and",
          "write the result to OUT (default OURS); a change of block count or layout on",
          "one side is taken; changes that clash are named on standard error as",
          "\"CONFLICT: ...\", nothing is written and the exit status is 1; a merge driver",
          "for version control"},
         {&OutputOption},
         3,
         3,
         "merge needs BASE, OURS and THEIRS",
         RunMerge},
        {"edit",
         "edit FILE... [-o OUT] [--dry-run] [--select LIST] [--increase] [--decrease] "
         "[--set-minimum N] [--set-distance N] [--cross] [--remove-one-way] [--toggle CELL] "
         "[--edge CELL]",
         {"run the editor's commands on each FILE, as often and in the order given,",
          "from no block selected, and save it in its layout when its relation",
          "changed; a click (--toggle, --edge) clears the selection, as in the editor;",
          "prints \"FILE: N entries changed in B blocks\" or \"FILE: unchanged\"; a file",
          "that does not read or that a step does not fit is named on standard error",
          "and left as it was; -o - writes standard output; --dry-run lists the changes"},
         {&SelectOption, &IncreaseOption, &DecreaseOption, &SetMinimumOption, &SetDistanceOption,
          &CrossOption, &RemoveOneWayOption, &ToggleOption, &EdgeOption, &OutputOption,
          &DryRunOption},
         1,
         Unlimited,
         "edit needs at least one FILE",
         RunEdit},
        {"stats",
         "stats FILE... [--format text|csv|json] [--blocks]",
         {"print the figures of each FILE: blocks, layout, entries, one-way pairs,",
          "blocks with holes in their view, min / median / max of \"sees\" and",
          "\"seen by\"; with --blocks each block's figures and summary too"},
         {&FormatOption, &PerBlockOption},
         1,
         Unlimited,
         "stats needs at least one FILE",
         RunStats},
    };
    return commands;
}

const std::vector<const OptionSpec*>& CommandOptions() {
    static const std::vector<const OptionSpec*> options = [] {
        std::vector<const OptionSpec*> all;
        for (const CommandSpec& command : Commands()) {
            for (const OptionSpec* option : command.options) {
                if (std::find(all.begin(), all.end(), option) == all.end()) {
                    all.push_back(option);
                }
            }
        }
        return all;
    }();
    return options;
}

const CommandSpec* FindCommand(const std::string& name) {
    for (const CommandSpec& command : Commands()) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

std::string HelpText() {
    std::string text;
    for (const CommandSpec& command : Commands()) {
        text += (text.empty() ? "Usage: " : "       ") + std::string("lumark-tool ") +
                command.synopsis + '\n';
    }
    text +=
        "\n"
        "Checks, converts, generates, draws, shows, compares, merges and edits\n"
        "block-visibility files with the editor's own reader, writer and commands.\n"
        "\n";
    for (const CommandSpec& command : Commands()) {
        std::string label = Padded("  " + std::string(command.name), DescriptionColumn);
        for (const char* line : command.help) {
            text += label + line + '\n';
            label.assign(DescriptionColumn, ' ');
        }
    }
    text += "\nOptions:\n";
    std::vector<const OptionSpec*> options = CommandOptions();
    options.insert(options.end(), {&HelpOption, &VersionOption});
    for (const OptionSpec* option : options) {
        text += Padded("  " + OptionLabel(*option), OptionDescriptionColumn) + option->help + '\n';
    }
    text +=
        "\n"
        "Exit status: 0 on success, 1 when a file cannot be read or written, 2 for a usage\n"
        "error. diff, like diff(1): 0 when the files hold the same relation in the same layout,\n"
        "1 when it listed differences, 2 when a file cannot be read. merge: 1 also on a\n"
        "conflict; edit: 1 also when a step does not fit a file.\n";
    return text;
}

}  // namespace lumark::tool
