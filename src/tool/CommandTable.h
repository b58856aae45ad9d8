#pragma once

#include <cstddef>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace lumark::tool {

// A command line that cannot be carried out.
struct UsageError {
    std::string message;
};

// An option as the help lists it and the command line takes it.
struct OptionSpec {
    const char* name;   // without the dashes
    const char* value;  // what the help calls its value; nullptr for a flag
    const char* help;
    const char* shortName = nullptr;  // "-h"
};

// What the command line gave a command: its options (the last of a repeated one counts, a
// flag holds "") and its operands.
struct Arguments {
    std::string command;
    std::map<std::string, std::string> options;
    std::vector<std::string> operands;
    // Every option in the order of the line, each time it is given (a flag's value ""), for a
    // command whose options are steps taken in turn.
    std::vector<std::pair<std::string, std::string>> given;

    bool Has(const std::string& name) const { return options.count(name) > 0; }
};

// A command: its line in the usage, its description, the options it takes and how many
// operands, and what runs it. Runs return the exit code and throw UsageError.
struct CommandSpec {
    const char* name;
    const char* synopsis;           // the usage line after "lumark-tool "
    std::vector<const char*> help;  // the description's lines
    std::vector<const OptionSpec*> options;
    std::size_t minOperands;
    std::size_t maxOperands;
    const char* operandsMessage;  // when their number is wrong
    int (*run)(const Arguments&, std::ostream& out, std::ostream& err);

    // The command's own description of the option of that name, or nullptr when it takes none.
    const OptionSpec* Option(const std::string& optionName) const;
};

// Every command in the order of the help.
const std::vector<CommandSpec>& Commands();
const CommandSpec* FindCommand(const std::string& name);

// Every option a command takes, in the order the commands name them: the order of the help
// and of the refusals. One name may stand twice, as a value for one command and a flag for
// another.
const std::vector<const OptionSpec*>& CommandOptions();
// The options of the tool itself, taken with or without a command.
extern const OptionSpec HelpOption;
extern const OptionSpec VersionOption;

std::string HelpText();

}  // namespace lumark::tool
