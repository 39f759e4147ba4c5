// Reading string values out of a Wine registry file (system.reg), the text
// form in which Wine keeps HKEY_LOCAL_MACHINE:
//
//   WINE REGISTRY Version 2
//   ;; All keys relative to \\Machine
//   #arch=win64
//
//   [Software\\Wow6432Node\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\1.00] 1712345678
//   #time=1da8f3c2b4e6a10
//   "path"="C:\\Program Files (x86)\\Microsoft Games\\Combat Flight Simulator"
//
// Key names are written with doubled backslashes; strings use C-like escapes,
// with \x hex escapes for characters outside ASCII. Values are returned in
// UTF-8, the encoding Wine gives file names on Linux.
#pragma once
#include <cstddef>

enum WineRegistryResult : int {
    kWineRegOk = 0,
    kWineRegNoKey = 1,      // no such key in the file
    kWineRegNoValue = 2,    // the key has no value of that name
    kWineRegNotString = 3,  // the value is there but is not a string (dword:, hex:...)
    kWineRegTooLong = 4,    // the string does not fit the caller's buffer
};

// True when `text` starts with the header line Wine writes at the top of
// every registry file.
bool IsWineRegistryText(const char* text, std::size_t size);

// True when the file declares "#arch=win64": a 64-bit prefix, in which a
// 32-bit program's "Program Files" is "Program Files (x86)".
bool IsWin64Registry(const char* text, std::size_t size);

// Finds value `valueName` ("" for the key's default value, written @=) of key
// `keyPath` (single backslashes, letter case ignored as the registry does).
// Writes the decoded UTF-8 string to `out` (REG_EXPAND_SZ values unexpanded)
// and sets *expand when the value was REG_EXPAND_SZ (str(2):). Returns a
// WineRegistryResult.
int FindWineRegistryString(const char* text, std::size_t size, const char* keyPath, const char* valueName,
                           char* out, std::size_t cap, bool* expand);

// Expands the %variables% of a REG_EXPAND_SZ value as a 32-bit program of
// the prefix would see them: SystemRoot, windir, SystemDrive, ProgramFiles
// and the like from the registry file itself, else Wine's defaults; then the
// machine environment key, whose own REG_EXPAND_SZ values are expanded once,
// in file order, as Wine builds a process's environment. One pass: a
// variable's value is not expanded again. Unknown variables stay as written.
// Returns false when the result does not fit `cap` bytes or uses a variable
// longer than 1023 bytes. Time is linear in `size` and the value's length.
bool ExpandWineVariables(const char* text, std::size_t size, const char* value, char* out, std::size_t cap);
