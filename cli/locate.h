// Finding the simulator's Aircraft folder for vantorel-cli when no
// --aircraft-dir is given.
#pragma once
#include <cstddef>

// Writes the Aircraft folder to `out`. On failure returns false and writes a
// message for the user to `error`: what was looked for and where.
// `winePrefix` is the --wine-prefix option, or null (used off Windows only).
bool LocateAircraftFolder(const char* winePrefix, char* out, std::size_t cap, char* error, std::size_t errorCap);
