#include "locate.h"

#include <cstdio>

#ifdef _WIN32
#include "sim_path.h"
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
    if (std::strlen(path) >= cap) {
        std::snprintf(error, errorCap, "the Aircraft folder path %s is too long", path);
        return false;
    }
    std::strcpy(out, path);
    return true;
}
#else
#include "wine_prefix.h"
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>

// Under Wine the registry is a set of text files in the prefix: the same
// choice of prefix as Wine itself makes, so the player's usual prefix is found.
bool LocateAircraftFolder(const char* winePrefix, char* out, std::size_t cap, char* error, std::size_t errorCap) {
    std::string prefix;
    const char* origin;
    const char* env = std::getenv("WINEPREFIX");
    const char* home = std::getenv("HOME");
    if (winePrefix) {
        prefix = winePrefix;
        origin = "given with --wine-prefix";
    } else if (env && *env) {
        prefix = env;
        origin = "from $WINEPREFIX";
    } else if (home && *home) {
        prefix = std::string(home) + "/.wine";
        origin = "the default, as neither --wine-prefix nor $WINEPREFIX is given";
    } else {
        std::snprintf(error, errorCap, "no Wine prefix to look in: none is given with --wine-prefix or $WINEPREFIX "
                                       "and $HOME is not set; give the Aircraft folder with --aircraft-dir DIR");
        return false;
    }
    while (prefix.size() > 1 && prefix.back() == '/') prefix.pop_back();
    struct stat st;
    if (stat(prefix.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        std::snprintf(error, errorCap, "no Wine prefix at %s (%s): give --wine-prefix DIR or --aircraft-dir DIR",
                      prefix.c_str(), origin);
        return false;
    }
    return FindAircraftFolderInWinePrefix(prefix.c_str(), out, cap, error, errorCap);
}
#endif
