#include "sim_path.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>
#include <cwchar>

// The simulator is a 32-bit program, so its installer wrote to the 32-bit
// view (Wow6432Node on 64-bit Windows). KEY_WOW64_32KEY changes nothing for
// the 32-bit Vantorel.exe and makes a 64-bit build read the same place.
// The value is read as stored (UTF-16) and converted without best fit: the
// A functions would quietly turn "C:\Ωmega" into "C:\Omega", another folder.
RegistryResult ReadAircraftFolderFromRegistry(char* out) {
    out[0] = '\0';
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSimRegistryKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
        return kRegistryNotInstalled;
    wchar_t valueName[16] = {};
    for (std::size_t i = 0; kSimRegistryValue[i] && i + 1 < 16; ++i) valueName[i] = kSimRegistryValue[i];
    wchar_t value[kAircraftPathCapacity];
    DWORD type = REG_NONE;
    DWORD size = sizeof value;
    LONG rc = RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    // A longer value gives ERROR_MORE_DATA and is refused with the rest.
    if (rc != ERROR_SUCCESS) return kRegistryPathNotFound;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return kRegistryPathNotFound;
    // RegQueryValueEx returns the value as stored: one written without its
    // terminator comes back unterminated.
    const std::size_t count = size / sizeof(wchar_t);
    if (count == 0 || std::wmemchr(value, L'\0', count) == nullptr) return kRegistryPathNotFound;
    // An empty path would put the copy under the root of the current drive.
    if (value[0] == L'\0') return kRegistryPathNotFound;

    const wchar_t* installPath = value;
    wchar_t expanded[kAircraftPathCapacity];
    if (type == REG_EXPAND_SZ) {
        DWORD needed = ExpandEnvironmentStringsW(value, expanded, kAircraftPathCapacity);
        if (needed == 0 || needed > kAircraftPathCapacity) return kRegistryPathNotFound;
        installPath = expanded;
    }
    char narrow[kAircraftPathCapacity];
    BOOL usedDefault = FALSE;
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, installPath, -1, narrow, sizeof narrow, nullptr,
                            &usedDefault) == 0 ||
        usedDefault)
        return kRegistryPathNotFound;
    return MakeAircraftPath(narrow, out) ? kRegistryOk : kRegistryPathNotFound;
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
