// Finding the simulator's Aircraft folder inside a Wine prefix, for players
// who run the simulator under Wine on Linux.
#pragma once
#include <cstddef>
#include <string>

enum WindowsPathResult : int {
    kWinPathOk = 0,
    kWinPathNetwork = 1,  // \\server\share, \\?\UNC\...: no folder in a prefix
    kWinPathNoDrive = 2,  // not a full path with a drive letter (C:CFS, \CFS, CFS)
};

// Resolves an absolute Windows path the way Windows does before opening it:
// \\?\, \\.\ and \??\ prefixes taken off, / and \ both separators, repeated
// separators collapsed, "." dropped, ".." removing the component before it
// but never leaving the drive root, and each component's trailing dots and
// spaces dropped. Writes the drive letter in upper case to *drive and the
// components joined with '/' to *relative ("" for the drive root). Returns a
// WindowsPathResult.
int ResolveWindowsPath(const char* winPath, char* drive, std::string* relative);

// Reads the whole of the regular file `path` into *text. False, with the
// errno in *err, when it cannot: EINVAL or EISDIR for a FIFO, a device or a
// folder, which are never opened for reading, so nothing waits for a writer.
bool ReadRegularFile(const char* path, std::string* text, int* err);

// Reads <prefix>/system.reg, takes the install path the simulator's installer
// recorded (the 32-bit view first, then the plain key), maps its drive through
// <prefix>/dosdevices and writes the Aircraft folder as a host path to `out`.
// On failure returns false and writes a message for the user to `error`
// naming what was looked for and where.
bool FindAircraftFolderInWinePrefix(const char* prefix, char* out, std::size_t cap, char* error,
                                    std::size_t errorCap);

// The folder the player picked in the dialog run in this prefix, as
// <prefix>/user.reg remembers it (HKCU\Software\Vantorel, "path"), mapped
// to a host path; empty when there is none or it cannot be mapped.
std::string FindRememberedFolderInWinePrefix(const char* prefix);
