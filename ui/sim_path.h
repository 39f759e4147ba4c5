// The simulator's Aircraft folder, made from the install path that its
// installer records in the registry.
#pragma once

// Registry key and value the simulator's installer writes (HKLM, 32-bit view).
extern const char kSimRegistryKey[];    // Software\Microsoft\Microsoft Games\Combat Flight Simulator\1.00
extern const char kSimRegistryValue[];  // path

// Capacity of the Aircraft folder path, terminator included (MAX_PATH).
constexpr int kAircraftPathCapacity = 260;

// Writes installPath + "\Aircraft" to `out` (kAircraftPathCapacity bytes),
// dropping one trailing backslash of installPath so "C:\CFS\" gives
// "C:\CFS\Aircraft". Returns false, leaving `out` empty, when it does not fit.
bool MakeAircraftPath(const char* installPath, char* out);
