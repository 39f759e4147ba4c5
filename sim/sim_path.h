// The simulator's Aircraft folder, made from the install path that its
// installer records in the registry or from the folder the player picked.
// Portable declarations: the registry is read by registry_win32.cpp, linked
// only into Windows programs.
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

// ---- Finding the simulator without its installer's entry ---------------------

// Where Vantorel remembers the folder the player picked (HKCU, REG_SZ).
extern const char kUserRegistryKey[];    // Software\Vantorel
extern const char kUserRegistryValue[];  // path

// Whether `folder` holds at least one stock aircraft folder (catalogue
// names, letter case aside).
bool HoldsStockAircraft(const char* folder);

// The Aircraft folder for a folder the player picked: its "Aircraft"
// subfolder when that holds a stock aircraft, else the picked folder itself
// when it does (the player picked the Aircraft folder). Written to `out`
// (kAircraftPathCapacity bytes); false, with `out` empty, when neither holds
// one or the path does not fit.
bool FindAircraftFolder(const char* chosen, char* out);

// The one order of the simulator's records, for every front end: the
// installer's entry when its folder holds a stock aircraft; else the folder
// the player picked and Vantorel remembered (`remembered`, empty for none),
// when it holds one; else the installer's entry as it is, so its own failure
// is what the player hears. `folder` (kAircraftPathCapacity bytes) holds the
// installer entry's Aircraft folder when `installer` is kRegistryOk, and
// receives the folder to use. *fromRemembered, when given, tells which record
// gave it.
int ChooseAircraftFolder(int installer, const std::string& remembered, char* folder, bool* fromRemembered = nullptr);

// The remembered folder (HKCU\<kUserRegistryKey>, "path"), or empty when
// there is none or it is not a terminated string. Windows only.
std::string ReadRememberedFolderFromRegistry();
// Remembers `chosen` for the next start; returns false when it could not.
// Windows only.
bool WriteRememberedFolderToRegistry(const char* chosen);

// ---- Showing a copy ---------------------------------------------------------

// Where Windows Vista and later put files that a program without
// administrator rights writes below a protected folder:
// localAppData\VirtualStore\ followed by `path` without its drive
// ("C:\Program Files\X" gives "...\VirtualStore\Program Files\X"). False
// when `path` has no drive letter (network paths are never redirected) or
// `localAppData` is empty.
bool VirtualStorePath(const char* path, const char* localAppData, std::string* out);

// Where the copy at `copyFolder` is: at its own path, else, when Windows
// redirected it, in the VirtualStore below `localAppData`; empty when it is
// in neither place.
std::string CopyLocation(const std::string& copyFolder, const std::string& localAppData);

// The folder to show for the copy at `copyFolder`: its Texture subfolder,
// else the folder itself, where CopyLocation finds it. Empty when the copy is
// in neither place.
std::string FolderToOpen(const std::string& copyFolder, const std::string& localAppData);

// This process's %LOCALAPPDATA%, or empty where there is none.
std::string LocalAppData();
