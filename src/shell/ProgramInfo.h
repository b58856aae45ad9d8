#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lumark {

// "Lumark 0.9.35".
std::string ProgramNameAndVersion();

// The About box, as rich text: name and version, what the program edits, and its keys and
// mouse actions as tables of two columns.
std::string AboutHtml();

// What `lumark --help` or `lumark --version` prints, for the arguments after the program name;
// empty when the arguments ask for neither and the window should open.
std::optional<std::string> CommandLineAnswer(const std::vector<std::string>& arguments);

}  // namespace lumark
