// vantorel-cli's commands for copies made earlier:
//   copies                          one line per copy in the Aircraft folder
//   remove FOLDER [--dry-run] [--permanent]
#pragma once

// Prints the copies in `aircraftDir`, one line each: folder, stock aircraft,
// in-game name, state. Returns 0, also when there are none; 3 when the
// Aircraft folder is not there.
int RunCopiesCommand(const char* aircraftDir);

// Removes the copy `folder` of `aircraftDir`: to the trash, or with
// `permanent` only the entries the copy made. Returns 0 when done (or, with
// `dryRun`, when it could be), 2 when refused (nothing changed), 1 when it
// failed part-way (the message says what was removed and what remains), 3
// when the Aircraft folder is not there.
int RunRemoveCommand(const char* aircraftDir, const char* folder, bool dryRun, bool permanent);

// True when folder `aircraftDir` is there; else says so on stderr, as every
// command does before it exits with "path not found".
bool HaveAircraftFolder(const char* aircraftDir);
