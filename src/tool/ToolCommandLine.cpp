#include "ToolCommandLine.h"

#include <CLI/CLI.hpp>

#include "CommandTable.h"
#include "ExitCode.h"
#include "LumarkVersion.h"

namespace lumark::tool {

namespace {

// "--bogus=1" -> "bogus".
std::string OptionName(const std::string& argument) {
    const std::size_t start = argument.find_first_not_of('-');
    if (start == std::string::npos) {
        return argument;
    }
    return argument.substr(start, argument.find('=') - start);
}

// Whether any command takes a value after --NAME: the value is then no command name.
bool TakesValue(const std::string& name) {
    for (const OptionSpec* option : CommandOptions()) {
        const bool named =
            name == option->name || (option->shortName && "-" + name == option->shortName);
        if (named && option->value) {
            return true;
        }
    }
    return false;
}

// The command the line names, found before the options are parsed because the command
// decides whether an option takes a value (--blocks N for generate, --blocks for stats).
const CommandSpec* NamedCommand(const std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--") {
            return i + 1 < arguments.size() ? FindCommand(arguments[i + 1]) : nullptr;
        }
        if (argument.size() < 2 || argument[0] != '-') {
            return FindCommand(argument);
        }
        if (argument.find('=') == std::string::npos && TakesValue(OptionName(argument))) {
            ++i;
        }
    }
    return nullptr;
}

class CommandLine {
  public:
    explicit CommandLine(const std::vector<std::string>& arguments)
        : command_(NamedCommand(arguments)) {
        // The tool's own help, messages and exit codes: CLI11 only splits the line. Arguments
        // stay bytes, so file names need not be valid in any encoding.
        app_.set_help_flag();
        app_.allow_extras();
        help_ = Add(HelpOption);
        version_ = Add(VersionOption);
        // Every option of every command, so that a command can refuse one by name; each in
        // the form the named command takes it, else in the first form the table has.
        for (const OptionSpec* option : CommandOptions()) {
            if (parsed_.count(option->name) == 0) {
                const OptionSpec* own = command_ ? command_->Option(option->name) : nullptr;
                parsed_[option->name] = Add(own ? *own : *option);
                names_[parsed_[option->name]] = option->name;
            }
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

    bool WantsHelp() const { return help_->count() > 0; }
    bool WantsVersion() const { return version_->count() > 0; }

    int Run(std::ostream& out, std::ostream& err) const {
        if (positional_.empty()) {
            throw UsageError{"no command given"};
        }
        Arguments arguments;
        arguments.command = positional_.front();
        const CommandSpec* command = FindCommand(arguments.command);
        if (!command) {
            throw UsageError{"unknown command \"" + arguments.command + "\""};
        }
        for (const OptionSpec* option : CommandOptions()) {
            const CLI::Option* parsed = parsed_.at(option->name);
            if (parsed->count() == 0 || arguments.Has(option->name)) {
                continue;
            }
            if (!command->Option(option->name)) {
                throw UsageError{arguments.command + " takes no --" + option->name};
            }
            const auto value = values_.find(option->name);  // a flag has none
            arguments.options[option->name] = value == values_.end() ? "" : value->second;
        }
        // Repeated options each in their place: CLI11 keeps the order of the occurrences and
        // every value given.
        std::map<const CLI::Option*, std::size_t> taken;
        for (const CLI::Option* parsed : app_.parse_order()) {
            const auto name = names_.find(parsed);
            if (name != names_.end()) {
                const std::size_t occurrence = taken[parsed]++;
                const bool hasValue = values_.count(name->second) > 0;
                arguments.given.emplace_back(
                    name->second, hasValue ? parsed->results().at(occurrence) : std::string());
            }
        }
        arguments.operands.assign(positional_.begin() + 1, positional_.end());
        if (arguments.operands.size() < command->minOperands ||
            arguments.operands.size() > command->maxOperands) {
            throw UsageError{command->operandsMessage};
        }
        return command->run(arguments, out, err);
    }

  private:
    CLI::Option* Add(const OptionSpec& option) {
        const std::string names =
            (option.shortName ? std::string(option.shortName) + "," : "") + "--" + option.name;
        if (!option.value) {
            return app_.add_flag(names);
        }
        std::string& value = values_[option.name];
        return app_.add_option(names, value)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    }

    const CommandSpec* command_;
    CLI::App app_;
    CLI::Option* help_ = nullptr;
    CLI::Option* version_ = nullptr;
    std::map<std::string, CLI::Option*> parsed_;
    std::map<const CLI::Option*, std::string> names_;
    std::map<std::string, std::string> values_;  // a map, so that the values CLI11 fills stay put
    std::vector<std::string> positional_;
};

}  // namespace

int RunTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    try {
        const CommandLine commandLine(arguments);
        if (commandLine.WantsHelp()) {
            out << HelpText();
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
