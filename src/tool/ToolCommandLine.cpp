#include "ToolCommandLine.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <charconv>
#include <initializer_list>
#include <limits>
#include <optional>

#include "CheckCommand.h"
#include "ConvertCommand.h"
#include "DiffCommand.h"
#include "ExitCode.h"
#include "GenerateCommand.h"
#include "Layouts.h"
#include "LumarkVersion.h"
#include "RenderCommand.h"

namespace lumark::tool {

namespace {

constexpr const char* HelpText =
    "Usage: lumark-tool check FILE...\n"
    "       lumark-tool convert IN OUT [--layout 1.2|1.000000]\n"
    "       lumark-tool generate --blocks N --distance D [--layout 1.2|1.000000] OUT\n"
    "       lumark-tool render FILE OUT.png [--cell PIXELS]\n"
    "       lumark-tool diff A B\n"
    "\n"
    "Checks, converts, generates, draws and compares block-visibility files with the\n"
    "editor's own reader and writer.\n"
    "\n"
    "  check      read each FILE; print \"FILE: ok, layout L, N blocks\" or \"FILE: error: ...\",\n"
    "             and warn about what saving the file in the editor would change\n"
    "  convert    read IN and write it to OUT as the editor saves it, in the given layout\n"
    "             or the one IN has; OUT may be IN, and - writes to standard output\n"
    "  generate   write a ring of N blocks (1 to 300) in which every block sees itself and\n"
    "             its D nearest blocks on each side; the layout is 1.2 unless given\n"
    "  render     draw the relation of FILE as a PNG picture with a legend: one square per\n"
    "             pair, column the viewing block, row the block seen; - writes to\n"
    "             standard output\n"
    "  diff       list each pair that differs from A to B, as \"block 7 now sees 12\" or\n"
    "             \"block 7 no longer sees 12\", after any change of block count or layout\n"
    "\n"
    "Options:\n"
    "  --layout L     1.2 (the new layout) or 1.000000 (the old layout)\n"
    "  --blocks N     the number of blocks of the ring\n"
    "  --distance D   how many blocks each block sees on each side\n"
    "  --cell PIXELS  the size of one square of the picture, 1 to 16 (default 2)\n"
    "  -h, --help     show this help\n"
    "  --version      show the version\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written, 2 for a usage\n"
    "error. diff, like diff(1): 0 when the files hold the same relation in the same layout,\n"
    "1 when it listed differences, 2 when a file cannot be read.\n";

// A command line that cannot be carried out.
struct UsageError {
    std::string message;
};

// An option that takes a value.
struct ValueOption {
    const char* name;  // without the dashes
    std::string value;
    CLI::Option* parsed = nullptr;

    bool IsSet() const { return parsed->count() > 0; }
};

// A whole number as the tool has always taken it: blanks around it and a sign allowed.
std::optional<int> WholeNumber(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) {
        ++begin;
    }
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) {
        --end;
    }
    if (begin < end && text[begin] == '+') {
        ++begin;
    }
    int value = 0;
    const char* const last = text.data() + end;
    const auto [stop, error] = std::from_chars(text.data() + begin, last, value, 10);
    if (error != std::errc() || stop != last) {
        return std::nullopt;
    }
    return value;
}

// "--bogus=1" -> "bogus".
std::string OptionName(const std::string& argument) {
    const std::size_t start = argument.find_first_not_of('-');
    if (start == std::string::npos) {
        return argument;
    }
    return argument.substr(start, argument.find('=') - start);
}

class CommandLine {
  public:
    explicit CommandLine(const std::vector<std::string>& arguments) {
        // The tool's own help, messages and exit codes: CLI11 only splits the line. Arguments
        // stay bytes, so file names need not be valid in any encoding.
        app_.set_help_flag();
        app_.allow_extras();
        app_.add_flag("-h,--help", help_);
        app_.add_flag("--version", version_);
        for (ValueOption* option : {&layout_, &blocks_, &distance_, &cell_}) {
            option->parsed = app_.add_option(std::string("--") + option->name, option->value)
                                 ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
        }
        app_.add_option("operands", positional_);

        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        try {
            app_.parse(reversed);
        } catch (const CLI::ArgumentMismatch&) {
            // An option's value is taken whatever it looks like, so only an option that ends
            // the line can lack one.
            throw UsageError{"Missing value after '--" + OptionName(arguments.back()) + "'."};
        } catch (const CLI::ParseError& error) {
            throw UsageError{error.what()};
        }
        for (const std::string& extra : app_.remaining()) {
            if (extra != "--") {  // the end of the options, passed on as it is
                throw UsageError{"Unknown option '" + OptionName(extra) + "'."};
            }
        }
    }

    bool WantsHelp() const { return help_; }
    bool WantsVersion() const { return version_; }

    int Run(std::ostream& out, std::ostream& err) const {
        if (positional_.empty()) {
            throw UsageError{"no command given"};
        }
        const std::string& command = positional_.front();
        const std::vector<std::string> operands(positional_.begin() + 1, positional_.end());
        if (command == "check") {
            Refuse(command, {&layout_, &blocks_, &distance_, &cell_});
            if (operands.empty()) {
                throw UsageError{"check needs at least one FILE"};
            }
            return CheckFiles(operands, out, err);
        }
        if (command == "convert") {
            Refuse(command, {&blocks_, &distance_, &cell_});
            if (operands.size() != 2) {
                throw UsageError{"convert needs IN and OUT"};
            }
            return ConvertFile(operands[0], operands[1], Layout(), out, err);
        }
        if (command == "generate") {
            Refuse(command, {&cell_});
            if (operands.size() != 1) {
                throw UsageError{"generate needs one OUT"};
            }
            const int blocks = Number(blocks_, MinRingBlocks, MaxRingBlocks);
            const int distance = Number(distance_, 0, std::numeric_limits<int>::max());
            return GenerateFile(blocks, distance, Layout().value_or(std::string(NewLayoutVersion)),
                                operands[0], out, err);
        }
        if (command == "render") {
            Refuse(command, {&layout_, &blocks_, &distance_});
            if (operands.size() != 2) {
                throw UsageError{"render needs FILE and OUT"};
            }
            const int cell =
                cell_.IsSet() ? Number(cell_, MinCellPixels, MaxCellPixels) : DefaultCellPixels;
            return RenderFile(operands[0], operands[1], cell, out, err);
        }
        if (command == "diff") {
            Refuse(command, {&layout_, &blocks_, &distance_, &cell_});
            if (operands.size() != 2) {
                throw UsageError{"diff needs A and B"};
            }
            return DiffFiles(operands[0], operands[1], out, err);
        }
        throw UsageError{"unknown command \"" + command + "\""};
    }

  private:
    static void Refuse(const std::string& command,
                       std::initializer_list<const ValueOption*> options) {
        for (const ValueOption* option : options) {
            if (option->IsSet()) {
                throw UsageError{command + " takes no --" + option->name};
            }
        }
    }

    std::optional<std::string> Layout() const {
        if (!layout_.IsSet()) {
            return std::nullopt;
        }
        if (layout_.value != NewLayoutVersion && layout_.value != OldLayoutVersion) {
            throw UsageError{"--layout must be 1.2 or 1.000000, not \"" + layout_.value + "\""};
        }
        return layout_.value;
    }

    static int Number(const ValueOption& option, int low, int high) {
        const std::string name = std::string("--") + option.name;
        if (!option.IsSet()) {
            throw UsageError{"generate needs " + name};
        }
        const std::optional<int> value = WholeNumber(option.value);
        if (!value || *value < low || *value > high) {
            const std::string range =
                high == std::numeric_limits<int>::max()
                    ? std::to_string(low) + " or more"
                    : "from " + std::to_string(low) + " to " + std::to_string(high);
            throw UsageError{name + " must be a whole number " + range + ", not \"" + option.value +
                             "\""};
        }
        return *value;
    }

    CLI::App app_;
    bool help_ = false;
    bool version_ = false;
    ValueOption layout_{"layout", {}};
    ValueOption blocks_{"blocks", {}};
    ValueOption distance_{"distance", {}};
    ValueOption cell_{"cell", {}};
    std::vector<std::string> positional_;
};

}  // namespace

int RunTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    try {
        const CommandLine commandLine(arguments);
        if (commandLine.WantsHelp()) {
            out << HelpText;
            out.flush();
            return ExitOk;
        }
        if (commandLine.WantsVersion()) {
            out << "lumark-tool " << VersionString << '\n';
            out.flush();
            return ExitOk;
        }
        return commandLine.Run(out, err);
    } catch (const UsageError& error) {
        err << "lumark-tool: " << error.message << "\nTry \"lumark-tool --help\".\n";
        err.flush();
        return ExitUsage;
    }
}

}  // namespace lumark::tool
