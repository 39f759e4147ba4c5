#include "platform.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#ifdef _WIN32
#include <direct.h>
#else
#include <dirent.h>
#endif

bool SameIgnoringCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        unsigned char x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return false;
    }
    return *a == *b;
}

namespace {

#ifndef _WIN32

// Finds the entry of folder `dir` that `name` stands for, as Windows would:
// an exact match first, else the first case-insensitive match in byte order.
// Returns false when there is none.
bool FindEntryIgnoringCase(const char* dir, const char* name, char* found, std::size_t cap) {
    DIR* d = opendir(*dir ? dir : "/");
    if (!d) return false;
    bool any = false;
    while (const dirent* e = readdir(d)) {
        if (!SameIgnoringCase(e->d_name, name)) continue;
        if (std::strcmp(e->d_name, name) == 0 || !any || std::strcmp(e->d_name, found) < 0) {
            if (std::strlen(e->d_name) >= cap) continue;
            std::strcpy(found, e->d_name);
            any = true;
            if (std::strcmp(e->d_name, name) == 0) break;
        }
    }
    closedir(d);
    return any;
}
#endif

// Resolves every component of `path` but the last into `out`, copies the last
// as given, and returns a pointer to where the last component starts in `out`.
char* ResolveParent(const char* path, char* out, std::size_t cap) {
    const char* slash = std::strrchr(path, kPathSep);
    if (!slash) {
        if (std::strlen(path) >= cap) return nullptr;
        std::strcpy(out, path);
        return out;
    }
    std::size_t dirLen = static_cast<std::size_t>(slash - path);
    char dir[1024];
    if (dirLen >= sizeof dir) return nullptr;
    std::memcpy(dir, path, dirLen);
    dir[dirLen] = '\0';
    if (!PlatformResolvePath(dir, out, cap)) return nullptr;
    std::size_t used = std::strlen(out);
    if (used + 1 + std::strlen(slash + 1) >= cap) return nullptr;
    out[used] = kPathSep;
    std::strcpy(out + used + 1, slash + 1);
    return out + used + 1;
}

bool StatResolved(const char* path, struct stat* st) {
    if (stat(path, st) == 0) return true;  // as given: no lookup needed
    char real[1024];
    return PlatformResolvePath(path, real, sizeof real) && stat(real, st) == 0;
}

} // namespace

bool PlatformResolvePath(const char* path, char* out, std::size_t cap) {
    std::size_t len = std::strlen(path);
    if (len >= cap) return false;
#ifdef _WIN32
    std::strcpy(out, path);  // the file system already ignores letter case
    return true;
#else
    std::strcpy(out, path);
    // Walk the components; an exact hit needs no directory scan.
    std::size_t start = (out[0] == '/') ? 1 : 0;
    while (start < len) {
        char* end = std::strchr(out + start, '/');
        std::size_t compEnd = end ? static_cast<std::size_t>(end - out) : len;
        char saved = out[compEnd];
        out[compEnd] = '\0';
        struct stat st;
        if (stat(out, &st) != 0) {
            char name[256], found[256], dir[1024];
            std::size_t nameLen = compEnd - start;
            if (nameLen >= sizeof name || start > sizeof dir) {
                out[compEnd] = saved;  // too long to scan for: keep the rest as given
                return true;
            }
            std::memcpy(name, out + start, nameLen + 1);
            if (start == 0) {
                std::strcpy(dir, ".");
            } else if (start == 1) {
                std::strcpy(dir, "/");
            } else {
                std::memcpy(dir, out, start - 1);
                dir[start - 1] = '\0';
            }
            // Case-insensitive ASCII matches have the same length; anything
            // else means there is nothing to match: keep the rest as given.
            if (!FindEntryIgnoringCase(dir, name, found, sizeof found) || std::strlen(found) != nameLen) {
                out[compEnd] = saved;
                return true;
            }
            std::memcpy(out + start, found, nameLen);
        }
        out[compEnd] = saved;
        start = compEnd + 1;
    }
    return true;
#endif
}

int PlatformMakeFolder(const char* path) {
#ifdef _WIN32
    return _mkdir(path) == 0 ? 0 : errno;
#else
    char real[1024];
    char* last = ResolveParent(path, real, sizeof real);
    if (!last) return ENAMETOOLONG;
    // On Windows "XY1d" and an existing "xy1d" are the same folder: refuse it
    // here too rather than make a sibling the simulator cannot tell apart.
    char parent[1024], found[256];
    std::size_t parentLen = static_cast<std::size_t>(last - real);
    if (parentLen > 0) {
        std::memcpy(parent, real, parentLen - 1);
        parent[parentLen - 1] = '\0';
    } else {
        std::strcpy(parent, ".");
    }
    if (FindEntryIgnoringCase(*parent ? parent : "/", last, found, sizeof found)) return EEXIST;
    return mkdir(real, 0777) == 0 ? 0 : errno;
#endif
}

bool PlatformFolderExists(const char* path) {
    struct stat st;
    return StatResolved(path, &st) && S_ISDIR(st.st_mode);
}

bool PlatformFileExists(const char* path) {
    struct stat st;
    return StatResolved(path, &st) && S_ISREG(st.st_mode);
}

std::FILE* PlatformOpenRead(const char* path) {
#ifndef _WIN32
    // A path that exists as given (the catalogue's names, the usual case)
    // needs no lookup of each component; only a miss looks for letter case.
    if (std::FILE* f = std::fopen(path, "rb")) return f;
    if (errno != ENOENT && errno != ENOTDIR) return nullptr;
#endif
    char real[1024];
    if (!PlatformResolvePath(path, real, sizeof real)) return nullptr;
    return std::fopen(real, "rb");
}

std::FILE* PlatformOpenWrite(const char* path) {
#ifndef _WIN32
    // Parent folders that exist as given need no lookup (see PlatformOpenRead).
    if (std::FILE* f = std::fopen(path, "wb")) return f;
    if (errno != ENOENT && errno != ENOTDIR) return nullptr;
#endif
    char real[1024];
    if (!ResolveParent(path, real, sizeof real)) return nullptr;
    return std::fopen(real, "wb");
}
