// The command line as the engine takes it: bytes in the system's ANSI code
// page, the code page the simulator and its files use.
#pragma once
#include <string>
#include <vector>

struct AnsiArguments {
    std::vector<std::string> args;  // argv[0] included
    std::vector<bool> exact;        // false: a character the code page cannot hold was replaced
};

// On Windows the arguments are read as typed (wide) and converted without
// best fit, so "Ω" is never quietly taken for "O"; elsewhere they are passed
// on as they are.
AnsiArguments ReadArguments(int argc, char** argv);

// True when `value` is one of the arguments that could not be converted.
bool IsInexactArgument(const AnsiArguments& a, const std::string& value);
