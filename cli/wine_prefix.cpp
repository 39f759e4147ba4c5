#include "wine_prefix.h"

#include "messages.h"
#include "sim_path.h"
#include "wine_registry.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace {

// The whole file in memory: system.reg is a few megabytes at most.
bool ReadWholeFile(const char* path, std::string* text, int* err) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) {
        *err = errno;
        return false;
    }
    char chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) text->append(chunk, n);
    *err = std::ferror(f) ? EIO : 0;
    std::fclose(f);
    return *err == 0;
}

bool IsFolder(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);  // follows the dosdevices links
}

// Turns "C:\Games\CFS\Aircraft" into "<prefix>/dosdevices/c:/Games/CFS/Aircraft".
bool MapToHost(const char* prefix, const char* winPath, char* out, std::size_t cap, char* error,
               std::size_t errorCap) {
    const unsigned char drive = static_cast<unsigned char>(winPath[0]);
    if (winPath[0] == '\\' && winPath[1] == '\\') {
        std::snprintf(error, errorCap,
                      "the simulator's path %s is a network path, which has no folder in the Wine prefix %s: "
                      "give the Aircraft folder with --aircraft-dir DIR",
                      winPath, prefix);
        return false;
    }
    const bool letter = (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
    if (!letter || winPath[1] != ':' || winPath[2] != '\\') {
        std::snprintf(error, errorCap,
                      "the simulator's path %s is not a full path with a drive letter, such as C:\\CFS, so it cannot be "
                      "found in the Wine prefix %s: give the Aircraft folder with --aircraft-dir DIR",
                      winPath, prefix);
        return false;
    }
    // Wine names its drive links in lower case whatever case the path uses.
    const char lower = static_cast<char>(drive | 0x20);
    int n = std::snprintf(out, cap, "%s/dosdevices/%c:", prefix, lower);
    if (n < 0 || static_cast<std::size_t>(n) >= cap) {
        std::snprintf(error, errorCap, "the Wine prefix path %s is too long", prefix);
        return false;
    }
    if (!IsFolder(out)) {
        std::snprintf(error, errorCap,
                      "drive %c: of the simulator's path %s is not mapped in the Wine prefix (no folder or link %s)",
                      drive & ~0x20, winPath, out);
        return false;
    }
    std::size_t len = static_cast<std::size_t>(n);
    if (len + std::strlen(winPath + 2) >= cap) {
        std::snprintf(error, errorCap, "the Aircraft folder path %s%s is too long", out, winPath + 2);
        return false;
    }
    for (const char* p = winPath + 2; *p; ++p) out[len++] = *p == '\\' ? '/' : *p;
    out[len] = '\0';
    return true;
}

} // namespace

bool FindAircraftFolderInWinePrefix(const char* prefix, char* out, std::size_t cap, char* error,
                                    std::size_t errorCap) {
    std::string regPath = std::string(prefix) + "/system.reg";
    std::string text;
    int err = 0;
    if (!ReadWholeFile(regPath.c_str(), &text, &err)) {
        if (err == ENOENT)
            std::snprintf(error, errorCap, "%s (no registry file %s: is %s a Wine prefix?)", kMsgNotInstalled,
                          regPath.c_str(), prefix);
        else
            std::snprintf(error, errorCap, "cannot read the registry file %s: %s", regPath.c_str(), std::strerror(err));
        return false;
    }
    if (!IsWineRegistryText(text.data(), text.size())) {
        std::snprintf(error, errorCap, "%s is not a Wine registry file (no \"WINE REGISTRY Version 2\" header)",
                      regPath.c_str());
        return false;
    }

    // A 64-bit prefix keeps what the 32-bit installer wrote under Wow6432Node;
    // a 32-bit prefix has the plain key only.
    static const char kSoftware[] = "Software\\";
    const std::string keys[2] = {std::string(kSoftware) + "Wow6432Node\\" + (kSimRegistryKey + sizeof kSoftware - 1),
                                 kSimRegistryKey};
    char installPath[1024];
    int results[2];
    bool expand = false;
    int used = -1;
    for (int k = 0; k < 2 && used < 0; ++k) {
        results[k] = FindWineRegistryString(text.data(), text.size(), keys[k].c_str(), kSimRegistryValue,
                                            installPath, sizeof installPath, &expand);
        if (results[k] == kWineRegOk) used = k;
    }
    if (used < 0) {
        if (results[0] == kWineRegNoKey && results[1] == kWineRegNoKey) {
            std::snprintf(error, errorCap, "%s (no key HKLM\\%s nor HKLM\\%s in %s)", kMsgNotInstalled,
                          keys[0].c_str(), keys[1].c_str(), regPath.c_str());
            return false;
        }
        const int k = results[0] != kWineRegNoKey ? 0 : 1;
        const char* why = results[k] == kWineRegNoValue     ? "has no value"
                          : results[k] == kWineRegNotString ? "has a value that is not a string:"
                                                            : "has a value too long for a path:";
        std::snprintf(error, errorCap, "%s (key HKLM\\%s in %s %s \"%s\")", kMsgPathNotFound, keys[k].c_str(),
                      regPath.c_str(), why, kSimRegistryValue);
        return false;
    }

    char expanded[1024];
    const char* path = installPath;
    if (expand) {
        if (!ExpandWineVariables(text.data(), text.size(), installPath, expanded, sizeof expanded)) {
            std::snprintf(error, errorCap, "%s (value \"%s\" of HKLM\\%s is too long once expanded)", kMsgPathNotFound,
                          kSimRegistryValue, keys[used].c_str());
            return false;
        }
        path = expanded;
    }
    char aircraft[kAircraftPathCapacity];
    if (!MakeAircraftPath(path, aircraft)) {
        std::snprintf(error, errorCap, "%s (value \"%s\" of HKLM\\%s is too long for a path: %s)", kMsgPathNotFound,
                      kSimRegistryValue, keys[used].c_str(), path);
        return false;
    }
    return MapToHost(prefix, aircraft, out, cap, error, errorCap);
}
