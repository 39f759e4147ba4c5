// Finding the simulator's Aircraft folder for vantorel-cli, and saying how it
// was found: every way of finding it, in one order.
#pragma once
#include <string>

struct SimLocation {
    std::string aircraftDir;  // the Aircraft folder, a path of this system
    // How it was found, for the user: "given with --aircraft-dir",
    // "Windows registry (HKLM\...)", or "Wine prefix DIR (from --wine-prefix)",
    // "(from $WINEPREFIX)", "(~/.wine)", "(found in the <manager> home DIR)";
    // with ", the folder picked with Find CFS... (HKCU\...)" when that
    // record gave it.
    std::string how;
};

// Finds the Aircraft folder, first of:
//   `aircraftDirOption` (--aircraft-dir; trailing separators dropped);
//   on Windows, the registry as ChooseAircraftFolder orders it: the
//   installer's entry, the folder the player picked in the dialog;
//   elsewhere the registry of the Wine prefix `winePrefixOption`
//   (--wine-prefix), else $WINEPREFIX, else ~/.wine, in the same order; when
//   ~/.wine has no simulator, the one prefix with it under the homes Bottles,
//   Lutris, PlayOnLinux, CrossOver and Steam (Proton) keep prefixes in. A
//   prefix found there counts when its registry names the simulator and the
//   Aircraft folder exists. Only regular files are read, so a FIFO or a
//   device named like a registry file never makes the search wait.
// Either option may be null. On failure returns false and sets *error to a
// message for the user naming what was looked for and where; several
// prefixes with the simulator are a failure too, naming them all.
bool LocateSimulator(const char* aircraftDirOption, const char* winePrefixOption, SimLocation* out,
                     std::string* error);
