// Finding the simulator's Aircraft folder for vantorel-cli, and saying how it
// was found: the one place every way of finding it lives.
#pragma once
#include <string>

struct SimLocation {
    std::string aircraftDir;  // the Aircraft folder, a path of this system
    // How it was found, for the user: "given with --aircraft-dir",
    // "Windows registry (HKLM\...)", or "Wine prefix DIR (from --wine-prefix)",
    // "(from $WINEPREFIX)", "(~/.wine)", "(found in the <manager> home DIR)".
    std::string how;
};

// Finds the Aircraft folder, first of:
//   `aircraftDirOption` (--aircraft-dir; trailing separators dropped);
//   on Windows, the simulator's registry entry;
//   elsewhere the Wine prefix `winePrefixOption` (--wine-prefix), else
//   $WINEPREFIX, else ~/.wine; when ~/.wine has no simulator, the one prefix
//   with it under the homes Bottles, Lutris, PlayOnLinux, CrossOver and
//   Steam (Proton) keep prefixes in. A prefix found there counts when its
//   registry names the simulator and the Aircraft folder exists.
// Either option may be null. On failure returns false and sets *error to a
// message for the user naming what was looked for and where; several
// prefixes with the simulator are a failure too, naming them all.
bool LocateSimulator(const char* aircraftDirOption, const char* winePrefixOption, SimLocation* out,
                     std::string* error);

// For `vantorel-cli where`: prints the Aircraft folder on stdout's first line
// (for scripts) and "source: <how>" on the second. Returns false, having said
// so on stderr, when no folder is there.
bool PrintWhere(const SimLocation& where);
