// What the Linux-side CLI tests share: the prefixes of the simulator's tests,
// and vantorel-cli run as a process.
#pragma once
#ifndef _WIN32
#include "sim/sim_support.h"

#include <iterator>

inline int Count(const std::string& text, const std::string& pattern) {
    const std::regex re(pattern);
    return static_cast<int>(std::distance(std::sregex_iterator(text.begin(), text.end(), re), {}));
}

struct CliRun { int status; std::string out, err; };

// Runs "$VANTOREL_CLI <args>" (shell text) with $WINEPREFIX unset and $HOME
// pointing nowhere. `setup` comes just before the program: variables for it
// or commands ending in ';'. Output goes through pipes, so a file size limit
// set in `setup` does not stop the program's messages.
inline CliRun RunCli(const std::string& args, const std::string& setup = "") {
    TempDir capture;
    const std::string command = "cd '" + capture.path + "' && unset WINEPREFIX; export HOME=/nonexistent-home; { { (" +
                                setup + " \"$VANTOREL_CLI\" " + args +
                                "); echo $? >status; } 2>&1 1>&3 | cat >err; } 3>&1 | cat >out";
    if (std::system(command.c_str()) != 0) return {-1, "", ""};
    return {std::atoi(ReadBytes(capture.path + "/status").c_str()), ReadBytes(capture.path + "/out"),
            ReadBytes(capture.path + "/err")};
}
#endif
