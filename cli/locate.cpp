#include "locate.h"

#include <cstdio>

#ifdef _WIN32
#include "win32/registry.h"
#include "messages.h"
#include <cstring>

bool LocateAircraftFolder(const char*, char* out, std::size_t cap, char* error, std::size_t errorCap) {
    char path[kAircraftPathCapacity];
    int rc = ReadAircraftFolderFromRegistry(path);
    if (rc != 0) {
        std::snprintf(error, errorCap, "%s (looked in HKLM\\%s, value \"%s\")",
                      rc == kRegistryNotInstalled ? kMsgNotInstalled : kMsgPathNotFound, kSimRegistryKey,
                      kSimRegistryValue);
        return false;
    }
    if (std::strlen(path) >= cap) return false;
    std::strcpy(out, path);
    return true;
}
#else
bool LocateAircraftFolder(const char*, char*, std::size_t, char* error, std::size_t errorCap) {
    std::snprintf(error, errorCap, "no simulator registry on this system: give the Aircraft folder with --aircraft-dir DIR");
    return false;
}
#endif
