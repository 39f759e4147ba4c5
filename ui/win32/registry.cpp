#include "sim_path.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>

// The simulator is a 32-bit program, so its installer wrote to the 32-bit
// view (Wow6432Node on 64-bit Windows). KEY_WOW64_32KEY changes nothing for
// the 32-bit Vantorel.exe and makes a 64-bit build read the same place.
RegistryResult ReadAircraftFolderFromRegistry(char* out) {
    out[0] = '\0';
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSimRegistryKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
        return kRegistryNotInstalled;
    char value[kAircraftPathCapacity];
    DWORD type = REG_NONE;
    DWORD size = sizeof value;
    LONG rc = RegQueryValueExA(key, kSimRegistryValue, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    // A longer value gives ERROR_MORE_DATA and is refused with the rest.
    if (rc != ERROR_SUCCESS) return kRegistryPathNotFound;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return kRegistryPathNotFound;
    // RegQueryValueExA returns the bytes as stored: a value written without
    // its terminator comes back unterminated.
    if (size == 0 || std::memchr(value, '\0', size) == nullptr) return kRegistryPathNotFound;
    // An empty path would put the copy under the root of the current drive.
    if (value[0] == '\0') return kRegistryPathNotFound;

    const char* installPath = value;
    char expanded[kAircraftPathCapacity];
    if (type == REG_EXPAND_SZ) {
        DWORD needed = ExpandEnvironmentStringsA(value, expanded, sizeof expanded);
        if (needed == 0 || needed > sizeof expanded) return kRegistryPathNotFound;
        installPath = expanded;
    }
    return MakeAircraftPath(installPath, out) ? kRegistryOk : kRegistryPathNotFound;
}

// Per user, so that the choice needs no administrator rights and each player
// of a shared machine keeps their own simulator.
std::string ReadRememberedFolderFromRegistry() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kUserRegistryKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
    char value[kAircraftPathCapacity];
    DWORD type = REG_NONE;
    DWORD size = sizeof value;
    LONG rc = RegQueryValueExA(key, kUserRegistryValue, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ || size == 0 || std::memchr(value, '\0', size) == nullptr) return "";
    return value;
}

bool WriteRememberedFolderToRegistry(const char* chosen) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kUserRegistryKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExA(key, kUserRegistryValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(chosen),
                             static_cast<DWORD>(std::strlen(chosen) + 1));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}
