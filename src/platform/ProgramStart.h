#pragma once

#include <string>
#include <vector>

// What a command-line program takes from the system when it starts.
namespace lumark::platform {

// The arguments after the program's name, in UTF-8. On Windows they are taken from the wide
// command line, so that names outside the ANSI code page arrive whole.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Standard output and error carry bytes as they are written (no CR added before LF on
// Windows), and a console shows them as UTF-8.
void UseBinaryStandardStreams();

}  // namespace lumark::platform
