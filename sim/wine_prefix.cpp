#include "wine_prefix.h"

#include "messages.h"
#include "platform.h"
#include "sim_path.h"
#include "wine_registry.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include <sys/stat.h>

namespace {

bool IsFolder(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);  // follows the dosdevices links
}

// Turns "C:\Games\CFS\Aircraft" into "<prefix>/dosdevices/c:/Games/CFS/Aircraft".
bool MapToHost(const char* prefix, const char* winPath, char* out, std::size_t cap, char* error,
               std::size_t errorCap) {
    char drive = 0;
    std::string relative;
    const int resolved = ResolveWindowsPath(winPath, &drive, &relative);
    if (resolved == kWinPathNetwork) {
        std::snprintf(error, errorCap,
                      "the simulator's path %s is a network path, which has no folder in the Wine prefix %s: "
                      "give the Aircraft folder with --aircraft-dir DIR",
                      winPath, prefix);
        return false;
    }
    if (resolved != kWinPathOk) {
        std::snprintf(error, errorCap,
                      "the simulator's path %s is not a full path with a drive letter, such as C:\\CFS, so it cannot be "
                      "found in the Wine prefix %s: give the Aircraft folder with --aircraft-dir DIR",
                      winPath, prefix);
        return false;
    }
    // Wine names its drive links in lower case whatever case the path uses.
    const std::string root = std::string(prefix) + "/dosdevices/" + static_cast<char>(drive | 0x20) + ":";
    if (root.size() >= cap) {
        std::snprintf(error, errorCap, "the Wine prefix path %s is too long", prefix);
        return false;
    }
    if (!IsFolder(root.c_str())) {
        std::snprintf(error, errorCap,
                      "drive %c: of the simulator's path %s is not mapped in the Wine prefix (no folder or link %s)",
                      drive, winPath, root.c_str());
        return false;
    }
    const std::string host = relative.empty() ? root : root + "/" + relative;
    if (host.size() >= cap) {
        std::snprintf(error, errorCap, "the Aircraft folder path %s is too long", host.c_str());
        return false;
    }
    std::memcpy(out, host.c_str(), host.size() + 1);
    return true;
}

// The whole of <prefix>/<name> as registry text; false, with *why set, when
// it cannot be read or is not a Wine registry file.
bool ReadRegistryFile(const std::string& path, const char* prefix, std::string* text, char* why, std::size_t whyCap) {
    int err = 0;
    if (!ReadRegularFile(path.c_str(), text, &err)) {
        if (err == ENOENT)
            std::snprintf(why, whyCap, "%s (no registry file %s: is %s a Wine prefix?)", kMsgNotInstalled, path.c_str(),
                          prefix);
        else if (err == EINVAL || err == EISDIR)
            std::snprintf(why, whyCap, "the registry file %s is not a file", path.c_str());
        else
            std::snprintf(why, whyCap, "cannot read the registry file %s: %s", path.c_str(), std::strerror(err));
        return false;
    }
    if (!IsWineRegistryText(text->data(), text->size())) {
        std::snprintf(why, whyCap, "%s is not a Wine registry file (no \"WINE REGISTRY Version 2\" header)", path.c_str());
        return false;
    }
    return true;
}

} // namespace

// The whole file in memory: system.reg is a few megabytes at most.
bool ReadRegularFile(const char* path, std::string* text, int* err) {
    std::FILE* f = PlatformOpenRead(path, err);
    if (!f) return false;
    char chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) text->append(chunk, n);
    *err = std::ferror(f) ? EIO : 0;
    std::fclose(f);
    return *err == 0;
}

int ResolveWindowsPath(const char* winPath, char* drive, std::string* relative) {
    const auto isSep = [](char c) { return c == '\\' || c == '/'; };
    const char* p = winPath;
    relative->clear();
    *drive = 0;
    // \\?\ and \??\ hand the rest to the file system as it stands, \\.\ names a
    // device; before a drive letter all three mean the drive. The rest is
    // resolved all the same: a prefix must keep a copy inside it either way.
    const bool device = isSep(p[0]) && ((isSep(p[1]) && (p[2] == '?' || p[2] == '.')) || (p[1] == '?' && p[2] == '?')) &&
                        isSep(p[3]);
    if (device) {
        p += 4;
        if ((p[0] | 0x20) == 'u' && (p[1] | 0x20) == 'n' && (p[2] | 0x20) == 'c' && (isSep(p[3]) || !p[3]))
            return kWinPathNetwork;
    } else if (isSep(p[0]) && isSep(p[1])) {
        return kWinPathNetwork;
    }
    const char letter = static_cast<char>(p[0] & ~0x20);
    if (letter < 'A' || letter > 'Z' || p[1] != ':' || !isSep(p[2])) return kWinPathNoDrive;
    *drive = letter;

    std::vector<std::size_t> starts;  // where each kept component begins in *relative, for ".."
    for (p += 3; *p;) {
        if (isSep(*p)) {
            ++p;
            continue;
        }
        const char* begin = p;
        while (*p && !isSep(*p)) ++p;
        std::size_t n = static_cast<std::size_t>(p - begin);
        if (n == 1 && begin[0] == '.') continue;
        if (n == 2 && begin[0] == '.' && begin[1] == '.') {
            if (!starts.empty()) {
                relative->resize(starts.back() ? starts.back() - 1 : 0);
                starts.pop_back();
            }
            continue;
        }
        while (n > 0 && (begin[n - 1] == '.' || begin[n - 1] == ' ')) --n;
        if (n == 0) continue;
        if (!relative->empty()) *relative += '/';
        starts.push_back(relative->size());
        relative->append(begin, n);
    }
    return kWinPathOk;
}

bool FindAircraftFolderInWinePrefix(const char* prefix, char* out, std::size_t cap, char* error,
                                    std::size_t errorCap) {
    const std::string regPath = std::string(prefix) + "/system.reg";
    std::string text;
    if (!ReadRegistryFile(regPath, prefix, &text, error, errorCap)) return false;

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

std::string FindRememberedFolderInWinePrefix(const char* prefix) {
    std::string text;
    char winPath[1024], host[kAircraftPathCapacity], ignored[1024];
    bool expand = false;
    // Only a plain string counts, as on Windows.
    if (!ReadRegistryFile(std::string(prefix) + "/user.reg", prefix, &text, ignored, sizeof ignored) ||
        FindWineRegistryString(text.data(), text.size(), kUserRegistryKey, kUserRegistryValue, winPath,
                               sizeof winPath, &expand) != kWineRegOk ||
        expand || !MapToHost(prefix, winPath, host, sizeof host, ignored, sizeof ignored))
        return "";
    return host;
}
