#pragma once

#include <string>
#include <string_view>

namespace tablift {

// The help text both programs print: their own usage line, what Tablift does,
// and the options every program understands.
std::string ProgramHelp(std::string_view usageLine);

// Answers --help/-h and --version/-V for the program named `program`: prints
// the help or "<program> <version>" to standard output and returns true; false
// for any other argument.
bool AnswerStandardOption(std::string_view argument, std::string_view program,
                          std::string_view usageLine);

}  // namespace tablift
