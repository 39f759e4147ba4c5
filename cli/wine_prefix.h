// Finding the simulator's Aircraft folder inside a Wine prefix, for players
// who run the simulator under Wine on Linux.
#pragma once
#include <cstddef>

// Reads <prefix>/system.reg, takes the install path the simulator's installer
// recorded (the 32-bit view first, then the plain key), maps its drive through
// <prefix>/dosdevices and writes the Aircraft folder as a host path to `out`.
// On failure returns false and writes a message for the user to `error`
// naming what was looked for and where.
bool FindAircraftFolderInWinePrefix(const char* prefix, char* out, std::size_t cap, char* error,
                                    std::size_t errorCap);
