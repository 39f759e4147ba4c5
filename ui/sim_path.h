// The simulator's Aircraft folder, made from the install path that its
// installer records in the registry. Portable declarations: the registry is
// read by ui/win32/registry.cpp, linked only into Windows programs.
#pragma once
#include <string>

// Registry key and value the simulator's installer writes (HKLM, 32-bit view).
extern const char kSimRegistryKey[];    // Software\Microsoft\Microsoft Games\Combat Flight Simulator\1.00
extern const char kSimRegistryValue[];  // path

// Capacity of the Aircraft folder path, terminator included (MAX_PATH).
constexpr int kAircraftPathCapacity = 260;

// Writes installPath + "\Aircraft" to `out` (kAircraftPathCapacity bytes),
// dropping one trailing backslash of installPath so "C:\CFS\" gives
// "C:\CFS\Aircraft". Returns false, leaving `out` empty, when it does not fit.
bool MakeAircraftPath(const char* installPath, char* out);

enum RegistryResult : int {
    kRegistryOk = 0,
    kRegistryNotInstalled = 1,  // the key cannot be opened: "CFS not installed!"
    kRegistryPathNotFound = 2,  // no usable "path" value: "CFS path not found!"
};

// Reads HKLM\<kSimRegistryKey> value "path" (32-bit view) and writes the
// Aircraft folder to `out` (kAircraftPathCapacity bytes). Only a string value
// (REG_SZ, or REG_EXPAND_SZ with its variables expanded) that is terminated
// within the buffer and leaves room for "\Aircraft" is used. Windows only.
RegistryResult ReadAircraftFolderFromRegistry(char* out);

// Where Windows Vista and later put a file that a program without
// administrator rights wrote under a protected folder such as Program
// Files: %LOCALAPPDATA%\VirtualStore\ and the path without its drive
// ("C:\Program Files\CFS" -> "...\VirtualStore\Program Files\CFS").
// Empty when `path` has no drive or LOCALAPPDATA is not set.
std::string VirtualStorePath(const char* path);
