#include "ToolCommandLine.h"

#include <QCommandLineParser>
#include <QFile>
#include <QStringList>

#include <initializer_list>
#include <limits>
#include <optional>

#include "CheckCommand.h"
#include "ConvertCommand.h"
#include "ExitCode.h"
#include "GenerateCommand.h"
#include "Layouts.h"
#include "LumarkVersion.h"

namespace lumark::tool {

namespace {

constexpr const char* HelpText =
    "Usage: lumark-tool check FILE...\n"
    "       lumark-tool convert IN OUT [--layout 1.2|1.000000]\n"
    "       lumark-tool generate --blocks N --distance D [--layout 1.2|1.000000] OUT\n"
    "\n"
    "Checks, converts and generates block-visibility files with the editor's own reader\n"
    "and writer.\n"
    "\n"
    "  check      read each FILE; print \"FILE: ok, layout L, N blocks\" or \"FILE: error: ...\",\n"
    "             and warn about what saving the file in the editor would change\n"
    "  convert    read IN and write it to OUT as the editor saves it, in the given layout\n"
    "             or the one IN has; OUT may be IN, and - writes to standard output\n"
    "  generate   write a ring of N blocks (1 to 300) in which every block sees itself and\n"
    "             its D nearest blocks on each side; the layout is 1.2 unless given\n"
    "\n"
    "Options:\n"
    "  --layout L     1.2 (the new layout) or 1.000000 (the old layout)\n"
    "  --blocks N     the number of blocks of the ring\n"
    "  --distance D   how many blocks each block sees on each side\n"
    "  -h, --help     show this help\n"
    "  --version      show the version\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written, 2 for a usage\n"
    "error.\n";

// A command line that cannot be carried out.
struct UsageError {
    std::string message;
};

std::string Local(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

class CommandLine {
  public:
    explicit CommandLine(const std::vector<std::string>& arguments) {
        parser_.addOptions({help_, version_, layout_, blocks_, distance_});
        QStringList list{QStringLiteral("lumark-tool")};
        for (const std::string& argument : arguments) {
            list << QFile::decodeName(QByteArray::fromStdString(argument));
        }
        if (!parser_.parse(list)) {
            throw UsageError{Local(parser_.errorText())};
        }
        for (const QString& positional : parser_.positionalArguments()) {
            positional_.push_back(Local(positional));
        }
    }

    bool WantsHelp() const { return parser_.isSet(help_); }
    bool WantsVersion() const { return parser_.isSet(version_); }

    int Run(std::ostream& out, std::ostream& err) const {
        if (positional_.empty()) {
            throw UsageError{"no command given"};
        }
        const std::string& command = positional_.front();
        const std::vector<std::string> operands(positional_.begin() + 1, positional_.end());
        if (command == "check") {
            Refuse(command, {&layout_, &blocks_, &distance_});
            if (operands.empty()) {
                throw UsageError{"check needs at least one FILE"};
            }
            return CheckFiles(operands, out, err);
        }
        if (command == "convert") {
            Refuse(command, {&blocks_, &distance_});
            if (operands.size() != 2) {
                throw UsageError{"convert needs IN and OUT"};
            }
            return ConvertFile(operands[0], operands[1], Layout(), out, err);
        }
        if (command == "generate") {
            if (operands.size() != 1) {
                throw UsageError{"generate needs one OUT"};
            }
            const int blocks = Number(blocks_, MinRingBlocks, MaxRingBlocks);
            const int distance = Number(distance_, 0, std::numeric_limits<int>::max());
            return GenerateFile(blocks, distance, Layout().value_or(std::string(NewLayoutVersion)),
                                operands[0], out, err);
        }
        throw UsageError{"unknown command \"" + command + "\""};
    }

  private:
    void Refuse(const std::string& command,
                std::initializer_list<const QCommandLineOption*> options) const {
        for (const QCommandLineOption* option : options) {
            if (parser_.isSet(*option)) {
                throw UsageError{command + " takes no --" + Local(option->names().front())};
            }
        }
    }

    std::optional<std::string> Layout() const {
        if (!parser_.isSet(layout_)) {
            return std::nullopt;
        }
        const std::string layout = Local(parser_.value(layout_));
        if (layout != NewLayoutVersion && layout != OldLayoutVersion) {
            throw UsageError{"--layout must be 1.2 or 1.000000, not \"" + layout + "\""};
        }
        return layout;
    }

    int Number(const QCommandLineOption& option, int low, int high) const {
        const std::string name = "--" + Local(option.names().front());
        if (!parser_.isSet(option)) {
            throw UsageError{"generate needs " + name};
        }
        bool ok = false;
        const QString text = parser_.value(option);
        const int value = text.toInt(&ok, 10);
        if (!ok || value < low || value > high) {
            const std::string range =
                high == std::numeric_limits<int>::max()
                    ? std::to_string(low) + " or more"
                    : "from " + std::to_string(low) + " to " + std::to_string(high);
            throw UsageError{name + " must be a whole number " + range + ", not \"" + Local(text) +
                             "\""};
        }
        return value;
    }

    QCommandLineParser parser_;
    const QCommandLineOption help_{{"h", "help"}, "Show this help."};
    const QCommandLineOption version_{"version", "Show the version."};
    const QCommandLineOption layout_{"layout", "The layout to write.", "L"};
    const QCommandLineOption blocks_{"blocks", "The number of blocks.", "N"};
    const QCommandLineOption distance_{"distance", "The view distance.", "D"};
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
